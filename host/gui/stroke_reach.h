// How far a path's paint can reach beyond its outline, and the boxes that
// hold an outline or one piece of it: what the painters test against the
// picture before they paint. All in artwork units.
#pragma once

#include <cstdint>
#include <span>

#include <QPointF>

#include "qx_sdk.h"

namespace qx::gui {

// Half the stroke, stretched by the sharpest miter the limit allows or a
// square cap's corner: a bound for any outline with this stroke.
double strokeReach(bool painted, double width, int32_t join, double miterLimit);
double strokeReach(const QxPathStyle& style);

// The box of a path's anchors and handles, which holds its curves. Unlike
// the store's tight bounds it takes no cache, so threads may measure at
// once. `segments` must not be empty.
QxRealRect controlBounds(std::span<const QxPathSegment> segments);
// The box of one piece of an outline: its ends and their handles.
QxRealRect pieceBounds(const QxPathSegment& from, const QxPathSegment& to);
// A piece whose handles sit on its ends.
bool straightPiece(const QxPathSegment& from, const QxPathSegment& to);

// The way an outline leaves or reaches an anchor: towards its handle, or
// towards the neighbouring anchor when the handle sits on it.
QPointF tangent(const QxRealPoint& from, const QxRealPoint& handle, const QxRealPoint& neighbour);
// How far a miter join reaches, in half stroke widths, from the directions
// back to the previous anchor and ahead to the next: 1 for a straight run,
// growing as the turn sharpens, 1 again once the limit bevels it; the limit
// for a piece of no length, whose neighbours may turn sharply.
double miterStretch(const QPointF& back, const QPointF& ahead, double limit);
// A path's reach anchor by anchor: a miter's tip only where the outline
// turns, caps only at an open path's ends. `base` gives the stroke's cap,
// join and limit, `width` its width.
double outlineReach(std::span<const QxPathSegment> seg, bool closed, const QxPathStyle& base, QxReal width);

}  // namespace qx::gui
