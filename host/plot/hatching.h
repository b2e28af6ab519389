// Hatching a fill area: parallel lines a fixed spacing apart at an angle,
// laid on one pattern for the whole drawing so that the hatches of
// neighbouring shapes meet end to end.
#pragma once

#include "host/plot/plot_geometry.h"

namespace qx::plot {

// The stretches of the lines v = k * spacing (v measured across the hatch
// direction, which turns `angle` radians counter-clockwise from the x axis)
// that lie inside `area` (rings wound once inside), appended to `out` as
// two-point paths.
void hatchArea(const IntPaths& area, double spacing, double angle, IntPaths& out);

}  // namespace qx::plot
