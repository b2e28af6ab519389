// The outlines of path, rect, circle, ellipse, line, polyline and polygon,
// in the element's user units.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "host/io/svg_read/svg_geometry.h"
#include "host/io/svg_read/svg_units.h"

namespace qx::host::svg {

constexpr double kKappa = 0.5522847498;  // handle length of a quarter circle, per unit radius

bool isShape(std::string_view localName);

struct ShapeOutline {
  std::vector<Contour> contours;  // empty: nothing to draw (a zero size draws nothing in SVG either)
  // Set when the element was wrong: with contours, drawn up to the fault;
  // without, not drawn at all.
  std::string warning;
  bool tooLong = false;  // path data past maxAnchors
};

ShapeOutline shapeOutline(pugi::xml_node element, std::string_view localName, const Viewport& viewport,
                          size_t maxAnchors = SIZE_MAX);

// An ellipse of four cubic quarters from (cx + rx, cy), turning towards +y.
Contour ellipseContour(double cx, double cy, double rx, double ry);

}  // namespace qx::host::svg
