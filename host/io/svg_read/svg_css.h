// The CSS the reader understands: declarations (style="" and rule bodies)
// and style sheets of simple selectors (type, .class, #id and compounds of
// them, in comma-separated lists), cascaded with presentation attributes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qx::host::svg {

enum class Prop : uint8_t {
  Fill,
  FillOpacity,
  FillRule,
  Stroke,
  StrokeWidth,
  StrokeOpacity,
  StrokeLinecap,
  StrokeLinejoin,
  StrokeMiterlimit,
  StrokeDasharray,
  StrokeDashoffset,
  Opacity,
  Color,
  Display,
  Visibility,
  StopColor,
  StopOpacity,
  VectorEffect,
  ClipPath,
  Mask,
  Filter,
  MarkerStart,
  MarkerMid,
  MarkerEnd,
  Count
};
constexpr size_t kPropCount = static_cast<size_t>(Prop::Count);

// The property a name (attribute or CSS, lower case) stands for.
std::optional<Prop> propertyNamed(std::string_view name);
std::string_view propertyName(Prop p);

struct Declaration {
  Prop prop;
  std::string_view value;  // into the text the declaration came from
  bool important = false;
};

// "fill:red; stroke : blue !important". Unknown properties are dropped.
// The shorthand "marker" sets the three marker properties.
void parseDeclarations(std::string_view text, std::vector<Declaration>* out);

// An element as selectors see it.
struct ElementKey {
  std::string_view type;
  std::string_view id;
  std::vector<std::string_view> classes;
};

class StyleSheet {
 public:
  // Adds the rules of one <style> element, in document order. Selectors that
  // are not simple are left out and named in *unsupported (once each).
  void add(std::string text, std::vector<std::string>* unsupported);

  // The declarations that apply to the element from the sheet, lowest
  // priority first: by specificity, then by order in the sheet.
  void matching(const ElementKey& element, std::vector<const Declaration*>* out) const;

  bool empty() const { return rules_.empty(); }

 private:
  struct Rule {
    std::string type;  // empty: any
    std::string id;
    std::vector<std::string> classes;
    uint32_t specificity;
    uint32_t order;
    size_t firstDeclaration, declarationCount;
  };

  bool matches(const Rule& rule, const ElementKey& element) const;

  std::vector<std::unique_ptr<std::string>> texts_;  // the declarations point into these
  std::vector<Declaration> declarations_;
  std::vector<Rule> rules_;
  // Each rule indexed once, by its id, else first class, else type.
  std::unordered_map<std::string, std::vector<uint32_t>> byId_, byClass_, byType_;
  std::vector<uint32_t> universal_;
};

}  // namespace qx::host::svg
