// The lattice generator: turns the settings record into art.
#pragma once

#include "filter/parameters.h"
#include "qx_sdk.h"

// Draw the line sets of `params` into the current document, replacing the art
// of an earlier preview of the same message. Writes only previewDrawn. 0 or
// the first failing tested host call's code (the selection is then released).
QxErr GenerateLattice(FilterParameters& params);
