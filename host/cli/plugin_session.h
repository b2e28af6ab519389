// A short session with every plug-in of a folder, for the commands that only
// start plug-ins and ask them something (`info`, `about`): load and start
// them with a headless dialog front end, report failures as one-line errors,
// shut them down at the end.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/scripted_runner.h"
#include "host/plugins/plugin_host.h"
#include "qx_sdk.h"

namespace qx::cli {

// "STOP" for a four-character code of printable characters, else decimal.
std::string describeCode(QxErr code);

class PluginSession {
 public:
  // `command` prefixes every error line ("quelvix info").
  PluginSession(std::ostream& out, std::ostream& err, std::string command);
  ~PluginSession();  // shuts down what is still started, restores the host context
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  // Load and start every *.aip of `folder` (the default folder when empty).
  // 0 when at least one plug-in started; otherwise an exit status, the reason
  // already printed. Files that fail are reported and skipped.
  int loadFolder(const std::string& folder);
  host::PluginHost& plugins() { return *plugins_; }
  const std::vector<host::LoadedPlugin*>& loaded() const { return loaded_; }

  // Print "command: line" on the error stream; the session then fails.
  void fail(const std::string& line);
  // Shut every plug-in down: kExitOk, or kExitFailure after any failure.
  int finish();

 private:
  std::ostream& err_;
  std::string command_;
  host::DialogManager dialogs_;
  host::ScriptedRunner runner_;
  host::DialogManager* savedDialogs_;
  std::unique_ptr<host::PluginHost> plugins_;
  std::vector<host::LoadedPlugin*> loaded_;
  bool failed_ = false;
};

}  // namespace qx::cli
