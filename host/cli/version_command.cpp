// `quelvix --version`: the host's version and, for each plug-in of the
// default folder, the version its resources give. The libraries are read as
// files, never loaded, so a broken one cannot take the answer down.
#include <filesystem>
#include <iostream>

#include "host/cli/commands.h"
#include "host/cli/render_request.h"
#include "host/plugins/plugin_resources.h"
#include "host/session/filter_session.h"

#ifndef QX_HOST_VERSION
#define QX_HOST_VERSION "unknown"
#endif

namespace qx::cli {

std::string versionText() {
  std::string text = std::string("quelvix ") + QX_HOST_VERSION;
  const std::string folder = defaultPluginDir();
  for (const std::string& path : host::FilterSession::pluginFiles(folder)) {
    std::string why;
    const std::string name = std::filesystem::path(path).filename().string();
    auto resources = host::PluginResources::readFile(path, &why);
    auto version = resources ? resources->version() : std::nullopt;
    if (version) text += "\n" + name + " " + version->fileVersion;
    else text += "\n" + name + " (" + (resources ? std::string("no version record") : why) + ")";
  }
  return text;
}

}  // namespace qx::cli
