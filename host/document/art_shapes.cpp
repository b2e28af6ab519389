// Shape construction: rectangles, ovals, regular polygons and stars as new
// closed paths above all art, counter-clockwise from their first vertex
// unless reversed.
#include <algorithm>
#include <cmath>
#include <new>
#include <utility>
#include <numbers>
#include <span>
#include <vector>

#include "host/document/art_store.h"
#include "host/document/art_store_impl.h"

namespace qx::host {
namespace {

// Control-handle length of a quarter ellipse, as a fraction of its radius.
constexpr double kKappa = 0.5522847498;

QxPathSegment corner(double x, double y) {
  QxRealPoint p{static_cast<QxReal>(x), static_cast<QxReal>(y)};
  return QxPathSegment{p, p, p, 1};
}

// Clockwise order: the same first vertex, the others in reverse, and each
// point's handles swapped.
void reverseOrder(std::span<QxPathSegment> seg) {
  std::reverse(seg.begin() + 1, seg.end());
  for (QxPathSegment& s : seg) std::swap(s.in, s.out);
}

// Vertices on the stack for the usual sizes, on the heap past them.
class VertexBuffer {
 public:
  explicit VertexBuffer(size_t n) : n_(n) {
    if (n > kLocal) heap_.resize(n);
  }
  std::span<QxPathSegment> span() { return {n_ > kLocal ? heap_.data() : local_, n_}; }

