#include "host/plot/flatten.h"

#include <algorithm>
#include <cmath>

namespace qx::plot {
namespace {

Point at(const QxRealPoint& p, Point anchor) { return {p.x - anchor.x, p.y - anchor.y}; }

// The most chords one piece is cut into, so a wild handle cannot make
// millions of points.
constexpr int kMaxChords = 4096;

void appendPiece(const QxPathSegment& from, const QxPathSegment& to, double tolerance, Point anchor,
                 Polyline& out) {
  const Point p0 = at(from.p, anchor), p1 = at(from.out, anchor), p2 = at(to.in, anchor), p3 = at(to.p, anchor);
  const bool straight = from.out.x == from.p.x && from.out.y == from.p.y && to.in.x == to.p.x && to.in.y == to.p.y;
  const int n = straight ? 1 : chordCount(p0, p1, p2, p3, tolerance);
  for (int i = 1; i < n; ++i) {
    const double t = static_cast<double>(i) / n, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    out.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
  out.push_back(p3);
}

}  // namespace

int chordCount(Point p0, Point p1, Point p2, Point p3, double tolerance) {
  // A cubic's second derivative is at most 6 L (L the larger second
  // difference of its control points); chords of 1/n of the parameter then
  // stray at most 6 L / (8 n^2) from it.
  const double l = std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                            std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
  if (!(l > 0) || !(tolerance > 0)) return 1;
  const double n = std::ceil(std::sqrt(0.75 * l / tolerance));
  return n >= kMaxChords ? kMaxChords : std::max(1, static_cast<int>(n));
}

void flattenOutline(std::span<const QxPathSegment> segments, bool closed, double tolerance, Point anchor,
                    Polyline& out) {
  if (segments.empty()) return;
  out.push_back(at(segments[0].p, anchor));
  for (size_t i = 1; i < segments.size(); ++i) appendPiece(segments[i - 1], segments[i], tolerance, anchor, out);
  if (closed && segments.size() > 1) appendPiece(segments.back(), segments.front(), tolerance, anchor, out);
}

}  // namespace qx::plot
