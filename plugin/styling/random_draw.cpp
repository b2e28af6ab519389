#include "styling/random_draw.h"

#include <cmath>

#include "shell/suites.h"

namespace {
QxErr gDrawFailure = 0;
}

QxReal DrawRandom() {
  QxReal r = 0.0f;
  const QxErr err = gRandomSuite->FloatRnd(&r);
  if (err == 0) return r;
  if (err == QX_ERR_OUT_OF_MEMORY) gDrawFailure = err;
  return 0.0f;
}

QxErr TakeDrawFailure() {
  const QxErr err = gDrawFailure;
  gDrawFailure = 0;
  return err;
}

QxReal RandomSign() { return 10.0f * DrawRandom() <= 5.0f ? 1.0f : -1.0f; }

int32_t TruncToInt(QxReal value) {
  if (std::isnan(value)) return 0;
  // 2^31 - 128 is the largest float below 2^31.
  if (value >= 2147483520.0f) return INT32_MAX;
  if (value <= -2147483520.0f) return INT32_MIN + 1;
  return static_cast<int32_t>(value);
}
