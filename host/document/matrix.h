// Affine matrices of artwork points: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
// Inline but for the turn: the math suite builds a few matrices per shape.
#pragma once

#include <cmath>

#include "qx_plugin.h"

namespace qx::host {

inline QxRealMatrix identityMatrix() { return {1, 0, 0, 1, 0, 0}; }
inline QxRealMatrix translateMatrix(QxReal tx, QxReal ty) { return {1, 0, 0, 1, tx, ty}; }
inline QxRealMatrix scaleMatrix(QxReal sx, QxReal sy) { return {sx, 0, 0, sy, 0, 0}; }
// Counter-clockwise turn about the origin.
QxRealMatrix rotateMatrix(QxReal radians);

// `first`, then `then`: concatMatrix(m, n) maps p to n(m(p)).
inline QxRealMatrix concatMatrix(const QxRealMatrix& m, const QxRealMatrix& n) {
  // n(m(p)): x'' = n.a*x' + n.c*y' + n.tx with x' = m.a*x + m.c*y + m.tx.
  QxRealMatrix r;
  r.a = n.a * m.a + n.c * m.b;
  r.b = n.b * m.a + n.d * m.b;
  r.c = n.a * m.c + n.c * m.d;
  r.d = n.b * m.c + n.d * m.d;
  r.tx = n.a * m.tx + n.c * m.ty + n.tx;
  r.ty = n.b * m.tx + n.d * m.ty + n.ty;
  return r;
}

inline bool isFiniteMatrix(const QxRealMatrix& m) {
  return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) && std::isfinite(m.tx) &&
         std::isfinite(m.ty);
}

}  // namespace qx::host