 private:
  static constexpr size_t kLocal = 64;
  size_t n_;
  QxPathSegment local_[kLocal];
  std::vector<QxPathSegment> heap_;
};

bool allFinite(std::initializer_list<QxReal> values) {
  for (QxReal v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

// Makes the closed path; on a failed segment write the half-made path goes.
QxErr ArtStore::makeClosedPath(std::span<QxPathSegment> seg, bool reversed, const QxRealRect* box, QxArtHandle* out) {
  if (reversed && seg.size() > 2) reverseOrder(seg);
  QxArtHandle path = nullptr;
  if (QxErr err = newArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &path)) return err;
  QxErr err = QX_ERR_NONE;
  try {
    err = setSegments(path, 0, static_cast<int32_t>(seg.size()), seg.data());
    if (err == QX_ERR_NONE) err = setClosed(path, true);
  } catch (const std::bad_alloc&) {
    disposeArt(path);  // no shape is left half made
    throw;
  }
  if (err != QX_ERR_NONE) {
    disposeArt(path);
    return err;
  }
  if (box != nullptr) {
    const uint32_t i = arrays().find(path);
    arrays().bounds.put(i, arrays().at(i).gen, *box, true);
  }
  *out = path;
  return QX_ERR_NONE;
}

namespace {

// The bounds of a rectangle or an oval of these extremes, as measuring its
// segments gives them: the extreme anchors are these values rounded, every
// handle lies between them, and reversing changes neither. Null when an edge
// is not finite or is zero (the sign of a zero edge comes from the order of
// the anchors, so that box is measured).
const QxRealRect* extremesBox(double l, double t, double r, double b, QxRealRect* box) {
  *box = QxRealRect{static_cast<QxReal>(l), static_cast<QxReal>(t), static_cast<QxReal>(r), static_cast<QxReal>(b)};
  for (QxReal v : {box->left, box->top, box->right, box->bottom}) {
    if (!std::isfinite(v) || v == 0) return nullptr;
  }
  return box;
}

}  // namespace

QxErr ArtStore::newRect(QxReal cx, QxReal cy, QxReal height, QxReal width, bool reversed, QxArtHandle* out) {
  if (out == nullptr) return QX_ERR_BAD_PARAM;
  *out = nullptr;
  if (!allFinite({cx, cy, height, width})) return QX_ERR_BAD_PARAM;
  const double hw = std::fabs(double(width)) / 2, hh = std::fabs(double(height)) / 2;
  const double l = cx - hw, r = cx + hw, b = cy - hh, t = cy + hh;
  QxPathSegment seg[4] = {corner(r, t), corner(l, t), corner(l, b), corner(r, b)};
  QxRealRect box;
  return makeClosedPath(seg, reversed, extremesBox(l, t, r, b, &box), out);
}

QxErr ArtStore::newOval(QxReal cx, QxReal cy, QxReal height, QxReal width, bool reversed, QxArtHandle* out) {
  if (out == nullptr) return QX_ERR_BAD_PARAM;
  *out = nullptr;
  if (!allFinite({cx, cy, height, width})) return QX_ERR_BAD_PARAM;
  const double rx = std::fabs(double(width)) / 2, ry = std::fabs(double(height)) / 2;
  const double kx = kKappa * rx, ky = kKappa * ry;
  auto smooth = [](double px, double py, double inx, double iny, double outx, double outy) {
    return QxPathSegment{{static_cast<QxReal>(px), static_cast<QxReal>(py)},
                         {static_cast<QxReal>(inx), static_cast<QxReal>(iny)},
                         {static_cast<QxReal>(outx), static_cast<QxReal>(outy)},
                         0};
  };
  // Top, left, bottom, right.
  QxPathSegment seg[4] = {
      smooth(cx, cy + ry, cx + kx, cy + ry, cx - kx, cy + ry),
      smooth(cx - rx, cy, cx - rx, cy + ky, cx - rx, cy - ky),
      smooth(cx, cy - ry, cx - kx, cy - ry, cx + kx, cy - ry),
      smooth(cx + rx, cy, cx + rx, cy - ky, cx + rx, cy + ky),
  };
  // Each handle sits on its anchor's edge of the box, or between the anchors.
  QxRealRect box;
  return makeClosedPath(seg, reversed, extremesBox(cx - rx, cy + ry, cx + rx, cy - ry, &box), out);
}

QxErr ArtStore::newRegularPolygon(int32_t sides, QxReal cx, QxReal cy, QxReal radius, bool reversed, QxArtHandle* out) {
  if (out == nullptr) return QX_ERR_BAD_PARAM;
  *out = nullptr;
  if (!allFinite({cx, cy, radius}) || sides > kMaxSegments) return QX_ERR_BAD_PARAM;
  const size_t n = sides < 3 ? 1 : static_cast<size_t>(sides);
  VertexBuffer buffer(n);
  std::span<QxPathSegment> seg = buffer.span();
  if (sides < 3) {
    seg[0] = corner(cx, cy);
  } else {
    const double r = std::fabs(double(radius));
    for (int32_t k = 0; k < sides; ++k) {
      // Measured from straight up, turning counter-clockwise.
      const double a = 2 * std::numbers::pi * k / sides;
      seg[k] = corner(cx - r * std::sin(a), cy + r * std::cos(a));
    }
  }
  return makeClosedPath(seg, reversed, nullptr, out);
}

QxErr ArtStore::newStar(int32_t points, QxReal cx, QxReal cy, QxReal radius1, QxReal radius2, bool reversed,
                        QxArtHandle* out) {
  if (out == nullptr) return QX_ERR_BAD_PARAM;
  *out = nullptr;
  if (!allFinite({cx, cy, radius1, radius2}) || points > kMaxSegments / 2) return QX_ERR_BAD_PARAM;
  const size_t n = points < 2 ? 1 : 2 * static_cast<size_t>(points);
  VertexBuffer buffer(n);
  std::span<QxPathSegment> seg = buffer.span();
  if (points < 2) {
    seg[0] = corner(cx, cy);
  } else {
    const double r1 = std::fabs(double(radius1)), r2 = std::fabs(double(radius2));
    for (int32_t k = 0; k < 2 * points; ++k) {
      const double r = (k % 2 == 0) ? r1 : r2;
      const double a = std::numbers::pi * k / points;
      seg[k] = corner(cx - r * std::sin(a), cy + r * std::cos(a));
    }
  }
  return makeClosedPath(seg, reversed, nullptr, out);
}

}  // namespace qx::host
