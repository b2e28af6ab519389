// The desktop app as the command line reaches it: the two entry points that
// need the app's widgets, which the program's main() installs when the app
// is built in. The command line never includes the app; without an entry it
// says the app is missing. (Pictures need no app: the command line paints
// them through the painting layer itself.)
#pragma once

#include <string>

namespace qx::host {

struct DesktopLaunch {
  std::string pluginDir;
  std::string openPath;   // a drawing to open at once; empty for a new document
  std::string statePath;  // the kept settings; empty keeps none
  bool fresh = false;     // start from the defaults (the file is still written after a run)
};

struct DesktopEntry {
  // A window system is there to show windows on.
  bool (*displayAvailable)() = nullptr;
  // Runs the app until its window closes; answers 0 on a normal quit.
  int (*run)(int argc, char** argv, const DesktopLaunch& launch) = nullptr;
};

// The installed entry; every pointer is null when the app is not built in.
const DesktopEntry& desktopEntry();
void setDesktopEntry(const DesktopEntry& entry);

}  // namespace qx::host
