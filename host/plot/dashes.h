// A dashed stroke as the separate lines a pen draws: the dash pattern laid
// along the polyline from its start, as the painters lay it.
#pragma once

#include "host/plot/plot_geometry.h"
#include "qx_ai_art.h"

namespace qx::plot {

// The pattern in integer units (`scale` units a point); empty when the
// stroke is solid: no entries, a negative or non-finite one, or all zero.
// An odd count repeats, as in SVG.
std::vector<double> dashPattern(const QxDashStyle& dash, double scale, double* offset);

// The dashes of `path` under `pattern`, starting `offset` units into it,
// appended to `out`.
void dashPath(const IntPath& path, const std::vector<double>& pattern, double offset, IntPaths& out);

}  // namespace qx::plot
