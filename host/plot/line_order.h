// The order a pen draws its strokes in, to cut the travel with the pen up.
#pragma once

#include <chrono>
#include <vector>

#include "host/plot/plot_geometry.h"

namespace qx::plot {

// The pen-up travel from `from` through the strokes as they stand, to the
// start of each; where the pen ends goes to *end when given.
double penUpTravel(const std::vector<Polyline>& strokes, Point from, Point* end = nullptr);

// Reorders (and turns round) `strokes` from `from`: the nearest stroke end
// next, found in an R-tree, then 2-opt moves (a stretch of the order turned
// round) tried among near strokes while they pay, until `deadline`.
void orderStrokes(std::vector<Polyline>& strokes, Point from, std::chrono::steady_clock::time_point deadline);

}  // namespace qx::plot
