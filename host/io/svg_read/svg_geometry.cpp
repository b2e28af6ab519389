#include "host/io/svg_read/svg_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qx::host::svg {
namespace {

constexpr double kMaxCoordinate = 1e15;

Pt lerp(Pt a, Pt b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// Same point up to the rounding that relative coordinates pile up.
bool nearlySame(Pt a, Pt b) {
  const double scale = 1 + std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(b.x), std::fabs(b.y)});
  return std::fabs(a.x - b.x) <= 1e-9 * scale && std::fabs(a.y - b.y) <= 1e-9 * scale;
}

bool same(Pt a, Pt b) { return a.x == b.x && a.y == b.y; }

// Signed angle from u to v.
double angleBetween(double ux, double uy, double vx, double vy) {
  return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

bool smooth(const Anchor& a) {
  const double ix = a.in.x - a.p.x, iy = a.in.y - a.p.y;
  const double ox = a.out.x - a.p.x, oy = a.out.y - a.p.y;
  const double li = std::hypot(ix, iy), lo = std::hypot(ox, oy);
  // A retracted handle makes a corner: there is no direction to match.
  if (!(li > 0) || !(lo > 0)) return false;
  const double cross = ix * oy - iy * ox, dot = ix * ox + iy * oy;
  return dot < 0 && std::fabs(cross) <= 1e-6 * li * lo;
}

bool usable(Pt p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= kMaxCoordinate &&
         std::fabs(p.y) <= kMaxCoordinate;
}

QxRealPoint real(Pt p) { return {static_cast<QxReal>(p.x), static_cast<QxReal>(p.y)}; }

}  // namespace

Matrix operator*(const Matrix& l, const Matrix& r) {
  return {l.a * r.a + l.c * r.b, l.b * r.a + l.d * r.b,       l.a * r.c + l.c * r.d,
          l.b * r.c + l.d * r.d, l.a * r.e + l.c * r.f + l.e, l.b * r.e + l.d * r.f + l.f};
}

Contour& ContourBuilder::open() {
  if (needMove_) moveTo(current_);
  return contours_.back();
}

void ContourBuilder::moveTo(Pt p) {
  contours_.push_back({});
  contours_.back().anchors.push_back({p, p, p});
  ++anchors_;
  current_ = start_ = p;
  needMove_ = false;
}

void ContourBuilder::lineTo(Pt p) {
  open().anchors.push_back({p, p, p});
  ++anchors_;
  current_ = p;
}

void ContourBuilder::cubicTo(Pt c1, Pt c2, Pt p) {
  Contour& c = open();
  c.anchors.back().out = c1;
  c.anchors.push_back({p, c2, p});
  ++anchors_;
  current_ = p;
}

void ContourBuilder::quadTo(Pt q, Pt p) {
  const Pt from = current_;
  cubicTo(lerp(from, q, 2.0 / 3.0), lerp(p, q, 2.0 / 3.0), p);
}

