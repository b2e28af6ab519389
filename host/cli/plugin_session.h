// A short session with every plug-in of a folder, for the commands that only
// start plug-ins and ask them something (`info`, `about`): the host's filter
// session with a headless dialog front end, failures reported as one-line
// errors, the plug-ins shut down at the end.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/dialogs/scripted_runner.h"
#include "host/plugins/plugin_host.h"
#include "host/session/filter_session.h"

namespace qx::cli {

using host::describeCode;

class PluginSession {
 public:
  // `command` prefixes every error line ("quelvix").
  PluginSession(std::ostream& out, std::ostream& err, std::string command);
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  // Load and start every *.aip of `folder` (the default folder when empty).
  // 0 when at least one plug-in loaded; otherwise an exit status, the reason
  // already printed. Files that fail are reported and skipped.
  int loadFolder(const std::string& folder);
  // The same for the given files.
  int loadFiles(const std::vector<std::string>& files);
  host::PluginHost& plugins() { return session_.plugins(); }
  const std::vector<host::LoadedPlugin*>& loaded() const { return session_.started(); }
  const std::vector<std::pair<std::string, host::ScanVerdict>>& scanVerdicts() const { return session_.scanVerdicts(); }

  // Print "command: line" on the error stream; the session then fails.
  void fail(const std::string& line);
  // Shut every plug-in down: kExitOk, or kExitFailure after any failure.
  int finish();

 private:
  std::ostream& err_;
  std::string command_;
  host::ScriptedRunner runner_;
  host::FilterSession session_;
  bool failed_ = false;
};

}  // namespace qx::cli
