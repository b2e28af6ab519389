#include "host/cli/plugin_session.h"

#include <filesystem>

#include "host/cli/commands.h"
#include "host/cli/render_request.h"

namespace qx::cli {

PluginSession::PluginSession(std::ostream& out, std::ostream& err, std::string command)
    : err_(err), command_(std::move(command)), runner_(out, err), session_(runner_) {}

void PluginSession::fail(const std::string& line) {
  err_ << command_ << ": " << line << '\n';
  failed_ = true;
}

int PluginSession::loadFolder(const std::string& folder) {
  const std::string dir = folder.empty() ? defaultPluginDir() : folder;
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    fail(dir + ": no such folder");
    return kExitUsage;
  }
  const std::vector<std::string> files = host::FilterSession::pluginFiles(dir);
  if (files.empty()) {
    fail(dir + ": no plug-in (*.aip) in the folder");
    return kExitFailure;
  }
  return loadFiles(files);
}

int PluginSession::loadFiles(const std::vector<std::string>& files) {
  std::vector<std::string> problems;
  session_.startPlugins(files, &problems);
  for (const std::string& problem : problems) fail(problem);
  return session_.started().empty() ? kExitFailure : kExitOk;
}

int PluginSession::finish() {
  std::vector<std::string> problems;
  session_.shutdownPlugins(&problems);
  for (const std::string& problem : problems) fail(problem);
  return failed_ ? kExitFailure : kExitOk;
}

}  // namespace qx::cli
