// Path segments, the closed flag, tight bounds and transforms.
#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "host/document/art_store.h"
#include "host/document/art_store_impl.h"
#include "host/document/art_walk.h"
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
// anchor already, so only a handle outside the box can widen it. Answers
// whether it had to measure the curve.
bool addCurve(Box& box, const QxPathSegment& from, const QxPathSegment& to) {
  auto inside = [](double v, double lo, double hi) { return v >= lo && v <= hi; };
  bool measured = false;
  if (!inside(from.out.x, box.left, box.right) || !inside(to.in.x, box.left, box.right)) {
    cubicExtrema(from.p.x, from.out.x, to.in.x, to.p.x, &box.left, &box.right);
    measured = true;
  }
  if (!inside(from.out.y, box.bottom, box.top) || !inside(to.in.y, box.bottom, box.top)) {
    cubicExtrema(from.p.y, from.out.y, to.in.y, to.p.y, &box.bottom, &box.top);
    measured = true;
  }
  return measured;
}

// One path's segments into `box`. Answers true when the box is its anchors'
// alone: every anchor finite and no curve measured (every handle that counts
// lies inside the anchors' box).
bool addPathBounds(const ArtArrays& s, const ArtRecord& r, Box& box) {
  const QxPathSegment* seg = s.segmentsOf(r);
  const int n = r.segCount;
  bool anchorBox = true;
  for (int k = 0; k < n; ++k) {
    box.add(seg[k].p.x, seg[k].p.y);
    anchorBox = anchorBox && std::isfinite(seg[k].p.x) && std::isfinite(seg[k].p.y);
  }
  for (int k = 0; k + 1 < n; ++k) anchorBox = !addCurve(box, seg[k], seg[k + 1]) && anchorBox;
  if ((r.flags & kClosed) && n > 1) anchorBox = !addCurve(box, seg[n - 1], seg[0]) && anchorBox;
  return anchorBox;
}

void addBounds(const ArtArrays& s, uint32_t root, Box& box) {
  for (uint32_t i = root; i != kNone; i = nextInSubtree(s, root, i)) {
    const ArtRecord& r = s.at(i);
    if (!isContainer(r.type)) addPathBounds(s, r, box);
  }
}

QxRealRect toRect(const Box& box) {
  if (box.empty()) return QxRealRect{0, 0, 0, 0};
  return QxRealRect{static_cast<QxReal>(box.left), static_cast<QxReal>(box.top), static_cast<QxReal>(box.right),
                    static_cast<QxReal>(box.bottom)};
}

// One point through a matrix, in double and rounded once: quarter turns and
// flips of exact values stay exact. x' = (a x + c y) + tx, y' = (b x + d y) + ty.
#if defined(__SSE2__)
// Both coordinates at once, the same operations in the same order on two lanes.
struct PointMap {
  __m128d ab, cd, t;
  explicit PointMap(const QxRealMatrix& m)
      : ab(_mm_set_pd(m.b, m.a)), cd(_mm_set_pd(m.d, m.c)), t(_mm_set_pd(m.ty, m.tx)) {}
  void operator()(QxRealPoint& p) const {
    const __m128d v = _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&p))));
    const __m128d r = _mm_add_pd(_mm_add_pd(_mm_mul_pd(ab, _mm_unpacklo_pd(v, v)),
                                            _mm_mul_pd(cd, _mm_unpackhi_pd(v, v))),
                                 t);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&p), _mm_castps_si128(_mm_cvtpd_ps(r)));
  }
};
#else
struct PointMap {
  const QxRealMatrix& m;
  explicit PointMap(const QxRealMatrix& matrix) : m(matrix) {}
  void operator()(QxRealPoint& p) const {
    p = {static_cast<QxReal>(double(m.a) * p.x + double(m.c) * p.y + double(m.tx)),
         static_cast<QxReal>(double(m.b) * p.x + double(m.d) * p.y + double(m.ty))};
  }
};
#endif

void mapSegments(const QxRealMatrix& m, QxPathSegment* seg, int n) {
  const PointMap map(m);
  for (int k = 0; k < n; ++k) {
    map(seg[k].p);
    map(seg[k].in);
    map(seg[k].out);
  }
}

