// Random values from the host's random operation, and the real-to-integer
// truncation every random count goes through.
#pragma once

#include <cstdint>

#include "qx_sdk.h"

// One draw of the host's random operation: a uniform real, 0 <= r < 1. A
// failing draw (a scripted sequence that ran out) reads as 0 and the host
// ends the run itself; but a host whose work budget is spent answers out of
// memory, and that answer is kept for TakeDrawFailure.
QxReal DrawRandom();

// The out-of-memory answer of a draw since the last call, then clears it; 0
// when there was none. The generator passes it up after each line set, so a
// record that draws for ever without making art ends as one that makes too
// much art does.
QxErr TakeDrawFailure();

// One draw: +1 when 10 r <= 5, otherwise -1.
QxReal RandomSign();

// Truncation toward zero. Values past the 32-bit range saturate one short of
// its ends (so that a count minus one still fits) and NaN gives 0, so an
// absurd parameter record never reaches an undefined conversion.
int32_t TruncToInt(QxReal value);
