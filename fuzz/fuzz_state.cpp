// A kept settings block (the input, cut or zero-padded to its size) handed to
// the real plug-in as its filter's parameter block, then run as a person runs
// the filter: Get Parameters with the settings dialog confirmed, then Go.
// Small art and draw budgets end every run quickly, whatever the record asks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/dialog_runner.h"
#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/plugins/plugin_host.h"
#include "host/session/host_services.h"
#include "host/session/state_file.h"
#include "host/suites/host_context.h"

namespace {

// Confirms every modal dialog as it opens.
class ConfirmingRunner : public qx::host::DialogRunner {
 public:
  int runModal(qx::host::Dialog&) override { return qx::host::kItemOk; }
  void alert(const std::string&) override {}
};

struct Host {
  qx::host::HostServices services;
  qx::host::DialogManager dialogs;
  ConfirmingRunner runner;
  qx::host::RegisteredFilter* filter = nullptr;
};
Host* g_host = nullptr;  // started once: loading the plug-in per input would dominate

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = new Host;
  g_host->dialogs.setRunner(&g_host->runner);
  qx::host::hostContext().dialogs = &g_host->dialogs;
  std::string error;
  qx::host::PluginHost& plugins = g_host->services.plugins();
  qx::host::LoadedPlugin* plugin = plugins.load(QX_PLUGIN_FILE, &error);
  if (plugin == nullptr || plugins.startup(plugin) != 0 || plugins.filters().empty()) {
    std::fprintf(stderr, "fuzz_state: cannot start %s: %s\n", QX_PLUGIN_FILE, error.c_str());
    std::exit(1);
  }
  g_host->filter = &plugins.filters().front();
  // Shut the plug-in down before the host's own statics go, so what it
  // holds is given back rather than reported as leaked.
  std::atexit([] {
    delete g_host;
    g_host = nullptr;
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> block(data, data + std::min(size, qx::host::kKeptBlockSize));
  block.resize(qx::host::kKeptBlockSize, 0);

  qx::host::Document document;
  document.art().setArtBudget(2'000);
  qx::host::RandomSource random(7);
  random.setDrawBudget(100'000);
  qx::host::HostContext& context = qx::host::hostContext();
  context.document = &document;
  context.random = &random;

  qx::host::PluginHost& plugins = g_host->services.plugins();
  if (plugins.setFilterParameters(*g_host->filter, block) == 0 &&
      plugins.sendFilter(*g_host->filter, "AI Get Parameters") == 0)
    plugins.sendFilter(*g_host->filter, "AI Go");

  context.document = nullptr;
  context.random = nullptr;
  return 0;
}
