// One move of a line set's walk on the lattice.
#pragma once

#include <cstdint>

#include "qx_sdk.h"

// The entries of the direction popup, in order; the record's directionMode holds one.
enum DirectionMode : int32_t {
  kDirectionEqual = 0,              // one axis, full step
  kDirectionRandom = 1,             // one axis, random fraction of the step
  kDirectionRandomPerSet = 2,       // one axis, full step (lengths drawn once per set)
  kDirectionAngled = 3,             // both axes, full step
  kDirectionRandomAngled = 4,       // both axes, random fractions
  kDirectionAlternate = 5,          // one axis doubled on even steps, then a mode 6 move
  kDirectionAlternateAngled = 6,    // both axes, doubled on even steps
  kDirectionAlternateAngledXY = 7,  // both axes, y doubled on even steps, x on odd ones
};

inline constexpr int32_t kDirectionModeCount = kDirectionAlternateAngledXY + 1;

// Move the anchor of `segment` by the rule of `mode` with step lengths
// (stepLengthX, stepLengthY); handles and corner come back unchanged. Draws
// 2 or 4 random values by mode; a mode outside 0..7 returns the segment
// unchanged and draws nothing.
QxPathSegment StepPoint(int32_t mode, int32_t stepIndex, QxReal stepLengthX, QxReal stepLengthY, bool lockStep,
                        QxReal minDistance, QxPathSegment segment);
