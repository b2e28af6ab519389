#include "host/io/svg_read/svg_css.h"

#include <algorithm>
#include <memory>

#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {
namespace {

struct PropName {
  std::string_view name;
  Prop prop;
};

constexpr PropName kProps[] = {
    {"clip-path", Prop::ClipPath},
    {"color", Prop::Color},
    {"display", Prop::Display},
    {"fill", Prop::Fill},
    {"fill-opacity", Prop::FillOpacity},
    {"fill-rule", Prop::FillRule},
    {"filter", Prop::Filter},
    {"marker-end", Prop::MarkerEnd},
    {"marker-mid", Prop::MarkerMid},
    {"marker-start", Prop::MarkerStart},
    {"mask", Prop::Mask},
    {"opacity", Prop::Opacity},
    {"stop-color", Prop::StopColor},
    {"stop-opacity", Prop::StopOpacity},
    {"stroke", Prop::Stroke},
    {"stroke-dasharray", Prop::StrokeDasharray},
    {"stroke-dashoffset", Prop::StrokeDashoffset},
    {"stroke-linecap", Prop::StrokeLinecap},
    {"stroke-linejoin", Prop::StrokeLinejoin},
    {"stroke-miterlimit", Prop::StrokeMiterlimit},
    {"stroke-opacity", Prop::StrokeOpacity},
    {"stroke-width", Prop::StrokeWidth},
    {"vector-effect", Prop::VectorEffect},
    {"visibility", Prop::Visibility},
};
static_assert(std::size(kProps) == kPropCount);

bool isIdentChar(char c) {
  return isAlpha(c) || isDigit(c) || c == '-' || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

// Where the block or statement that starts at i ends, quotes and nesting
// respected: the index just past its closing brace or semicolon.
size_t skipBlock(std::string_view s, size_t i) {
  int depth = 0;
  char quote = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == '\\') ++i;
      else if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '{') {
      ++depth;
    } else if (c == '}') {
      if (--depth <= 0) return i + 1;
    } else if (c == ';' && depth == 0) {
      return i + 1;
    }
  }
  return s.size();
}

std::string stripComments(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (s.substr(i, 2) == "/*") {
      const size_t end = s.find("*/", i + 2);
      if (end == std::string_view::npos) break;
      out += ' ';
      i = end + 2;
    } else if (s.substr(i, 4) == "<!--") {  // markup comment markers are allowed around a sheet
      i += 4;
    } else if (s.substr(i, 3) == "-->") {
      i += 3;
    } else {
      out += s[i++];
    }
  }
  return out;
}

}  // namespace

std::optional<Prop> propertyNamed(std::string_view name) {
  const auto* end = std::end(kProps);
  const auto* it = std::lower_bound(std::begin(kProps), end, name,
                                    [](const PropName& p, std::string_view n) { return p.name < n; });
  if (it == end || it->name != name) return std::nullopt;
  return it->prop;
}

std::string_view propertyName(Prop p) {
  for (const PropName& n : kProps)
    if (n.prop == p) return n.name;
  return {};
}

void parseDeclarations(std::string_view text, std::vector<Declaration>* out) {
  size_t i = 0;
  while (i < text.size()) {
    // One declaration runs to a ';' outside quotes and parentheses.
    size_t end = i;
    int parens = 0;
    char quote = 0;
    for (; end < text.size(); ++end) {
      const char c = text[end];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '(') {
        ++parens;
      } else if (c == ')') {
        parens = std::max(0, parens - 1);
      } else if (c == ';' && parens == 0) {
        break;
      }
    }
    const std::string_view decl = text.substr(i, end - i);
    i = end + 1;
    const size_t colon = decl.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string name = toLower(trim(decl.substr(0, colon)));
    std::string_view value = trim(decl.substr(colon + 1));
    bool important = false;
    if (const size_t bang = value.rfind('!');
        bang != std::string_view::npos && iequals(trim(value.substr(bang + 1)), "important")) {
      important = true;
      value = trim(value.substr(0, bang));
    }
    if (name == "marker") {
      for (Prop p : {Prop::MarkerStart, Prop::MarkerMid, Prop::MarkerEnd}) out->push_back({p, value, important});
      continue;
    }
    if (const auto prop = propertyNamed(name)) out->push_back({*prop, value, important});
  }
}

