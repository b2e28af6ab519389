// The settings dialog, run modally by Get Parameters with the record as its
// user data.
#pragma once

#include "qx_sdk.h"

// The dialog's initialisation procedure: builds every control, gathers the
// selection, restores the last page and draws the first preview. Answers 0,
// or QX_ERR_BAD_PARAM when the dialog carries no record (the host then
// closes it with that code).
QxErr InitSettingsDialog(QxDialogRef dialog);
