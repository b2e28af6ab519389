// One pen's visible pieces made into the strokes a plotter draws: ends
// within a weld distance become one point, and pieces whose ends meet are
// joined into one pen-down stroke, turned round where that makes them meet.
#pragma once

#include <cstdint>

#include "host/plot/plot_geometry.h"

namespace qx::plot {

// `weld` in integer units (at least 1). The strokes keep the order of the
// pieces they start from.
IntPaths mergePieces(const IntPaths& pieces, int64_t weld);

}  // namespace qx::plot
