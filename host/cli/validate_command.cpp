// `quelvix validate`: the validator a plug-in developer runs. Each scenario
// runs in a child process, so a plug-in that crashes or hangs is reported as
// a failure of that scenario and the others still run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "host/cli/commands.h"
#include "host/cli/render_request.h"
#include "host/session/filter_session.h"
#include "host/session/plugin_scan.h"
#include "host/session/validation.h"

namespace qx::cli {
namespace {

struct ValidateOptions {
  std::string plugins;
  int strictness = 3;
  std::string seed = "1";
};

// What a child reports, one line each: "counts A M F R", then "fail TEXT".
std::string encode(const host::ScenarioOutcome& outcome) {
  std::ostringstream out;
  out << "counts " << outcome.counts.actions << ' ' << outcome.counts.messages << ' ' << outcome.counts.faults << ' '
      << outcome.counts.runs << '\n';
  for (std::string line : outcome.failures) {
    for (char& c : line)
      if (c == '\n' || c == '\r') c = ' ';
    out << "fail " << line << '\n';
  }
  return out.str();
}

host::ScenarioOutcome decode(const std::string& text) {
  host::ScenarioOutcome outcome;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("counts ", 0) == 0) {
      std::istringstream counts(line.substr(7));
      counts >> outcome.counts.actions >> outcome.counts.messages >> outcome.counts.faults >> outcome.counts.runs;
    } else if (line.rfind("fail ", 0) == 0) {
      outcome.failures.push_back(line.substr(5));
    }
  }
  return outcome;
}

// Run one scenario in a child process and collect its outcome; a crash or a
// run past `seconds` is a failure of its own.
host::ScenarioOutcome runApart(const host::Scenario& scenario, const host::ValidationOptions& options,
                               unsigned seconds) {
  host::ScenarioOutcome outcome;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) {
    outcome.failures.push_back(std::string("cannot make a pipe: ") + std::strerror(errno));
    return outcome;
  }
  std::cout.flush();
  std::cerr.flush();
  const pid_t pid = ::fork();
  if (pid < 0) {
    outcome.failures.push_back(std::string("cannot start the scenario: ") + std::strerror(errno));
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return outcome;
  }
  if (pid == 0) {
    ::close(pipeFds[0]);
    ::alarm(seconds);
    const std::string report = encode(scenario.run(options));
    size_t done = 0;
    while (done < report.size()) {
      const ssize_t n = ::write(pipeFds[1], report.data() + done, report.size() - done);
      if (n <= 0 && errno != EINTR) break;
      if (n > 0) done += static_cast<size_t>(n);
    }
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  outcome = decode(text);
  if (WIFSIGNALED(status)) {
    const int sig = WTERMSIG(status);
    outcome.failures.push_back(sig == SIGALRM ? "did not finish within " + std::to_string(seconds) + " s"
                                              : "crashed (signal " + std::to_string(sig) + ", " +
                                                    std::string(::strsignal(sig)) + ")");
  } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    outcome.failures.push_back("ended with status " + std::to_string(WEXITSTATUS(status)));
  }
  return outcome;
}

int runValidate(const ValidateOptions& o) {
  const std::string dir = o.plugins.empty() ? defaultPluginDir() : o.plugins;
  auto seed = parseCount(o.seed, 0, UINT64_MAX);
  if (!seed) {
    std::cerr << "quelvix: --seed " << o.seed << ": expected a whole number from 0 to 18446744073709551615\n";
    return kExitUsage;
  }
  host::ValidationOptions options;
  options.strictness = o.strictness;
  options.seed = *seed;
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    std::cerr << "quelvix: " << dir << ": no such folder\n";
    return kExitUsage;
  }
  options.pluginFiles = host::FilterSession::pluginFiles(dir);
  if (options.pluginFiles.empty()) {
    std::cerr << "quelvix: " << dir << ": no plug-in (*.aip) in the folder\n";
    return kExitFailure;
  }

  std::cout << "quelvix validate: " << options.pluginFiles.size() << " plug-in(s) in " << dir << ", strictness "
            << options.strictness << ", seed " << options.seed << '\n';
  size_t failed = 0;
  // A library whose scan fails is reported and left out of the scenarios.
  if (const std::string& program = host::pluginScanProgram(); !program.empty()) {
    std::vector<std::string> sound;
    for (const std::string& file : options.pluginFiles) {
      const host::ScanVerdict verdict = host::scanPlugin(program, file);
      if (verdict.passed) {
        sound.push_back(file);
      } else {
        std::cout << "  scan " << file << ": FAILED: " << verdict.reason << '\n';
        ++failed;
      }
    }
    options.pluginFiles = sound;
    host::setPluginScanProgram("");  // the scenarios load what passed directly
  }
  host::ValidationCounts total;
  const unsigned seconds = 120 + 60 * static_cast<unsigned>(options.strictness);
  for (const host::Scenario& scenario : host::validationScenarios()) {
    if (options.pluginFiles.empty()) break;
    const host::ScenarioOutcome outcome = runApart(scenario, options, seconds);
    std::cout << "  " << scenario.name << ": " << (outcome.failures.empty() ? "passed" : "FAILED") << " ("
              << outcome.counts.messages << " messages, " << outcome.counts.actions << " actions, "
              << outcome.counts.faults << " faults, " << outcome.counts.runs << " runs)\n";
    for (const std::string& line : outcome.failures) std::cout << "    " << line << '\n';
    failed += !outcome.failures.empty();
    total.actions += outcome.counts.actions;
    total.messages += outcome.counts.messages;
    total.faults += outcome.counts.faults;
    total.runs += outcome.counts.runs;
  }
  std::cout << "quelvix validate: " << host::validationScenarios().size() << " scenarios, " << failed << " failed; "
            << total.messages << " messages, " << total.actions << " dialog actions, " << total.faults
            << " injected faults, " << total.runs << " runs\n";
  return failed == 0 ? kExitOk : kExitFailure;
}

}  // namespace

void addValidateCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<ValidateOptions>();
  CLI::App* command = app.add_subcommand(
      "validate", "Put the plug-ins of a folder through load cycles, random messages and dialog sessions, injected "
                  "host faults and extreme records, each scenario in a child process. Exit status 0 when all pass.");
  command->add_option("--plugins", options->plugins, "Folder of plug-ins (default: plugins beside the program)");
  command->add_option("--strictness", options->strictness, "How long and thorough, 1 to 10 (default 3)")
      ->check(CLI::Range(1, 10));
  command->add_option("--seed", options->seed, "Seed of the validator's random choices (default 1)");
  command->callback([options, &status] { status = runValidate(*options); });
}

}  // namespace qx::cli
