// Affine matrices of artwork points: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
#pragma once

#include "qx_plugin.h"

namespace qx::host {

QxRealMatrix identityMatrix();
QxRealMatrix translateMatrix(QxReal tx, QxReal ty);
QxRealMatrix scaleMatrix(QxReal sx, QxReal sy);
// Counter-clockwise turn about the origin.
QxRealMatrix rotateMatrix(QxReal radians);
// `first`, then `then`: concatMatrix(m, n) maps p to n(m(p)).
QxRealMatrix concatMatrix(const QxRealMatrix& first, const QxRealMatrix& then);
bool isFiniteMatrix(const QxRealMatrix& m);

}  // namespace qx::host
