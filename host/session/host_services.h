// The host's services as one unit: a registry holding every suite and the
// plug-in host that hands it to plug-ins, both installed in the process-wide
// host context for as long as this lives, with the current document's undo
// context opened and closed around every outermost message.
#pragma once

#include <memory>

#include "host/plugins/plugin_host.h"

namespace qx::host {

class SuiteRegistry;

class HostServices {
 public:
  HostServices();
  // Shuts down the plug-ins still started, then takes the registry and the
  // plug-in host out of the context (restoring what was there before).
  ~HostServices();
  HostServices(const HostServices&) = delete;
  HostServices& operator=(const HostServices&) = delete;

  PluginHost& plugins() { return *plugins_; }
  SuiteRegistry& registry() { return *registry_; }

 private:
  SuiteRegistry* savedSuites_;  // what the context held before
  PluginHost* savedPlugins_;
  std::unique_ptr<SuiteRegistry> registry_;
  std::unique_ptr<PluginHost> plugins_;
};

}  // namespace qx::host
