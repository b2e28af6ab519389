// Points, boxes and the integer plane the hidden-line pass works on.
// Artwork points are doubles (y up); the clipping library takes integers,
// so art is mapped onto a grid fine enough that rounding to it costs a small
// part of the flattening tolerance.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <polyclipping/clipper.hpp>

namespace qx::plot {

struct Point {
  double x = 0, y = 0;
};
using Polyline = std::vector<Point>;

inline double distance(Point a, Point b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y)); }

struct Box {
  double x0 = std::numeric_limits<double>::infinity(), y0 = x0;
  double x1 = -std::numeric_limits<double>::infinity(), y1 = x1;
  bool empty() const { return !(x0 <= x1 && y0 <= y1); }
  void add(Point p) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  }
  void add(const Box& b) {
    x0 = std::min(x0, b.x0), y0 = std::min(y0, b.y0);
    x1 = std::max(x1, b.x1), y1 = std::max(y1, b.y1);
  }
  double width() const { return empty() ? 0 : x1 - x0; }
  double height() const { return empty() ? 0 : y1 - y0; }
};

using IntPoint = ClipperLib::IntPoint;
using IntPath = ClipperLib::Path;
using IntPaths = ClipperLib::Paths;

struct IntBox {
  int64_t x0 = std::numeric_limits<int64_t>::max(), y0 = x0;
  int64_t x1 = std::numeric_limits<int64_t>::min(), y1 = x1;
  bool empty() const { return x0 > x1 || y0 > y1; }
  void add(const IntPoint& p) {
    x0 = std::min<int64_t>(x0, p.X), y0 = std::min<int64_t>(y0, p.Y);
    x1 = std::max<int64_t>(x1, p.X), y1 = std::max<int64_t>(y1, p.Y);
  }
  void add(const IntBox& b) {
    x0 = std::min(x0, b.x0), y0 = std::min(y0, b.y0);
    x1 = std::max(x1, b.x1), y1 = std::max(y1, b.y1);
  }
  bool intersects(const IntBox& b) const { return x0 <= b.x1 && b.x0 <= x1 && y0 <= b.y1 && b.y0 <= y1; }
};

IntBox boxOf(const IntPath& path);
IntBox boxOf(const IntPaths& paths);

// Artwork points to the integer plane: `scale` units a point, `origin` at 0.
// Coordinates are clamped well inside what the clipping library accepts, so
// art far off the drawing cannot make it fail.
struct IntFrame {
  Point origin;
  double scale = 1;
  static constexpr double kLimit = 1e17;
  // Rounded half away from zero, as llround does, without its library call:
  // this runs for every point of every object.
  static int64_t clamp(double v) {
    if (!(v >= -kLimit)) v = -kLimit;  // NaN too: never cast to an integer
    if (v > kLimit) v = kLimit;
    return static_cast<int64_t>(v >= 0 ? v + 0.5 : v - 0.5);
  }
  IntPoint toInt(Point p) const { return {clamp((p.x - origin.x) * scale), clamp((p.y - origin.y) * scale)}; }
  // A length or an offset from a shape's anchor, without the origin.
  IntPoint toIntDelta(Point d) const { return {clamp(d.x * scale), clamp(d.y * scale)}; }
  Point toArt(const IntPoint& p) const {
    return {origin.x + static_cast<double>(p.X) / scale, origin.y + static_cast<double>(p.Y) / scale};
  }
};

}  // namespace qx::plot
