// Without the desktop app, `quelvix gui` explains why it cannot open, and
// `quelvix` alone falls through to the command line's help.
#include <iostream>

#include "host/cli/commands.h"

namespace qx::cli {

void addGuiCommand(CLI::App& app, int& status) {
  auto* command = app.add_subcommand("gui", "Open the desktop app");
  command->allow_extras();
  command->callback([&status] {
    std::cerr << "quelvix gui: the desktop app is not built (Qt 6 Widgets was not found when configuring)\n";
    status = kExitFailure;
  });
}

bool guiAvailable() { return false; }

int runGuiDefault(int /*argc*/, char** /*argv*/) {
  std::cerr << "quelvix: the desktop app is not built\n";
  return kExitFailure;
}

}  // namespace qx::cli
