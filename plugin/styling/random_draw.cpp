#include "styling/random_draw.h"

#include <cmath>

#include "shell/suites.h"

QxReal DrawRandom() {
  QxReal r = 0.0f;
  if (gRandomSuite->FloatRnd(&r) != 0) return 0.0f;
  return r;
}

QxReal RandomSign() { return 10.0f * DrawRandom() <= 5.0f ? 1.0f : -1.0f; }

int32_t TruncToInt(QxReal value) {
  if (std::isnan(value)) return 0;
  // 2^31 - 128 is the largest float below 2^31.
  if (value >= 2147483520.0f) return INT32_MAX;
  if (value <= -2147483520.0f) return INT32_MIN + 1;
  return static_cast<int32_t>(value);
}