// A box of anchors alone maps to the box of the mapped anchors when the
// matrix maps x from x alone and y from y alone (b and c zero): each
// coordinate then goes through a function that never decreases or never
// increases, so the extreme anchors stay extreme and every handle inside the
// box stays inside. Only the sign of a zero can depend on the other
// coordinate, or on which of two anchors that both round to zero came first,
// so a zero edge is measured again. False when the box cannot be carried over.
bool mapAnchorBox(const QxRealMatrix& m, QxRealRect* box) {
  const PointMap map(m);
  QxRealPoint lo{box->left, box->bottom}, hi{box->right, box->top};
  map(lo);
  map(hi);
  for (QxReal v : {lo.x, lo.y, hi.x, hi.y}) {
    if (!std::isfinite(v) || v == 0) return false;
  }
  *box = QxRealRect{std::min(lo.x, hi.x), std::max(lo.y, hi.y), std::max(lo.x, hi.x), std::min(lo.y, hi.y)};
  return true;
}

// Applies an entry's waiting mapping; false when its box cannot be carried
// over (the caller drops the entry).
bool settle(BoundsCache::Entry& e) {
  if (!e.pending) return true;
  e.pending = false;
  return mapAnchorBox(e.m, &e.box);
}

struct Mapping {
  const QxRealMatrix& m;
  QxReal lineScale;
  bool scaleLines;
  bool carriesBoxes;  // mapAnchorBox applies
};

// One record: its segments (and bounds), its stroke width.
bool transformOne(ArtArrays& s, uint32_t i, const Mapping& map) {
  s.touch(i);
  ArtRecord& r = s.at(i);
  if (r.segCount != 0) {
    QxPathSegment* seg = s.writableSegments(i, r.segCount);
    if (seg == nullptr) return false;
    mapSegments(map.m, seg, r.segCount);
    if (BoundsCache::Entry* cached = s.bounds.lookup(i, r.gen)) {
      if (cached->anchorBox && map.carriesBoxes && settle(*cached)) {
        cached->m = map.m;
        cached->pending = true;
      } else {
        s.bounds.drop(i);
      }
    }
  }
  if (map.scaleLines && r.styleBase != kNone) {
    QxReal width;
    std::memcpy(&width, &r.strokeWidth, 4);
    width *= map.lineScale;
    std::memcpy(&r.strokeWidth, &width, 4);
  }
  return true;
}

bool transformTree(ArtArrays& s, uint32_t root, const Mapping& map) {
  for (uint32_t i = root; i != kNone; i = nextInSubtree(s, root, i))
    if (!transformOne(s, i, map)) return false;
  return true;
}

}  // namespace

// ---- Segments ----

QxErr ArtStore::setSegmentCount(QxArtHandle path, int32_t count) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(path);
  if (i == kNone || s.at(i).type != QX_ART_PATH || count < 0 || count > kMaxSegments) return QX_ERR_BAD_PARAM;
  s.touch(i);
  s.bounds.drop(i);
  ArtRecord& r = s.at(i);
  if (count > r.segCount) {
    QxPathSegment* seg = s.writableSegments(i, static_cast<size_t>(count));
    if (seg == nullptr) return QX_ERR_OUT_OF_MEMORY;
    for (int k = r.segCount; k < count; ++k) seg[k] = QxPathSegment{{0, 0}, {0, 0}, {0, 0}, 1};
  }
  r.segCount = static_cast<uint16_t>(count);
  return QX_ERR_NONE;
}

QxErr ArtStore::setSegments(QxArtHandle path, int32_t index, int32_t count, const QxPathSegment* segments) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(path);
  if (i == kNone || s.at(i).type != QX_ART_PATH) return QX_ERR_BAD_PARAM;
  if (index < 0 || count < 0 || index > s.at(i).segCount || index + count > kMaxSegments) return QX_ERR_BAD_PARAM;
  if (count == 0) return QX_ERR_NONE;
  if (segments == nullptr) return QX_ERR_BAD_PARAM;
  s.touch(i);
  s.bounds.drop(i);
  ArtRecord& r = s.at(i);
  const int32_t end = std::max<int32_t>(r.segCount, index + count);
  QxPathSegment* seg = s.writableSegments(i, static_cast<size_t>(end));
  if (seg == nullptr) return QX_ERR_OUT_OF_MEMORY;
  std::memcpy(seg + index, segments, static_cast<size_t>(count) * sizeof(QxPathSegment));
  r.segCount = static_cast<uint16_t>(end);
  return QX_ERR_NONE;
}

QxErr ArtStore::setClosed(QxArtHandle path, bool closed) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(path);
  if (i == kNone || s.at(i).type != QX_ART_PATH) return QX_ERR_BAD_PARAM;
  ArtRecord& r = s.at(i);
  const uint8_t flags = static_cast<uint8_t>(closed ? (r.flags | kClosed) : (r.flags & ~kClosed));
  if (flags == r.flags) return QX_ERR_NONE;
  s.touch(i);
  s.bounds.drop(i);
  r.flags = flags;
  return QX_ERR_NONE;
}

