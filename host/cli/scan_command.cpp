// `quelvix scan-plugin FILE`, run by the host itself in a child process:
// load one library, start it, list its filters, shut it down. A crash here
// ends only the child; the parent reads the answer from standard output.
#include <iostream>

#include "host/cli/commands.h"
#include "host/dialogs/scripted_runner.h"
#include "host/session/filter_session.h"
#include "host/session/plugin_scan.h"

namespace qx::cli {
namespace {

// The scan's answer as plain lines; tabs and line breaks in texts would
// break them, so they become spaces.
std::string field(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

int runScan(const std::string& file) {
  host::setPluginScanProgram("");                     // the child loads the library itself
  host::ScriptedRunner runner(std::cerr, std::cerr);  // standard output carries the answer alone
  host::FilterSession session(runner);
  std::vector<std::string> problems;
  const size_t started = session.startPlugins({file}, &problems);
  if (started == 0) {
    std::string why = problems.empty() ? "did not start" : problems.front();
    if (why.rfind(file + ": ", 0) == 0) why.erase(0, file.size() + 2);  // the parent names the file itself
    std::cout << "error\t" << field(why) << '\n';
    session.shutdownPlugins(&problems);
    return kExitFailure;
  }
  for (const host::RegisteredFilter& filter : session.plugins().filters())
    std::cout << "filter\t" << field(filter.category) << '\t' << field(filter.title) << '\t' << field(filter.name)
              << '\n';
  problems.clear();
  session.shutdownPlugins(&problems);
  if (!problems.empty()) {
    std::cout << "error\t" << field(problems.front()) << '\n';
    return kExitFailure;
  }
  std::cout << host::kScanOkLine << '\n' << std::flush;
  return kExitOk;
}

}  // namespace

void addScanCommand(CLI::App& app, int& status) {
  auto file = std::make_shared<std::string>();
  CLI::App* command = app.add_subcommand("scan-plugin", "");  // no description: left out of the help
  command->group("");
  command->add_option("file", *file)->required();
  command->callback([file, &status] { status = runScan(*file); });
}

}  // namespace qx::cli