void ContourBuilder::arcTo(double rx, double ry, double rotation, bool largeArc, bool sweep, Pt p) {
  const Pt from = current_;
  if (same(from, p)) return;  // SVG leaves out an arc that ends where it starts
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  if (rx == 0 || ry == 0) {
    lineTo(p);
    return;
  }
  const double phi = rotation * std::numbers::pi / 180.0;
  const double cs = std::cos(phi), sn = std::sin(phi);
  // The start in the ellipse's own axes, relative to the chord's midpoint.
  const double hx = (from.x - p.x) / 2, hy = (from.y - p.y) / 2;
  const double x1 = cs * hx + sn * hy, y1 = -sn * hx + cs * hy;
  // Radii too small to span the chord grow until they just do.
  const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1) {
    const double grow = std::sqrt(lambda);
    rx *= grow;
    ry *= grow;
  }
  const double rx2 = rx * rx, ry2 = ry * ry;
  const double den = rx2 * y1 * y1 + ry2 * x1 * x1;
  double k = den > 0 ? std::sqrt(std::max(0.0, (rx2 * ry2 - den) / den)) : 0;
  if (largeArc == sweep) k = -k;
  const double cx1 = k * rx * y1 / ry, cy1 = -k * ry * x1 / rx;
  const double cx = cs * cx1 - sn * cy1 + (from.x + p.x) / 2;
  const double cy = sn * cx1 + cs * cy1 + (from.y + p.y) / 2;
  const double ux = (x1 - cx1) / rx, uy = (y1 - cy1) / ry;
  const double vx = (-x1 - cx1) / rx, vy = (-y1 - cy1) / ry;
  const double theta = std::atan2(uy, ux);
  double delta = angleBetween(ux, uy, vx, vy);
  if (!sweep && delta > 0) delta -= 2 * std::numbers::pi;
  if (sweep && delta < 0) delta += 2 * std::numbers::pi;
  if (!std::isfinite(delta) || !std::isfinite(theta)) {
    lineTo(p);
    return;
  }
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(delta) / (std::numbers::pi / 2) - 1e-9)));
  const double step = delta / pieces;
  const double handle = 4.0 / 3.0 * std::tan(step / 4);
  // A point of the unit circle mapped onto the ellipse.
  const auto onEllipse = [&](double ux0, double uy0) {
    return Pt{cx + rx * cs * ux0 - ry * sn * uy0, cy + rx * sn * ux0 + ry * cs * uy0};
  };
  double t0 = theta;
  for (int i = 0; i < pieces; ++i) {
    const double t1 = t0 + step;
    const double c0 = std::cos(t0), s0 = std::sin(t0), c1 = std::cos(t1), s1 = std::sin(t1);
    const Pt h1 = onEllipse(c0 - handle * s0, s0 + handle * c0);
    const Pt h2 = onEllipse(c1 + handle * s1, s1 - handle * c1);
    // The last piece ends exactly where the file says.
    const Pt end = i + 1 == pieces ? p : onEllipse(c1, s1);
    cubicTo(h1, h2, end);
    t0 = t1;
  }
}

void ContourBuilder::close() {
  if (contours_.empty() || needMove_) return;
  Contour& c = contours_.back();
  c.closed = true;
  // A last anchor on the first one is the same point: the closing piece is
  // the one that reached it.
  if (c.anchors.size() > 1 && nearlySame(c.anchors.back().p, c.anchors.front().p)) {
    c.anchors.front().in = c.anchors.back().in;
    c.anchors.pop_back();
  }
  current_ = start_;
  needMove_ = true;
}

std::vector<Contour> ContourBuilder::finish() {
  std::vector<Contour> out;
  out.reserve(contours_.size());
  for (Contour& c : contours_) {
    const Anchor& a = c.anchors.front();
    // One anchor draws something only as a closed loop with handles.
    const bool loop = c.closed && !(same(a.in, a.p) && same(a.out, a.p));
    if (c.anchors.size() > 1 || loop) out.push_back(std::move(c));
  }
  contours_.clear();
  anchors_ = 0;
  needMove_ = true;
  return out;
}

bool toSubpaths(const std::vector<Contour>& contours, const Matrix& m, std::vector<SvgSubpath>* out,
                std::string* reason) {
  out->clear();
  out->reserve(contours.size());
  for (const Contour& c : contours) {
    SvgSubpath sub;
    sub.closed = c.closed;
    sub.segments.reserve(c.anchors.size());
    const size_t n = c.anchors.size();
    for (size_t i = 0; i < n; ++i) {
      Anchor a{m.apply(c.anchors[i].p), m.apply(c.anchors[i].in), m.apply(c.anchors[i].out)};
      if (!usable(a.p) || !usable(a.in) || !usable(a.out)) {
        *reason = "a coordinate is not finite or lies beyond 1e15 points";
        out->clear();
        return false;
      }
      // The ends of an open outline have one piece only: corners.
      const bool end = !c.closed && (i == 0 || i + 1 == n);
      sub.segments.push_back(QxPathSegment{real(a.p), real(a.in), real(a.out), end || !smooth(a) ? 1 : 0});
    }
    out->push_back(std::move(sub));
  }
  return true;
}

}  // namespace qx::host::svg
