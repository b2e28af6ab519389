// Curves to polylines: each cubic piece of an outline is cut into chords
// that stray from the curve by at most a tolerance.
#pragma once

#include <span>

#include "host/plot/plot_geometry.h"
#include "qx_ai_art.h"

namespace qx::plot {

// Chords for one cubic from p0 (handles p1, p2) to p3 within `tolerance`:
// at least 1; the same for the curve reversed or mirrored, so copies of a
// shape flatten to the same points.
int chordCount(Point p0, Point p1, Point p2, Point p3, double tolerance);

// Appends the polyline of one outline, relative to `anchor`: its first
// anchor, then the end of every chord of every piece between neighbouring
// anchors (out handle, then the next anchor's in handle), and when closed,
// the pieces back to the first anchor.
void flattenOutline(std::span<const QxPathSegment> segments, bool closed, double tolerance, Point anchor,
                    Polyline& out);

}  // namespace qx::plot
