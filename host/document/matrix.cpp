#include "host/document/matrix.h"

#include <cmath>

namespace qx::host {

QxRealMatrix rotateMatrix(QxReal radians) {
  // Computed in double so that quarter turns come out clean once rounded.
  const double s = std::sin(static_cast<double>(radians));
  const double c = std::cos(static_cast<double>(radians));
  return {static_cast<QxReal>(c), static_cast<QxReal>(s), static_cast<QxReal>(-s), static_cast<QxReal>(c), 0, 0};
}

}  // namespace qx::host
