#include "host/plot/shape_cache.h"

#include <cmath>
#include <numbers>

#include "host/plot/flatten.h"

namespace qx::plot {
namespace {

// True when `ring` turns one way only and once around: a convex ring,
// which fills the same under every rule.
bool convexOnce(const IntPath& ring) {
  const size_t n = ring.size();
  if (n < 3) return false;
  int sign = 0;
  double turning = 0;
  for (size_t i = 0; i < n; ++i) {
    const IntPoint& a = ring[i];
    const IntPoint& b = ring[(i + 1) % n];
    const IntPoint& c = ring[(i + 2) % n];
    const double ux = static_cast<double>(b.X - a.X), uy = static_cast<double>(b.Y - a.Y);
    const double vx = static_cast<double>(c.X - b.X), vy = static_cast<double>(c.Y - b.Y);
    const double cross = ux * vy - uy * vx;
    if (cross != 0) {
      const int s = cross > 0 ? 1 : -1;
      if (sign != 0 && s != sign) return false;
      sign = s;
    }
    turning += std::atan2(cross, ux * vx + uy * vy);
  }
  return sign != 0 && std::abs(std::abs(turning) - 2 * std::numbers::pi) < 1e-6;
}

}  // namespace

size_t ShapeCache::KeyHash::operator()(const std::vector<int64_t>& key) const {
  uint64_t h = 0x9e3779b97f4a7c15ull ^ key.size();
  for (int64_t v : key) {
    h ^= static_cast<uint64_t>(v) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h *= 0xff51afd7ed558ccdull;
  }
  return static_cast<size_t>(h ^ (h >> 33));
}

Shape& ShapeCache::shape(const PlotObject& object, Point* anchor, uint64_t* form) {
  const QxRealPoint first = object.outlines.front().segments.front().p;
  *anchor = {first.x, first.y};
  key_.clear();
  key_.push_back(object.style.evenOdd ? 1 : 0);
  for (const Outline& outline : object.outlines) {
    key_.push_back(static_cast<int64_t>(outline.segments.size()) * 2 + (outline.closed ? 1 : 0));
    for (const QxPathSegment& s : outline.segments)
      for (const QxRealPoint& p : {s.p, s.in, s.out}) {
        const IntPoint d = frame_.toIntDelta({p.x - anchor->x, p.y - anchor->y});
        key_.push_back(d.X);
        key_.push_back(d.Y);
      }
  }
  *form = KeyHash()(key_);
  auto found = shapes_.find(key_);
  if (found != shapes_.end()) return found->second;
  if (shapes_.size() >= kMaxShapes) shapes_.clear();
  Shape& made = shapes_[key_];
  for (const Outline& outline : object.outlines) {
    flattenOutline(outline.segments, outline.closed, tolerance_, *anchor, made.points);
    made.ends.push_back(static_cast<uint32_t>(made.points.size()));
    made.closed.push_back(outline.closed ? 1 : 0);
  }
  return made;
}

const IntPaths& ShapeCache::fill(Shape& shape, bool evenOdd) const {
  if (shape.fillReady) return shape.fill;
  shape.fillReady = true;
  IntPaths rings;
  uint32_t start = 0;
  for (uint32_t end : shape.ends) {
    IntPath ring;
    for (uint32_t i = start; i < end; ++i) {
      const IntPoint p = frame_.toIntDelta(shape.points[i]);
      if (ring.empty() || !(ring.back() == p)) ring.push_back(p);
    }
    while (ring.size() > 1 && ring.back() == ring.front()) ring.pop_back();
    if (ring.size() >= 3) rings.push_back(std::move(ring));
    start = end;
  }
  if (rings.size() == 1 && convexOnce(rings[0])) {
    if (!ClipperLib::Orientation(rings[0])) ClipperLib::ReversePath(rings[0]);
    shape.fill = std::move(rings);
  } else if (!rings.empty()) {
    ClipperLib::SimplifyPolygons(rings, shape.fill, evenOdd ? ClipperLib::pftEvenOdd : ClipperLib::pftNonZero);
  }
  return shape.fill;
}

}  // namespace qx::plot
