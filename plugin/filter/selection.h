// The selected art, gathered into the globals block when the settings dialog
// opens; the "Selected" shape kind copies its first entry.
#pragma once

#include "qx_sdk.h"

// Fill selectionList and selectionCount from the current document. 0 or the
// first failing host call's code (the list is then released).
QxErr GatherSelection();
// Dispose of selectionList when there is one; selectionCount becomes -1.
void ReleaseSelection();
