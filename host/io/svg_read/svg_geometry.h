// Geometry the SVG reader builds in before anything is stored as the SDK's
// 32-bit reals: points and affine matrices in doubles, and outlines made of
// anchors with their handles, as the document keeps them.
#pragma once

#include <string>
#include <vector>

#include "host/io/svg_read/svg_scene.h"

namespace qx::host::svg {

struct Pt {
  double x = 0, y = 0;
};

// Maps (x, y) to (a x + c y + e, b x + d y + f), the order SVG's matrix() uses.
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  Pt apply(Pt p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  double det() const { return a * d - b * c; }
  static Matrix translate(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
  static Matrix scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
};

// this * m: m applies first.
Matrix operator*(const Matrix& l, const Matrix& r);

// One anchor: `in` is the handle towards the previous anchor, `out` towards
// the next; a handle sitting on the anchor is a straight piece.
struct Anchor {
  Pt p, in, out;
};

struct Contour {
  std::vector<Anchor> anchors;
  bool closed = false;
};

// Builds outlines the way path data draws them: each piece starts at the
// current point. Drawing after a close starts a new outline at the closed
// one's start, as SVG does.
class ContourBuilder {
 public:
  void moveTo(Pt p);
  void lineTo(Pt p);
  void cubicTo(Pt c1, Pt c2, Pt p);
  // Raised to a cubic exactly: the handles sit 2/3 of the way to the control point.
  void quadTo(Pt q, Pt p);
  // An elliptical arc in endpoint form, as cubic pieces of at most 90 degrees.
  void arcTo(double rx, double ry, double xAxisRotationDegrees, bool largeArc, bool sweep, Pt p);
  void close();

  bool started() const { return !contours_.empty(); }
  size_t anchorCount() const { return anchors_; }
  Pt current() const { return current_; }

  // The outlines, without those of a single anchor that draw nothing.
  std::vector<Contour> finish();

 private:
  Contour& open();

  std::vector<Contour> contours_;
  size_t anchors_ = 0;
  Pt current_, start_;
  bool needMove_ = true;  // the last outline was closed (or none began)
};

// Transforms the outlines and stores them as SDK segments, setting `corner`
// where the two handles of an anchor are not on one line through it. False,
// with *reason, when a coordinate is not finite or lies beyond 1e15 points.
bool toSubpaths(const std::vector<Contour>& contours, const Matrix& m, std::vector<SvgSubpath>* out,
                std::string* reason);

}  // namespace qx::host::svg
