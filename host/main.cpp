// The `quelvix` program: the command line, with the desktop app wired in
// when it is built.
#include <cstdio>

#include "host/cli/commands.h"
#include "host/session/desktop_entry.h"

#if QX_HAVE_GUI
#include "host/gui/gui_app.h"
#endif

int main(int argc, char** argv) {
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
  qx::cli::addGuiCommand(app, status);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version requests print and succeed; a bad command line gets
    // one line naming the problem.
    if (e.get_exit_code() == 0) return app.exit(e);
    std::fprintf(stderr, "quelvix: %s\n", e.what());
    return qx::cli::kExitUsage;
  }
  return status;
}