void StyleSheet::add(std::string text, std::vector<std::string>* unsupported) {
  texts_.push_back(std::make_unique<std::string>(stripComments(text)));
  const std::string_view s = *texts_.back();
  size_t i = 0;
  while (i < s.size()) {
    skipSpace(s, i);
    if (i >= s.size()) break;
    if (s[i] == '@') {  // @media, @font-face, @import...: nothing here that paints paths
      i = skipBlock(s, i);
      continue;
    }
    const size_t open = s.find('{', i);
    if (open == std::string_view::npos) break;
    const size_t close = skipBlock(s, open);
    const std::string_view selectors = s.substr(i, open - i);
    const std::string_view body = s.substr(open + 1,
                                           close - open - 1 - (close <= s.size() && s[close - 1] == '}' ? 1 : 0));
    i = close;

    const size_t first = declarations_.size();
    parseDeclarations(body, &declarations_);
    const size_t count = declarations_.size() - first;

    size_t from = 0;
    while (from <= selectors.size()) {
      size_t comma = selectors.find(',', from);
      if (comma == std::string_view::npos) comma = selectors.size();
      const std::string_view sel = trim(selectors.substr(from, comma - from));
      from = comma + 1;
      if (sel.empty()) continue;
      Rule rule{};
      bool simple = true;
      uint32_t ids = 0, classes = 0, types = 0;
      size_t k = 0;
      if (sel[0] == '*') {
        ++k;
      } else if (isIdentChar(sel[0])) {
        while (k < sel.size() && isIdentChar(sel[k])) ++k;
        rule.type = std::string(sel.substr(0, k));
        ++types;
      }
      while (simple && k < sel.size()) {
        const char kind = sel[k++];
        const size_t start = k;
        while (k < sel.size() && isIdentChar(sel[k])) ++k;
        const std::string name(sel.substr(start, k - start));
        if (name.empty() || (kind != '.' && kind != '#')) {
          simple = false;
        } else if (kind == '.') {
          rule.classes.push_back(name);
          ++classes;
        } else {
          if (!rule.id.empty() && rule.id != name) simple = false;  // matches nothing
          rule.id = name;
          ++ids;
        }
      }
      if (!simple) {
        const std::string text1(sel.substr(0, 60));
        if (std::find(unsupported->begin(), unsupported->end(), text1) == unsupported->end())
          unsupported->push_back(text1);
        continue;
      }
      rule.specificity = std::min(ids, 255u) << 16 | std::min(classes, 255u) << 8 | std::min(types, 255u);
      rule.order = static_cast<uint32_t>(rules_.size());
      rule.firstDeclaration = first;
      rule.declarationCount = count;
      const auto index = static_cast<uint32_t>(rules_.size());
      if (!rule.id.empty()) byId_[rule.id].push_back(index);
      else if (!rule.classes.empty()) byClass_[rule.classes.front()].push_back(index);
      else if (!rule.type.empty()) byType_[rule.type].push_back(index);
      else universal_.push_back(index);
      rules_.push_back(std::move(rule));
    }
  }
}

bool StyleSheet::matches(const Rule& rule, const ElementKey& e) const {
  if (!rule.type.empty() && rule.type != e.type) return false;
  if (!rule.id.empty() && rule.id != e.id) return false;
  for (const std::string& c : rule.classes)
    if (std::find(e.classes.begin(), e.classes.end(), c) == e.classes.end()) return false;
  return true;
}

void StyleSheet::matching(const ElementKey& e, std::vector<const Declaration*>* out) const {
  out->clear();
  if (rules_.empty()) return;
  std::vector<uint32_t> found;
  const auto collect = [&](const std::unordered_map<std::string, std::vector<uint32_t>>& index, std::string_view key) {
    if (key.empty()) return;
    const auto it = index.find(std::string(key));
    if (it == index.end()) return;
    for (uint32_t r : it->second)
      if (matches(rules_[r], e)) found.push_back(r);
  };
  collect(byId_, e.id);
  for (std::string_view c : e.classes) collect(byClass_, c);
  collect(byType_, e.type);
  for (uint32_t r : universal_) found.push_back(r);
  if (found.empty()) return;
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());  // an element may list a class twice
  std::stable_sort(found.begin(), found.end(),
                   [&](uint32_t a, uint32_t b) { return rules_[a].specificity < rules_[b].specificity; });
  for (uint32_t r : found)
    for (size_t d = 0; d < rules_[r].declarationCount; ++d)
      out->push_back(&declarations_[rules_[r].firstDeclaration + d]);
}

}  // namespace qx::host::svg
