#include "host/document/matrix.h"

#include <cmath>

namespace qx::host {

QxRealMatrix identityMatrix() { return {1, 0, 0, 1, 0, 0}; }

QxRealMatrix translateMatrix(QxReal tx, QxReal ty) { return {1, 0, 0, 1, tx, ty}; }

QxRealMatrix scaleMatrix(QxReal sx, QxReal sy) { return {sx, 0, 0, sy, 0, 0}; }

QxRealMatrix rotateMatrix(QxReal radians) {
  // Computed in double so that quarter turns come out clean once rounded.
  const double s = std::sin(static_cast<double>(radians));
  const double c = std::cos(static_cast<double>(radians));
  return {static_cast<QxReal>(c), static_cast<QxReal>(s), static_cast<QxReal>(-s), static_cast<QxReal>(c), 0, 0};
}

QxRealMatrix concatMatrix(const QxRealMatrix& m, const QxRealMatrix& n) {
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

bool isFiniteMatrix(const QxRealMatrix& m) {
  return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) && std::isfinite(m.tx) &&
         std::isfinite(m.ty);
}

}  // namespace qx::host
