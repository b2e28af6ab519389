// Paint values resolved to what the scene stores: plain colours, and
// gradients and patterns as their kind plus the one colour a painter that
// cannot draw them uses instead.
#pragma once

#include <optional>
#include <unordered_map>

#include <pugixml.hpp>

#include "host/io/svg_read/svg_read_context.h"
#include "host/io/svg_read/svg_index.h"
#include "host/io/svg_read/svg_style.h"

namespace qx::host::svg {

class PaintServers {
 public:
  PaintServers(const SvgIndex& index, StyleResolver& styles, ReadContext& context, Viewport viewport)
      : index_(index), styles_(styles), context_(context), viewport_(viewport) {}

  // The paint; *alpha is multiplied by the colour's own alpha. `element`
  // and `property` name the place in warnings.
  SvgPaint resolve(const PaintValue& value, const ComputedStyle& style, double* alpha, pugi::xml_node element,
                   const char* property);

  // The style an element has where it stands in the file, from the root down.
  ComputedStyle styleInPlace(pugi::xml_node element);

 private:
  struct Stop {
    Rgba color;
    double opacity = 1;
  };
  // The first stop of a gradient, its own or through href; nullopt: no stops.
  std::optional<Stop> firstStop(pugi::xml_node gradient);
  Rgba patternColor(pugi::xml_node pattern);

  const SvgIndex& index_;
  StyleResolver& styles_;
  ReadContext& context_;
  Viewport viewport_;
  std::unordered_map<const void*, std::optional<Stop>> stops_;
  std::unordered_map<const void*, Rgba> patterns_;
};

}  // namespace qx::host::svg
