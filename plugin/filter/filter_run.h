// The filter's two messages: "AI Get Parameters" and "AI Go".
#pragma once

#include "qx_sdk.h"

// Create the parameter block on first use and run the settings dialog.
// 0 on OK, QX_ERR_STOP on Cancel, or a host code.
QxErr GetFilterParameters(QxFilterMessage* message);
// The final run: keeps the preview's art or draws afresh. Always 0.
QxErr GoFilter(QxFilterMessage* message);
