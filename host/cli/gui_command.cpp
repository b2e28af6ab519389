// `quelvix gui [FILE]`: the desktop app, reached through the entry main()
// installs when the app is built in.
#include <iostream>
#include <memory>

#include "host/cli/commands.h"
#include "host/cli/render_request.h"
#include "host/session/desktop_entry.h"

namespace qx::cli {
namespace {

struct GuiOptions {
  std::string file, plugins, state;
  bool fresh = false;
};

int launch(const GuiOptions& o, int argc, char** argv) {
  const host::DesktopEntry& app = host::desktopEntry();
  if (!app.run) {
    std::cerr << "quelvix: the desktop app is not built (Qt 6 Widgets was not found when configuring)\n";
    return kExitFailure;
  }
  host::DesktopLaunch launch;
  launch.pluginDir = o.plugins.empty() ? defaultPluginDir() : o.plugins;
  launch.openPath = o.file;
  launch.statePath = o.state;
  if (launch.statePath.empty()) {
    if (auto path = defaultStatePath()) launch.statePath = *path;
  }
  launch.fresh = o.fresh;
  if (!app.displayAvailable || !app.displayAvailable()) {
    std::cerr << "quelvix: no display (set DISPLAY or WAYLAND_DISPLAY, or run under xvfb-run)\n";
    return kExitFailure;
  }
  return app.run(argc, argv, launch) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

void addGuiCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<GuiOptions>();
  CLI::App* command = app.add_subcommand("gui", "Open the desktop app, with FILE (a Quelvix SVG) when given");
  command->add_option("file", options->file, "A drawing to open");
  command->add_option("--plugins", options->plugins, "Folder of plug-ins (default: plugins beside the program)");
  command->add_option("--state", options->state,
                      "The filter's kept settings; default $XDG_CONFIG_HOME/quelvix/state.bin");
  command->add_flag("--fresh", options->fresh, "Start from the default settings instead of the kept ones");
  command->callback([options, &status] {
    // Qt reads its own options from argv; the command line was checked already.
    static char name[] = "quelvix";
    static char* argv[] = {name, nullptr};
    status = launch(*options, 1, argv);
  });
}

bool guiAvailable() {
  const host::DesktopEntry& app = host::desktopEntry();
  return app.run && app.displayAvailable && app.displayAvailable();
}

int runGuiDefault(int argc, char** argv) {
  GuiOptions options;
  return launch(options, argc, argv);
}

}  // namespace qx::cli
