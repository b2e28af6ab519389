#include "host/cli/dialog_actions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace qx::cli {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::optional<double> parseReal(std::string_view s) {
  s = trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
    return std::nullopt;
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

std::optional<UserAction> fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return std::nullopt;
}

double upperLimit(const DialogField& f, const ActionLimits& limits) {
  return f.maxIsSwatchCount ? limits.swatchCount : f.max;
}

// The value `text` for the control of `field`, as a user would enter it there.
std::optional<UserAction> setField(const DialogField& field, std::string_view text,
                                     const ActionLimits& limits, std::string* error) {
  UserAction a;
  a.field = &field;
  a.controlId = field.controlId;
  const std::string name = field.name;
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
      const double hi = upperLimit(field, limits);
      const std::string allowed = name + " takes a whole number from " + number(field.min) + " to " + number(hi) +
                                  (field.maxIsSwatchCount ? " (the document's swatch count)" : "");
      auto v = parseInteger(text);
      if (!v) return fail(error, allowed + ", not \"" + std::string(trim(text)) + "\"");
      if (*v < field.min || *v > hi) return fail(error, allowed + "; " + std::to_string(*v) + " is out of range");
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
      std::optional<int> pos;
      if (auto n = parseInteger(text)) {
        if (*n < 0 || *n >= static_cast<long long>(field.entries.size()))
          return fail(error, name + " takes an entry position from 0 to " + std::to_string(field.entries.size() - 1) +
                                 " or an entry's text; " + std::to_string(*n) + " is out of range");
        pos = static_cast<int>(*n);
      } else {
        pos = findEntry(field.entries, text);
        if (!pos)
          return fail(error, name + " has no entry \"" + std::string(trim(text)) + "\"; its entries are " +
                                 listEntries(field.entries) + " (or positions 0 to " +
                                 std::to_string(field.entries.size() - 1) + ")");
      }
      a.kind = field.controlId == kPresetPopupId ? ActionKind::Preset : ActionKind::ChooseEntry;
      a.value = *pos;
      return a;
    }
    case ControlKind::PageButtons: {
      std::optional<long long> page = parseInteger(text);
      if (!page)
        for (int p = 1; p <= 4; ++p)
          if (lower(trim(text)) == lower(pageName(p))) page = p;
      if (!page || *page < 1 || *page > 4)
        return fail(error, name + " takes a page from 1 to 4 (Lines, Style, Shapes, Settings), not \"" +
                               std::string(trim(text)) + "\"");
      a.kind = ActionKind::PageTab;
      a.controlId = kFirstPageButtonId + static_cast<int32_t>(*page) - 1;
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

}  // namespace

std::optional<UserAction> parseAction(std::string_view verb, std::string_view argument,
                                        const ActionLimits& limits, std::string* error) {
  verb = trim(verb);
  if (verb.starts_with("--")) verb.remove_prefix(2);
  argument = trim(argument);
  const std::string written = "--" + std::string(verb) + (argument.empty() ? "" : " " + std::string(argument));
  auto withOrigin = [&](std::optional<UserAction> a) {
    if (a) a->text = written;
    else if (error) *error = written + ": " + *error;
    return a;
  };
  auto noArgument = [&](ActionKind kind, int32_t control) -> std::optional<UserAction> {
    if (!argument.empty()) return withOrigin(fail(error, "takes no value"));
    UserAction a;
    a.kind = kind;
    a.controlId = control;
    return withOrigin(a);
  };

  if (verb == "tumble") return noArgument(ActionKind::Tumble, kTumbleButtonId);
  if (verb == "shuffle") return noArgument(ActionKind::Shuffle, kShuffleButtonId);
  if (verb == "cancel") return noArgument(ActionKind::Cancel, 2);
  if (verb == "no-preview") {
    if (!argument.empty()) return withOrigin(fail(error, "takes no value"));
    return withOrigin(setField(*findDialogField("preview"), "0", limits, error));
  }
  if (verb == "preset") {
    if (argument.empty())
      return withOrigin(fail(error, "needs a preset: a position from 0 to 15 or one of " + listEntries(presetEntries())));
    return withOrigin(setField(*findDialogField("presetIndex"), argument, limits, error));
  }
  if (verb == "page-tab") return withOrigin(setField(*findDialogField("dialogPage"), argument, limits, error));
  if (verb == "set") {
    std::string_view name, value;
    if (!splitAssignment(argument, &name, &value))
      return withOrigin(fail(error, "expected NAME=VALUE, where NAME is one of " + dialogFieldNames()));
    const DialogField* field = findDialogField(name);
    if (!field)
      return withOrigin(fail(error, "unknown field \"" + std::string(name) + "\"; fields are " + dialogFieldNames()));
    return withOrigin(setField(*field, value, limits, error));
  }
  if (verb == "adjust") {
    std::string_view name, point;
    if (!splitAssignment(argument, &name, &point))
      return withOrigin(fail(error, "expected FIELD=X,Y, where FIELD is one of " + adjusterFieldNames()));
    const DialogField* field = findDialogField(name);
    if (!field || field->adjusterId == 0)
      return withOrigin(fail(error, "\"" + std::string(name) + "\" has no adjuster; fields with one are " +
                                        adjusterFieldNames()));
    const size_t comma = point.find(',');
    std::optional<double> x, y;
    if (comma != std::string_view::npos) {
      x = parseReal(point.substr(0, comma));
      y = parseReal(point.substr(comma + 1));
    }
    // Beyond this the point no longer maps to a view pixel.
    constexpr double kFar = 1e6;
    if (!x || !y || std::fabs(*x) > kFar || std::fabs(*y) > kFar)
      return withOrigin(fail(error, "expected an artwork point X,Y of two numbers between -1e6 and 1e6, not \"" +
                                        std::string(point) + "\""));
    UserAction a;
    a.kind = ActionKind::Adjust;
    a.field = field;
    a.controlId = field->adjusterId;
    a.x = *x;
    a.y = *y;
    return withOrigin(a);
  }
  return withOrigin(fail(error, "unknown action; actions are set, preset, tumble, shuffle, adjust, page-tab, "
                                "no-preview and cancel"));
}

bool parseScript(std::string_view text, std::string_view origin, const ActionLimits& limits,
                 std::vector<UserAction>* actions, std::string* error) {
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
    std::string why;
    auto action = parseAction(line.substr(0, space), line.substr(space), limits, &why);
    if (!action) {
      if (error) *error = std::string(origin) + ":" + std::to_string(lineNumber) + ": " + why;
      return false;
    }
    actions->push_back(std::move(*action));
  }
  return true;
}

bool checkActionOrder(const std::vector<UserAction>& actions, std::string* error) {
  for (size_t i = 0; i + 1 < actions.size(); ++i) {
    if (actions[i].kind == ActionKind::Cancel) {
      if (error) *error = actions[i + 1].text + ": no action can follow --cancel, which closes the dialog";
      return false;
    }
  }
  return true;
}

}  // namespace qx::cli
