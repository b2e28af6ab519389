// The paint properties of one element after the cascade: presentation
// attributes, then the style sheet by specificity, then style="", with
// !important above all of them, and inheritance from the parent.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "host/io/svg_read/svg_color.h"
#include "host/io/svg_read/svg_read_context.h"
#include "host/io/svg_read/svg_css.h"
#include "host/io/svg_read/svg_units.h"
#include "qx_ai_art.h"

namespace qx::host::svg {

struct ComputedStyle {
  // Inherited.
  PaintValue fill{PaintValue::Color, Rgba{0, 0, 0, 1}, {}, PaintValue::None, {}, false};
  PaintValue stroke;
  double fillOpacity = 1, strokeOpacity = 1;
  double strokeWidth = 1;  // user units
  int32_t cap = QX_CAP_BUTT, join = QX_JOIN_MITER;
  double miterLimit = 4;
  std::array<double, QX_DASH_MAX> dash{};  // user units
  int dashCount = 0;
  double dashOffset = 0;
  bool evenOdd = false;
  Rgba color;  // for currentColor
  bool visible = true;
  bool markers = false;  // marker properties set: drawn without them

  // Not inherited.
  double opacity = 1;
  bool displayNone = false;
  Rgba stopColor;
  bool stopIsCurrentColor = false;
  double stopOpacity = 1;
  bool nonScalingStroke = false;
  bool clipped = false, masked = false, filtered = false;  // drawn without these
};

// The element's class list and id as selectors see them.
ElementKey elementKey(pugi::xml_node element, std::string_view localName);

class StyleResolver {
 public:
  StyleResolver(const StyleSheet& sheet, ReadContext& context) : sheet_(sheet), context_(context) {}

  // The element's style; `viewport` resolves percentages. Values that do not
  // parse are warned about and give way to the next declaration down.
  ComputedStyle compute(const ComputedStyle& parent, pugi::xml_node element, std::string_view localName,
                        const Viewport& viewport);

 private:
  bool apply(ComputedStyle& s, const ComputedStyle& parent, const Declaration& d, const Viewport& viewport,
             pugi::xml_node element);
  bool applyDashes(ComputedStyle& s, std::string_view value, const Viewport& viewport, pugi::xml_node element);

  const StyleSheet& sheet_;
  ReadContext& context_;
  std::vector<Declaration> ordered_;  // reused from element to element
  std::vector<Declaration> inline_;
  std::vector<const Declaration*> fromSheet_;
};

}  // namespace qx::host::svg
