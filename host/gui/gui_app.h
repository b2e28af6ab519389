// Starting the desktop app: the Qt application, the session with its
// plug-ins, and the document window.
#pragma once

#include <string>

#include "host/session/desktop_entry.h"

namespace qx::gui {

// Runs the app until its window closes; answers the process's exit status.
int runGuiApp(int argc, char** argv, const host::DesktopLaunch& launch);

// A window system is there to show windows on.
bool displayAvailable();

// The app's entry points for the command line: whether it can show, and
// running it.
host::DesktopEntry desktopEntry();

}  // namespace qx::gui
