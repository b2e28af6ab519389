// The plug-in's life: start-up with the filter's registration, and the
// globals block carried across unload, reload and shutdown.
#pragma once

#include "qx_sdk.h"

// Allocate and initialise the globals block, then register the filter.
// 0 or the first failing host call's code (nothing registered when the
// allocation fails).
QxErr StartupPlugin(QxMessageData* message);
// Register one filter per (category, title) pair of string list 16000,
// starting at entry 1; at most one pair is read. 0 or the failing call's code
// (filterCount is then not written).
QxErr RegisterFilters(QxMessageData* message);
// Hand the globals pointer to the host's slot in the message. Answers 0.
QxErr UnloadPlugin(QxMessageData* message);
// Take the globals pointer back from the message; no message is in progress
// in the fresh library. Answers 0.
QxErr ReloadPlugin(QxMessageData* message);
// Free the globals block through a fresh acquisition of the blocks suite and
// clear the host's slot. Answers that acquisition's code.
QxErr ShutdownPlugin(QxMessageData* message);
