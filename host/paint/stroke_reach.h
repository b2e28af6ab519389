// How far a path's paint can reach beyond its outline, and the boxes that
// hold an outline or one piece of it: what the painters test against the
// picture before they paint. All in artwork units. The boxes are inline:
// they are measured for every object painted.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

#include <QPointF>

#include "qx_sdk.h"

namespace qx::paint {

// Half the stroke, stretched by the sharpest miter the limit allows or a
// square cap's corner: a bound for any outline with this stroke.
double strokeReach(bool painted, double width, int32_t join, double miterLimit);
double strokeReach(const QxPathStyle& style);

// The box of a path's anchors and handles, which holds its curves. Unlike
// the store's tight bounds it takes no cache, so threads may measure at
// once. `segments` must not be empty.
inline QxRealRect controlBounds(std::span<const QxPathSegment> segments) {
  QxReal left = segments[0].p.x, right = left, bottom = segments[0].p.y, top = bottom;
  for (const QxPathSegment& s : segments)
    for (const QxRealPoint& p : {s.p, s.in, s.out}) {
      left = std::min(left, p.x);
      right = std::max(right, p.x);
      bottom = std::min(bottom, p.y);
      top = std::max(top, p.y);
    }
  return QxRealRect{left, top, right, bottom};
}
// The box of one piece of an outline: its ends and their handles.
inline QxRealRect pieceBounds(const QxPathSegment& from, const QxPathSegment& to) {
  const QxRealPoint points[] = {from.p, from.out, to.in, to.p};
  QxRealRect box{from.p.x, from.p.y, from.p.x, from.p.y};
  for (const QxRealPoint& p : points) {
    box.left = std::min(box.left, p.x);
    box.right = std::max(box.right, p.x);
    box.bottom = std::min(box.bottom, p.y);
    box.top = std::max(box.top, p.y);
  }
  return box;
}
// A piece whose handles sit on its ends.
inline bool straightPiece(const QxPathSegment& from, const QxPathSegment& to) {
  return from.out.x == from.p.x && from.out.y == from.p.y && to.in.x == to.p.x && to.in.y == to.p.y;
}

// The way an outline leaves or reaches an anchor: towards its handle, or
// towards the neighbouring anchor when the handle sits on it.
inline QPointF tangent(const QxRealPoint& from, const QxRealPoint& handle, const QxRealPoint& neighbour) {
  if (handle.x != from.x || handle.y != from.y) return {handle.x - from.x, handle.y - from.y};
  return {neighbour.x - from.x, neighbour.y - from.y};
}
// How far a miter join reaches, in half stroke widths, from the directions
// back to the previous anchor and ahead to the next: 1 for a straight run,
// growing as the turn sharpens, 1 again once the limit bevels it; the limit
// for a piece of no length, whose neighbours may turn sharply.
double miterStretch(const QPointF& back, const QPointF& ahead, double limit);
// A path's reach anchor by anchor: a miter's tip only where the outline
// turns, caps only at an open path's ends. `base` gives the stroke's cap,
// join and limit, `width` its width.
double outlineReach(std::span<const QxPathSegment> seg, bool closed, const QxPathStyle& base, QxReal width);

}  // namespace qx::paint
