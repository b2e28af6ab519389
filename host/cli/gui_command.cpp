// `quelvix gui [FILE]`: the desktop app. It also installs the painter that
// `quelvix render` uses for PNG and PDF output.
#include <iostream>
#include <memory>

#include "host/cli/commands.h"

#if QX_HAVE_GUI
#include "host/cli/painted_output.h"
#include "host/cli/render_request.h"
#include "host/cli/state_file.h"
#include "host/gui/export_painted.h"
#include "host/gui/gui_app.h"

namespace qx::cli {
namespace {

bool paintDocument(const host::Document& document, const std::string& path, OutputFormat format,
                   std::string* error) {
  gui::ensureOffscreenApplication();
  if (format == OutputFormat::Png) return gui::writePng(document, path, gui::kDefaultPngDpi, error);
  if (format == OutputFormat::Pdf) return gui::writePdf(document, path, error);
  *error = "only PNG and PDF are painted";
  return false;
}

// The same state file as `quelvix render`.
gui::SettingsStore settingsStore(const std::string& statePath, bool fresh) {
  gui::SettingsStore store;
  if (statePath.empty()) return store;
  if (!fresh) {
    store.load = [statePath](std::vector<uint8_t>* bytes, std::string* error) {
      return readStateFile(statePath, kParameterBlockSize, bytes, error) != StateRead::Invalid;
    };
  }
  store.save = [statePath](const std::vector<uint8_t>& bytes, std::string* error) {
    if (bytes.size() != kParameterBlockSize) {
      *error = "the filter kept no settings block of the expected size";
      return false;
    }
    return writeStateFile(statePath, bytes, error);
  };
  return store;
}

struct GuiOptions {
  std::string file, plugins, state;
  bool fresh = false;
};

int launch(const GuiOptions& o, int argc, char** argv) {
  gui::GuiLaunch launch;
  launch.pluginDir = o.plugins.empty() ? defaultPluginDir() : o.plugins;
  launch.openPath = o.file;
  std::string statePath = o.state;
  if (statePath.empty()) {
    if (auto path = defaultStatePath()) statePath = *path;
  }
  launch.settings = settingsStore(statePath, o.fresh);
  if (!gui::displayAvailable()) {
    std::cerr << "quelvix gui: no display (set DISPLAY or WAYLAND_DISPLAY, or run under xvfb-run)\n";
    return kExitFailure;
  }
  return gui::runGuiApp(argc, argv, launch) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

void addGuiCommand(CLI::App& app, int& status) {
  setPaintedWriter(&paintDocument);
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

bool guiAvailable() { return gui::displayAvailable(); }

int runGuiDefault(int argc, char** argv) {
  GuiOptions options;
  return launch(options, argc, argv);
}

}  // namespace qx::cli

#else  // built without Qt: `quelvix gui` explains, `quelvix` alone shows the help

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

#endif
