// The walk over the 32 host suites that fills and empties the slots of
// suites.h, guarded by a nesting counter so that only the outermost message
// acquires and releases.
#pragma once

#include <cstdint>

#include "qx_sdk.h"

// Outermost call (counter 0): acquire every suite in table order, stopping at
// the first failure (with the suite-loading alert when the ADM basic suite is
// already there). Inner calls acquire nothing. The counter goes up by one in
// every case. Answers the failing acquisition's code or 0.
QxErr AcquireSuites(const QxBasicSuite* basic);

// Outermost call (counter 1): release every suite in table order, emptying
// each slot, until a release fails. The counter goes down by one in every
// case. Answers the failing release's code or 0.
QxErr ReleaseSuites(const QxBasicSuite* basic);

// The number of messages inside the acquired section.
int16_t SuiteNestingCount();
// After a reload the library starts again with no message in progress.
void ResetSuiteNesting();
