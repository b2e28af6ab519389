// Starting the desktop app: the Qt application, the session with its
// plug-ins, and the document window.
#pragma once

#include <string>

#include "host/gui/app_session.h"
#include "host/session/desktop_entry.h"

namespace qx::gui {

// Runs the app until its window closes; answers the process's exit status.
int runGuiApp(int argc, char** argv, const host::DesktopLaunch& launch);

// A window system is there to show windows on.
bool displayAvailable();

// PNG and PDF output outside the app (the command line): makes sure a Qt
// application object exists, using the off-screen platform when none does.
void ensureOffscreenApplication();

// The app's entry points for the command line: running it, and painting
// PNG and PDF files.
host::DesktopEntry desktopEntry();

}  // namespace qx::gui
