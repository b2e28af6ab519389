// `quelvix about`: each plug-in's about box, as text.
#include <iostream>
#include <string>

#include "host/cli/commands.h"
#include "host/cli/plugin_session.h"
#include "host/plugins/plugin_host.h"

namespace qx::cli {

namespace {

int runAbout(const std::string& folder) {
  PluginSession session(std::cout, std::cerr, "quelvix");
  if (int status = session.loadFolder(folder)) return status;
  for (host::LoadedPlugin* plugin : session.loaded()) {
    if (QxErr code = session.plugins().about(plugin))
      session.fail(session.plugins().path(plugin) + ": the about box failed with code " + describeCode(code));
  }
  return session.finish();
}

}  // namespace

void addAboutCommand(CLI::App& app, int& status) {
  auto* command = app.add_subcommand("about", "Show the about box of every plug-in in a folder");
  auto folder = std::make_shared<std::string>();
  command->add_option("--plugins", *folder, "Folder of plug-ins (default: plugins beside the program)");
  command->callback([folder, &status] { status = runAbout(*folder); });
}

}  // namespace qx::cli
