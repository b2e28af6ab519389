// Failures and the about box, shown through the host's dialogs.
#pragma once

#include "qx_sdk.h"

// Show `code` in the error dialog with its message from string list 16050.
// Silent for 0 and QX_ERR_STOP, and when the dialog suites are missing.
void ReportError(QxMessageData* message, QxErr code);
// Run the about box (dialog 16050) modally; its answer is not used.
void ShowAboutBox(QxMessageData* message);
// The "About" message: shows the about box, whatever it answers. Answers 0.
QxErr AboutPlugin(QxMessageData* message);