QxErr ArtStore::setItemOutline(QxArtHandle art, const QxRealRect& box) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone || isContainer(s.at(i).type) || s.at(i).type == QX_ART_PATH) return QX_ERR_BAD_PARAM;
  s.touch(i);
  s.bounds.drop(i);
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

// Reading bounds never fills the cache, so readers may read at once; an
// entry whose mapping still waits is mapped on a copy.
QxErr ArtStore::bounds(QxArtHandle art, QxRealRect* bounds) const {
  const ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone || bounds == nullptr) return QX_ERR_BAD_PARAM;
  const ArtRecord& r = s.at(i);
  if (isContainer(r.type) || r.segCount == 0) {
    // A container's box is its children's, merged before rounding.
    Box box;
    addBounds(s, i, box);
    *bounds = toRect(box);
    return QX_ERR_NONE;
  }
  if (const BoundsCache::Entry* cached = s.bounds.lookup(i, r.gen)) {
    BoundsCache::Entry settled = *cached;
    if (settle(settled)) {
      *bounds = settled.box;
      return QX_ERR_NONE;
    }
  }
  Box box;
  addPathBounds(s, r, box);
  *bounds = toRect(box);
  return QX_ERR_NONE;
}

QxErr ArtStore::measure(QxArtHandle art, QxRealRect* bounds) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  if (i == kNone || bounds == nullptr) return QX_ERR_BAD_PARAM;
  const ArtRecord& r = s.at(i);
  if (isContainer(r.type) || r.segCount == 0) return this->bounds(art, bounds);
  if (BoundsCache::Entry* cached = s.bounds.lookup(i, r.gen)) {
    if (settle(*cached)) {
      *bounds = cached->box;
      return QX_ERR_NONE;
    }
    s.bounds.drop(i);
  }
  Box box;
  const bool anchorBox = addPathBounds(s, r, box);
  *bounds = toRect(box);
  s.bounds.put(i, r.gen, *bounds, anchorBox);
  return QX_ERR_NONE;
}

std::unordered_map<QxArtHandle, QxRealRect> ArtStore::containerBounds() const {
  const ArtArrays& s = arrays();
  std::unordered_map<QxArtHandle, QxRealRect> found;
  std::vector<Box> open;  // the boxes of the containers entered, outermost first
  ArtWalk walk(*this);
  ArtStep step;
  while (walk.next(&step)) {
    switch (step.kind) {
      case ArtStep::kEnter: open.emplace_back(); break;
      case ArtStep::kArt:
        if (!open.empty()) addPathBounds(s, s.at(s.find(step.art)), open.back());
        break;
      case ArtStep::kLeave: {
        const Box box = open.back();
        open.pop_back();
        found.emplace(step.art, toRect(box));
        if (!open.empty() && !box.empty()) {
          open.back().add(box.left, box.bottom);
          open.back().add(box.right, box.top);
        }
        break;
      }
    }
  }
  return found;
}

QxErr ArtStore::transform(QxArtHandle art, const QxRealMatrix& m, QxReal lineScale, int32_t flags) {
  ArtArrays& s = arrays();
  uint32_t i = s.find(art);
  const bool scaleLines = (flags & QX_TRANSFORM_LINE_WIDTHS) != 0;
  if (i == kNone) return QX_ERR_BAD_PARAM;
  // Turning by 0 or scaling by 100 % about a point is the identity: nothing
  // moves, so nothing is touched (the set rotation and the shape scale ask
  // for it on every shape).
  const bool axisAligned = m.b == 0 && m.c == 0;
  const bool identity = axisAligned && m.a == 1 && m.d == 1 && m.tx == 0 && m.ty == 0;
  if (identity && !scaleLines) return QX_ERR_NONE;
  if (!isFiniteMatrix(m) || (scaleLines && !std::isfinite(lineScale))) return QX_ERR_BAD_PARAM;
  if (identity && lineScale == 1) return QX_ERR_NONE;
  const Mapping map{m, lineScale, scaleLines, axisAligned};
  const bool done = s.at(i).firstChild == kNone ? transformOne(s, i, map) : transformTree(s, i, map);
  if (!done) return QX_ERR_OUT_OF_MEMORY;
  return QX_ERR_NONE;
}

QxRealRect ArtView::bounds() const {
  QxRealRect box{};
  if (store != nullptr) (void)store->bounds(art, &box);
  return box;
}

}  // namespace qx::host
