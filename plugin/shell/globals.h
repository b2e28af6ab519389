// The plug-in's globals block: host memory from start-up to shutdown, so it
// outlives an unload of the library.
#pragma once

#include <cstdint>

#include "qx_sdk.h"

struct PluginGlobals {
  QxFilterHandle filterHandles[1];  // the registered filter
  int32_t filterCount;              // filters registered, 0 or 1
  QxMemHandle selectionList;        // gathered selection: an array of QxArtHandle
  int32_t selectionCount;           // entries in selectionList; -1 when released
};

// Empty before Startup and after Shutdown.
extern PluginGlobals* gGlobals;
