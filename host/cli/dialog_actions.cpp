#include "host/cli/dialog_actions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/cli/typed_words.h"

namespace qx::cli {
namespace {

std::optional<double> parseReal(std::string_view s) {
  s = trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<long long> parseInteger(std::string_view s) {
  s = trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  long long v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

std::string number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

std::nullopt_t fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return std::nullopt;
}

// The value `text` for the control of `field`, as a user would enter it there.
std::optional<UserAction> setField(const DialogCatalogue& catalogue, const DialogField& field, std::string_view text,
                                   std::string* error) {
  UserAction a;
  a.controlId = field.controlId;
  const std::string& name = field.name;
  switch (field.kind) {
    case ControlKind::CheckBox: {
      const std::string v = lower(trim(text));
      a.kind = ActionKind::SetCheck;
      if (v == "1" || v == "on" || v == "true" || v == "yes") a.value = 1;
      else if (v == "0" || v == "off" || v == "false" || v == "no") a.value = 0;
      else return fail(error, name + " is a check box: give 0, 1, on or off, not \"" + std::string(trim(text)) + "\"");
      return a;
    }
    case ControlKind::IntSpin: {
      const std::string allowed = name + " takes a whole number from " + number(field.min) + " to " + number(field.max);
      auto v = parseInteger(text);
      if (!v) return fail(error, allowed + ", not \"" + std::string(trim(text)) + "\"");
      if (*v < field.min || *v > field.max)
        return fail(error, allowed + "; " + std::to_string(*v) + " is out of range");
      a.kind = ActionKind::SetInt;
      a.value = static_cast<double>(*v);
      return a;
    }
    case ControlKind::RealSpin: {
      const std::string allowed = name + " takes a number from " + number(field.min) + " to " + number(field.max);
      auto v = parseReal(text);
      if (!v) return fail(error, allowed + ", not \"" + std::string(trim(text)) + "\"");
      if (*v < field.min || *v > field.max) return fail(error, allowed + "; " + number(*v) + " is out of range");
      a.kind = ActionKind::SetReal;
      a.value = *v;
      return a;
    }
    case ControlKind::Popup: {
      const auto count = static_cast<long long>(field.entries.size());
      int32_t pos = -1;
      if (auto n = parseInteger(text)) {
        if (*n < 0 || *n >= count)
          return fail(error, name + " takes an entry position from 0 to " + std::to_string(count - 1) +
                                 " or an entry's text; " + std::to_string(*n) + " is out of range");
        pos = static_cast<int32_t>(*n);
      } else {
        pos = host::indexOfEntryText(field.entries, text);
        if (pos < 0)
          return fail(error, name + " has no entry \"" + std::string(trim(text)) + "\"; its entries are " +
                                 listEntries(field.entries) + " (or positions 0 to " + std::to_string(count - 1) + ")");
      }
      a.kind = field.name == "presetIndex" ? ActionKind::Preset : ActionKind::ChooseEntry;
      a.value = pos;
      return a;
    }
    case ControlKind::PageButtons: {
      std::optional<long long> page = parseInteger(text);
      if (!page)
        for (int p = 1; p <= catalogue.pageCount(); ++p)
          if (lower(trim(text)) == lower(catalogue.pageName(p))) page = p;
      if (!page || *page < 1 || *page > catalogue.pageCount()) {
        std::string names;
        for (int p = 1; p <= catalogue.pageCount(); ++p) names += (p > 1 ? ", " : "") + catalogue.pageName(p);
        return fail(error, name + " takes a page from 1 to " + std::to_string(catalogue.pageCount()) + " (" + names +
                               "), not \"" + std::string(trim(text)) + "\"");
      }
      a.kind = ActionKind::PageTab;
      a.controlId = catalogue.pageButton(static_cast<int>(*page));
      a.value = static_cast<double>(*page);
      return a;
    }
  }
  return fail(error, "internal: unknown control kind");
}

// "NAME=VALUE" split at the first '='; false when there is none or no name.
bool splitAssignment(std::string_view arg, std::string_view* name, std::string_view* value) {
  const size_t eq = arg.find('=');
  if (eq == std::string_view::npos) return false;
  *name = trim(arg.substr(0, eq));
  *value = trim(arg.substr(eq + 1));
  return !name->empty();
}

bool knownName(std::string_view name) { return findFieldName(name) || name == kPageFieldName; }

std::optional<UserAction> pressButton(const DialogCatalogue& catalogue, const char* label, ActionKind kind,
                                      std::string* error) {
  UserAction a;
  a.kind = kind;
  a.controlId = catalogue.button(label);
  if (a.controlId == 0) return fail(error, std::string("the dialog has no \"") + label + "\" button");
  return a;
}

}  // namespace

std::optional<PlannedAction> parseAction(std::string_view verb, std::string_view argument, std::string* error) {
  verb = trim(verb);
  if (verb.starts_with("--")) verb.remove_prefix(2);
  argument = trim(argument);
  PlannedAction a;
  a.verb = std::string(verb);
  a.text = "--" + a.verb + (argument.empty() ? "" : " " + std::string(argument));
  auto refuse = [&](const std::string& why) -> std::optional<PlannedAction> {
    return fail(error, a.text + ": " + why);
  };

  if (verb == "tumble" || verb == "shuffle" || verb == "cancel" || verb == "no-preview") {
    if (!argument.empty()) return refuse("takes no value");
    if (verb == "no-preview") a.name = "preview", a.value = "0";
    return a;
  }
  if (verb == "preset") {
    if (argument.empty()) return refuse("needs a preset: a position or a preset's name");
    a.name = "presetIndex";
    a.value = std::string(argument);
    return a;
  }
  if (verb == "page-tab") {
    a.name = kPageFieldName;
    a.value = std::string(argument);
    return a;
  }
  if (verb == "set") {
    std::string_view name, value;
    if (!splitAssignment(argument, &name, &value))
      return refuse("expected NAME=VALUE, where NAME is one of " + listFieldNames());
    if (!knownName(name)) return refuse("unknown field \"" + std::string(name) + "\"; fields are " + listFieldNames());
    a.name = std::string(name);
    a.value = std::string(value);
    return a;
  }
  if (verb == "adjust") {
    std::string_view name, point;
    if (!splitAssignment(argument, &name, &point))
      return refuse("expected FIELD=X,Y with a field that has an adjuster");
    if (!knownName(name)) return refuse("unknown field \"" + std::string(name) + "\"; fields are " + listFieldNames());
    const size_t comma = point.find(',');
    std::optional<double> x, y;
    if (comma != std::string_view::npos) {
      x = parseReal(point.substr(0, comma));
      y = parseReal(point.substr(comma + 1));
    }
    // Beyond this the point no longer maps to a view pixel.
    constexpr double kFar = 1e6;
    if (!x || !y || std::fabs(*x) > kFar || std::fabs(*y) > kFar)
      return refuse("expected an artwork point X,Y of two numbers between -1e6 and 1e6, not \"" + std::string(point) +
                    "\"");
    a.name = std::string(name);
    a.x = *x;
    a.y = *y;
    return a;
  }
  return refuse("unknown action; actions are set, preset, tumble, shuffle, adjust, page-tab, no-preview and cancel");
}

std::optional<UserAction> resolveAction(const DialogCatalogue& catalogue, const PlannedAction& action,
                                        std::string* error) {
  std::string why;
  auto resolved = [&]() -> std::optional<UserAction> {
    if (action.verb == "tumble") return pressButton(catalogue, "Tumble", ActionKind::Tumble, &why);
    if (action.verb == "shuffle") return pressButton(catalogue, "Shuffle", ActionKind::Shuffle, &why);
    if (action.verb == "cancel") return pressButton(catalogue, "Cancel", ActionKind::Cancel, &why);
    const DialogField* field = catalogue.find(action.name);
    if (!field) return fail(&why, "the dialog has no control for " + action.name);
    if (action.verb == "adjust") {
      if (field->adjusterId == 0)
        return fail(&why,
                    "\"" + action.name + "\" has no adjuster; fields with one are " + catalogue.adjusterFieldNames());
      UserAction a;
      a.kind = ActionKind::Adjust;
      a.controlId = field->adjusterId;
      a.x = action.x;
      a.y = action.y;
      return a;
    }
    return setField(catalogue, *field, action.value, &why);
  }();
  if (!resolved) return fail(error, action.where + action.text + ": " + why);
  resolved->text = action.text;
  return resolved;
}

bool parseScript(std::string_view text, std::string_view origin, std::vector<PlannedAction>* actions,
                 std::string* error) {
  int lineNumber = 0;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    ++lineNumber;
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    line = trim(line);
    if (line.empty()) continue;
    size_t space = 0;
    while (space < line.size() && !std::isspace(static_cast<unsigned char>(line[space]))) ++space;
    const std::string where = std::string(origin) + ":" + std::to_string(lineNumber) + ": ";
    std::string why;
    auto action = parseAction(line.substr(0, space), line.substr(space), &why);
    if (!action) {
      if (error) *error = where + why;
      return false;
    }
    action->where = where;
    actions->push_back(std::move(*action));
  }
  return true;
}

bool checkActionOrder(const std::vector<PlannedAction>& actions, std::string* error) {
  for (size_t i = 0; i + 1 < actions.size(); ++i) {
    if (actions[i].verb == "cancel") {
      if (error) *error = actions[i + 1].text + ": no action can follow --cancel, which closes the dialog";
      return false;
    }
  }
  return true;
}

}  // namespace qx::cli
