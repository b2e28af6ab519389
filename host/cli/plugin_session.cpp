#include "host/cli/plugin_session.h"

#include <filesystem>

#include "host/cli/commands.h"
#include "host/cli/render_request.h"
#include "host/suites/host_context.h"

namespace qx::cli {

std::string describeCode(QxErr code) {
  const auto bits = static_cast<uint32_t>(code);
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((bits >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return std::to_string(code);
    text += c;
  }
  return text;
}

PluginSession::PluginSession(std::ostream& out, std::ostream& err, std::string command)
    : err_(err), command_(std::move(command)), runner_(out, err) {
  dialogs_.setRunner(&runner_);
  host::HostContext& context = host::hostContext();
  savedDialogs_ = context.dialogs;
  context.dialogs = &dialogs_;
  plugins_ = std::make_unique<host::PluginHost>(context);
}

PluginSession::~PluginSession() {
  finish();
  plugins_.reset();
  host::hostContext().dialogs = savedDialogs_;
}

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
  const std::vector<std::string> files = host::PluginHost::findPluginFiles(dir);
  if (files.empty()) {
    fail(dir + ": no plug-in (*.aip) in the folder");
    return kExitFailure;
  }
  for (const std::string& file : files) {
    std::string why;
    host::LoadedPlugin* plugin = plugins_->load(file, &why);
    if (!plugin) {
      fail(why);
      continue;
    }
    if (QxErr code = plugins_->startup(plugin)) fail(file + ": start-up failed with code " + describeCode(code));
    loaded_.push_back(plugin);
  }
  return loaded_.empty() ? kExitFailure : kExitOk;
}

int PluginSession::finish() {
  for (host::LoadedPlugin* plugin : loaded_) {
    if (QxErr code = plugins_->shutdown(plugin))
      fail(plugins_->path(plugin) + ": shut-down failed with code " + describeCode(code));
  }
  loaded_.clear();
  return failed_ ? kExitFailure : kExitOk;
}

}  // namespace qx::cli
