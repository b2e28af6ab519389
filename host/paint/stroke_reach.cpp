#include "host/paint/stroke_reach.h"

#include <algorithm>
#include <cmath>

namespace qx::paint {

double strokeReach(bool painted, double width, int32_t join, double miterLimit) {
  if (!painted || !std::isfinite(width) || !(width > 0)) return 0;
  double stretch = std::sqrt(2.0);
  if (join != QX_JOIN_ROUND && join != QX_JOIN_BEVEL && std::isfinite(miterLimit))
    stretch = std::max(stretch, miterLimit);
  return width / 2 * stretch;
}

double strokeReach(const QxPathStyle& style) {
  return strokeReach(style.strokePaint, style.stroke.width, style.stroke.join, style.stroke.miterLimit);
}

double miterStretch(const QPointF& back, const QPointF& ahead, double limit) {
  const double lengths = std::sqrt((back.x() * back.x() + back.y() * back.y()) *
                                   (ahead.x() * ahead.x() + ahead.y() * ahead.y()));
  if (!(lengths > 0)) return limit;  // a piece of no length: the stroker turns by its neighbours, which may be sharp
  // The tip lies 1 / sin(a / 2) half widths out, a the angle between the two.
  const double cosBetween = (back.x() * ahead.x() + back.y() * ahead.y()) / lengths;
  const double sinHalf = std::sqrt(std::max(0.0, (1 - cosBetween) / 2));
  const double stretch = sinHalf > 0 ? 1 / sinHalf : HUGE_VAL;
  return stretch > limit ? 1 : stretch;
}

double outlineReach(std::span<const QxPathSegment> seg, bool closed, const QxPathStyle& base, QxReal width) {
  if (!base.strokePaint || !std::isfinite(width) || !(width > 0)) return 0;
  const double half = width / 2.0;
  double reach = half;
  const size_t n = seg.size();
  if (!closed && base.stroke.cap == QX_CAP_SQUARE) reach = half * std::sqrt(2.0);
  if (base.stroke.join == QX_JOIN_ROUND || base.stroke.join == QX_JOIN_BEVEL || n < 2) return reach;
  const double limit = std::isfinite(base.stroke.miterLimit) ? std::max<double>(base.stroke.miterLimit, 1.0) : 4.0;
  for (size_t j = closed ? 0 : 1; j < (closed ? n : n - 1); ++j) {
    const QPointF back = tangent(seg[j].p, seg[j].in, seg[(j + n - 1) % n].p);
    const QPointF ahead = tangent(seg[j].p, seg[j].out, seg[(j + 1) % n].p);
    reach = std::max(reach, half * miterStretch(back, ahead, limit));
  }
  return reach;
}

}  // namespace qx::paint
