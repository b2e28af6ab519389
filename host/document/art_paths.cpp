// Path segments, the closed flag, tight bounds and transforms.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/document/art_store.h"
#include "host/document/art_store_impl.h"
#include "host/document/matrix.h"

namespace qx::host {
namespace {

struct Box {
  double left = INFINITY, bottom = INFINITY, right = -INFINITY, top = -INFINITY;
  bool empty() const { return !(left <= right); }
  void add(double x, double y) {
    left = std::min(left, x);
    right = std::max(right, x);
    bottom = std::min(bottom, y);
    top = std::max(top, y);
  }
};

// Adds to `lo`/`hi` the extreme values of one coordinate of the cubic
// p0, p1, p2, p3 strictly inside (0, 1); the end points are added elsewhere.
void cubicExtrema(double p0, double p1, double p2, double p3, double* lo, double* hi) {
  // B'(t)/3 = A t^2 + 2 B t + C with:
  const double a = p1 - p0, b = p2 - p1, c = p3 - p2;
  const double qa = a - 2 * b + c, qb = b - a, qc = a;
  double roots[2];
  int n = 0;
  if (std::fabs(qa) < 1e-12) {
    if (std::fabs(qb) > 1e-12) roots[n++] = -qc / (2 * qb);
  } else {
    double disc = qb * qb - qa * qc;
    if (disc >= 0) {
      double sq = std::sqrt(disc);
      roots[n++] = (-qb + sq) / qa;
      roots[n++] = (-qb - sq) / qa;
    }
  }
  for (int i = 0; i < n; ++i) {
    double t = roots[i];
    if (!(t > 0 && t < 1)) continue;
    double u = 1 - t;
    double v = u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
    *lo = std::min(*lo, v);
    *hi = std::max(*hi, v);
  }
}

// The curve lies inside the hull of its four points, and the box holds every
// anchor already, so only a handle outside the box can widen it.
void addCurve(Box& box, const QxPathSegment& from, const QxPathSegment& to) {
  auto inside = [](double v, double lo, double hi) { return v >= lo && v <= hi; };
  if (!inside(from.out.x, box.left, box.right) || !inside(to.in.x, box.left, box.right))
    cubicExtrema(from.p.x, from.out.x, to.in.x, to.p.x, &box.left, &box.right);
  if (!inside(from.out.y, box.bottom, box.top) || !inside(to.in.y, box.bottom, box.top))
    cubicExtrema(from.p.y, from.out.y, to.in.y, to.p.y, &box.bottom, &box.top);
}

void addBounds(const ArtArrays& s, uint32_t i, Box& box) {
  const ArtRecord& r = s.at(i);
  if (isContainer(r.type)) {
    for (uint32_t c = r.firstChild; c != kNone; c = s.at(c).next) addBounds(s, c, box);
    return;
  }
  const QxPathSegment* seg = s.segmentsOf(r);
  const int n = r.segCount;
  for (int k = 0; k < n; ++k) box.add(seg[k].p.x, seg[k].p.y);
  for (int k = 0; k + 1 < n; ++k) addCurve(box, seg[k], seg[k + 1]);
  if ((r.flags & kClosed) && n > 1) addCurve(box, seg[n - 1], seg[0]);
}

QxRealPoint mapPoint(const QxRealMatrix& m, QxRealPoint p) {
  // In double, rounded once: quarter turns and flips of exact values stay exact.
  return {static_cast<QxReal>(double(m.a) * p.x + double(m.c) * p.y + double(m.tx)),
          static_cast<QxReal>(double(m.b) * p.x + double(m.d) * p.y + double(m.ty))};
}

bool transformTree(ArtArrays& s, uint32_t i, const QxRealMatrix& m, QxReal lineScale, bool scaleLines) {
  s.touch(i);
  ArtRecord& r = s.at(i);
  if (r.segCount != 0) {
    QxPathSegment* seg = s.writableSegments(i, r.segCount);
    if (seg == nullptr) return false;
    for (int k = 0; k < r.segCount; ++k) {
      seg[k].p = mapPoint(m, seg[k].p);
      seg[k].in = mapPoint(m, seg[k].in);
      seg[k].out = mapPoint(m, seg[k].out);
    }
  }
  if (scaleLines && r.styleBase != kNone) {
    QxReal width;
    std::memcpy(&width, &r.strokeWidth, 4);
    width *= lineScale;
    std::memcpy(&r.strokeWidth, &width, 4);
  }
  for (uint32_t c = r.firstChild; c != kNone; c = s.at(c).next) {
    if (!transformTree(s, c, m, lineScale, scaleLines)) return false;
  }
  return true;
}

}  // namespace

// ---- Segments ----

QxErr ArtStore::setSegmentCount(QxArtHandle path, int32_t count) {
  ArtArrays& s = *impl_;
  uint32_t i = s.find(path);
  if (i == kNone || s.at(i).type != QX_ART_PATH || count < 0 || count > kMaxSegments) return QX_ERR_BAD_PARAM;
  s.touch(i);
  ArtRecord& r = s.at(i);
  if (count > r.segCount) {
    QxPathSegment* seg = s.writableSegments(i, static_cast<size_t>(count));
    if (seg == nullptr) return QX_ERR_OUT_OF_MEMORY;
    for (int k = r.segCount; k < count; ++k) seg[k] = QxPathSegment{{0, 0}, {0, 0}, {0, 0}, 1};
  }
  r.segCount = static_cast<uint16_t>(count);
  return QX_ERR_NONE;
}

QxErr ArtStore::segmentCount(QxArtHandle path, int16_t* count) const {
  uint32_t i = impl_->find(path);
  if (i == kNone || count == nullptr || impl_->at(i).type != QX_ART_PATH) return QX_ERR_BAD_PARAM;
  *count = static_cast<int16_t>(impl_->at(i).segCount);
  return QX_ERR_NONE;
}

QxErr ArtStore::setSegments(QxArtHandle path, int32_t index, int32_t count, const QxPathSegment* segments) {
  ArtArrays& s = *impl_;
  uint32_t i = s.find(path);
  if (i == kNone || s.at(i).type != QX_ART_PATH) return QX_ERR_BAD_PARAM;
  if (index < 0 || count < 0 || index > s.at(i).segCount || index + count > kMaxSegments) return QX_ERR_BAD_PARAM;
  if (count == 0) return QX_ERR_NONE;
  if (segments == nullptr) return QX_ERR_BAD_PARAM;
  s.touch(i);
  ArtRecord& r = s.at(i);
  const int32_t end = std::max<int32_t>(r.segCount, index + count);
  QxPathSegment* seg = s.writableSegments(i, static_cast<size_t>(end));
  if (seg == nullptr) return QX_ERR_OUT_OF_MEMORY;
  std::memcpy(seg + index, segments, static_cast<size_t>(count) * sizeof(QxPathSegment));
  r.segCount = static_cast<uint16_t>(end);
  return QX_ERR_NONE;
}

QxErr ArtStore::getSegments(QxArtHandle path, int32_t index, int32_t count, QxPathSegment* segments) const {
  const ArtArrays& s = *impl_;
  uint32_t i = s.find(path);
  if (i == kNone || s.at(i).type != QX_ART_PATH) return QX_ERR_BAD_PARAM;
  const ArtRecord& r = s.at(i);
  if (index < 0 || count < 0 || index + count > r.segCount) return QX_ERR_BAD_PARAM;
  if (count == 0) return QX_ERR_NONE;
  if (segments == nullptr) return QX_ERR_BAD_PARAM;
  std::memcpy(segments, s.segmentsOf(r) + index, static_cast<size_t>(count) * sizeof(QxPathSegment));
  return QX_ERR_NONE;
}

QxErr ArtStore::setClosed(QxArtHandle path, bool closed) {
  uint32_t i = impl_->find(path);
  if (i == kNone || impl_->at(i).type != QX_ART_PATH) return QX_ERR_BAD_PARAM;
  impl_->touch(i);
  ArtRecord& r = impl_->at(i);
  r.flags = static_cast<uint8_t>(closed ? (r.flags | kClosed) : (r.flags & ~kClosed));
  return QX_ERR_NONE;
}

QxErr ArtStore::closed(QxArtHandle path, bool* closed) const {
  uint32_t i = impl_->find(path);
  if (i == kNone || closed == nullptr || impl_->at(i).type != QX_ART_PATH) return QX_ERR_BAD_PARAM;
  *closed = (impl_->at(i).flags & kClosed) != 0;
  return QX_ERR_NONE;
}

QxErr ArtStore::setItemOutline(QxArtHandle art, const QxRealRect& box) {
  ArtArrays& s = *impl_;
  uint32_t i = s.find(art);
  if (i == kNone || isContainer(s.at(i).type) || s.at(i).type == QX_ART_PATH) return QX_ERR_BAD_PARAM;
  s.touch(i);
  QxPathSegment* seg = s.writableSegments(i, 4);
  if (seg == nullptr) return QX_ERR_OUT_OF_MEMORY;
  const QxRealPoint corners[4] = {
      {box.right, box.top}, {box.left, box.top}, {box.left, box.bottom}, {box.right, box.bottom}};
  for (int k = 0; k < 4; ++k) seg[k] = QxPathSegment{corners[k], corners[k], corners[k], 1};
  ArtRecord& r = s.at(i);
  r.segCount = 4;
  r.flags |= kClosed;
  return QX_ERR_NONE;
}

// ---- Geometry ----

QxErr ArtStore::bounds(QxArtHandle art, QxRealRect* bounds) const {
  uint32_t i = impl_->find(art);
  if (i == kNone || bounds == nullptr) return QX_ERR_BAD_PARAM;
  Box box;
  addBounds(*impl_, i, box);
  if (box.empty()) {
    *bounds = QxRealRect{0, 0, 0, 0};
  } else {
    *bounds = QxRealRect{static_cast<QxReal>(box.left), static_cast<QxReal>(box.top), static_cast<QxReal>(box.right),
                         static_cast<QxReal>(box.bottom)};
  }
  return QX_ERR_NONE;
}

QxErr ArtStore::transform(QxArtHandle art, const QxRealMatrix& m, QxReal lineScale, int32_t flags) {
  ArtArrays& s = *impl_;
  uint32_t i = s.find(art);
  const bool scaleLines = (flags & kTransformLineWidths) != 0;
  if (i == kNone || !isFiniteMatrix(m) || (scaleLines && !std::isfinite(lineScale))) return QX_ERR_BAD_PARAM;
  // Turning by 0 or scaling by 100 % about a point is the identity: nothing
  // moves, so nothing is touched (the set rotation and the shape scale ask
  // for it on every shape).
  const bool identity = m.a == 1 && m.b == 0 && m.c == 0 && m.d == 1 && m.tx == 0 && m.ty == 0;
  if (identity && (!scaleLines || lineScale == 1)) return QX_ERR_NONE;
  if (!transformTree(s, i, m, lineScale, scaleLines)) return QX_ERR_OUT_OF_MEMORY;
  return QX_ERR_NONE;
}

}  // namespace qx::host
