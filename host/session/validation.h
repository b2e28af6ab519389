// The validator's scenarios: ways a host can treat a plug-in that a careful
// plug-in must survive. Each runs on its own session in the calling process
// (the command line runs each in a child process, so a crash is a finding,
// not the end of the report) and says what it did and what went wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::host {

struct ValidationOptions {
  std::vector<std::string> pluginFiles;  // the libraries to validate
  int strictness = 3;                    // 1 (a quick look) to 10 (long and thorough)
  uint64_t seed = 1;                     // every random choice follows from it
};

struct ValidationCounts {
  uint64_t actions = 0;   // dialog actions applied
  uint64_t messages = 0;  // messages sent
  uint64_t faults = 0;    // host calls made to fail
  uint64_t runs = 0;      // generator runs asked for (Go)
};

struct ScenarioOutcome {
  ValidationCounts counts;
  std::vector<std::string> failures;  // one line each; empty when the scenario passed
};

struct Scenario {
  const char* name;
  ScenarioOutcome (*run)(const ValidationOptions& options);
};

// Load, start, shut down, unload and reload each library again and again.
ScenarioOutcome validateLoadCycles(const ValidationOptions& options);
// Every selector in random orders, messages nested inside host calls, and
// callers and selectors no plug-in knows.
ScenarioOutcome validateMessages(const ValidationOptions& options);
// Random dialog sessions: every control, values out of range, adjusters
// dragged off the page, pages, presets, Tumble, Shuffle, OK and Cancel.
ScenarioOutcome validateDialogSessions(const ValidationOptions& options);
// Each host call of a run made to fail in turn: the run answers the code
// (or, for a call it need not test, goes on), releases what it took and
// leaves nothing behind.
ScenarioOutcome validateFaults(const ValidationOptions& options);
// Parameter records with extreme fields sent straight to Go, under the art
// and work budgets.
ScenarioOutcome validateExtremeRecords(const ValidationOptions& options);

// The scenarios in the order they run.
const std::vector<Scenario>& validationScenarios();

}  // namespace qx::host
