// Starting the desktop app: the Qt application, the session with its
// plug-ins, and the document window.
#pragma once

#include <string>

#include "host/gui/app_session.h"

namespace qx::gui {

struct GuiLaunch {
  std::string pluginDir;
  std::string openPath;  // a drawing to open at once; empty for a new document
  SettingsStore settings;
};

// Runs the app until its window closes; answers the process's exit status.
int runGuiApp(int argc, char** argv, const GuiLaunch& launch);

// A window system is there to show windows on.
bool displayAvailable();

// PNG and PDF output outside the app (the command line): makes sure a Qt
// application object exists, using the off-screen platform when none does.
void ensureOffscreenApplication();

}  // namespace qx::gui
