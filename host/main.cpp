// The `quelvix` program: the command line, with the desktop app wired in
// when it is built.
#include <cstdlib>
#include <iostream>
#include <string>

#include "host/cli/commands.h"
#include "host/cli/escaped_errors.h"
#include "host/document/chunked_array.h"
#include "host/io/temporary_files.h"
#include "host/session/desktop_entry.h"
#include "host/session/plugin_scan.h"

#if QX_HAVE_GUI
#include "host/gui/gui_app.h"
#endif

namespace {

// A program built with the tests takes their injected faults: the process
// tests make the art store's nth chunk fail, as on a machine out of memory.
void armTestFaults() {
#if defined(QX_TEST_HOOKS)
  if (const char* nth = std::getenv("QUELVIX_TEST_FAIL_CHUNK"))
    qx::host::chunk_pool::failNthTake(std::strtoull(nth, nullptr, 10));
#endif
}

}  // namespace

int main(int argc, char** argv) {
  armTestFaults();
  qx::cli::escapeControlBytesOnStandardError();
  // Interrupted, stopped or hung up, a run leaves no temporary file behind.
  qx::host::removeTemporariesOnSignals();
#if QX_HAVE_GUI
  qx::host::setDesktopEntry(qx::gui::desktopEntry());
#endif
  if (argc == 1 && qx::cli::guiAvailable()) return qx::cli::runGuiDefault(argc, argv);

  CLI::App app{"quelvix: generative lattice art from the Quelvix filter plug-in"};
  app.require_subcommand(1);
  int status = qx::cli::kExitOk;
  qx::cli::addInfoCommand(app, status);
  qx::cli::addAboutCommand(app, status);
  qx::cli::addRenderCommand(app, status);
  qx::cli::addExportCommand(app, status);
  qx::cli::addPlotCommand(app, status);
  qx::cli::addGuiCommand(app, status);
  qx::cli::addValidateCommand(app, status);
  qx::cli::addScanCommand(app, status);
  // Plug-ins are scanned in a child process of this program before they are
  // loaded here (the scan mode itself loads directly).
  qx::host::setPluginScanProgram("/proc/self/exe");
  app.set_version_flag(
      "--version", [] { return qx::cli::versionText(); }, "Show the versions of quelvix and its plug-ins");
  // A first option the program does not have is named with those it has.
  if (argc > 1 && argv[1][0] == '-') {
    const std::string option = std::string(argv[1]).substr(0, std::string(argv[1]).find('='));
    bool known = false;
    for (const CLI::Option* o : app.get_options()) known = known || o->check_name(option);
    if (!known) {
      std::cerr << qx::cli::unexpectedArgument(app, argv[1]) << '\n';
      return qx::cli::kExitUsage;
    }
  }
  // A first word that is no command is named, with the commands there are.
  if (argc > 1 && argv[1][0] != '-') {
    bool known = false;
    std::string names;
    for (const CLI::App* command : app.get_subcommands({})) {
      known = known || command->get_name() == argv[1];
      if (command->get_group().empty()) continue;  // the scan mode is the host's own
      names += (names.empty() ? "" : ", ") + command->get_name();
    }
    if (!known) {
      std::cerr << "quelvix: unknown command \"" << argv[1] << "\"; the commands are " << names << '\n';
      return qx::cli::kExitUsage;
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ExtrasError&) {
    // Named with what the command takes instead: the innermost command
    // given, and its first argument that starts like an option.
    const CLI::App* command = &app;
    for (const CLI::App* sub : app.get_subcommands()) command = sub;
    const std::vector<std::string> extras = command->remaining();
    std::string shown = extras.empty() ? std::string() : extras.front();
    for (const std::string& extra : extras)
      if (extra.size() > 1 && extra[0] == '-') {
        shown = extra;
        break;
      }
    std::cerr << qx::cli::unexpectedArgument(*command, shown) << '\n';
    return qx::cli::kExitUsage;
  } catch (const CLI::ParseError& e) {
    // Help and version requests print and succeed; a bad command line gets
    // one line naming the problem.
    if (e.get_exit_code() == 0) return app.exit(e);
    std::cerr << "quelvix: " << e.what() << '\n';
    return qx::cli::kExitUsage;
  }
  return status;
}
