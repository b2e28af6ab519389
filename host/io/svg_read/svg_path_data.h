// The path data of <path d="...">: every command of the grammar, absolute
// and relative, with implicit repeats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/io/svg_read/svg_geometry.h"

namespace qx::host::svg {

struct PathData {
  std::vector<Contour> contours;  // in the element's user units
  // Empty when the data was read to its end. Otherwise what was wrong; the
  // outlines hold everything before the faulty command, which SVG draws.
  std::string error;
  bool tooLong = false;  // stopped at maxAnchors
};

// Stops once more than maxAnchors anchors are made: arcs multiply points,
// so the data alone does not bound the memory.
PathData parsePathData(std::string_view d, size_t maxAnchors = SIZE_MAX);

}  // namespace qx::host::svg
