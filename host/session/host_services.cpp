#include "host/session/host_services.h"

#include "host/suites/all_suites.h"
#include "host/suites/host_context.h"
#include "host/suites/suite_registry.h"

namespace qx::host {

HostServices::HostServices()
    : savedSuites_(hostContext().suites),
      savedPlugins_(hostContext().plugins),
      registry_(std::make_unique<SuiteRegistry>()) {
  registerAllSuites(*registry_);
  plugins_ = std::make_unique<PluginHost>(basicSuite());
  plugins_->addObserver(&currentDocumentUndo());
  HostContext& context = hostContext();
  context.suites = registry_.get();
  context.plugins = plugins_.get();
}

HostServices::~HostServices() {
  // Plug-ins shut down while every suite is still reachable.
  plugins_.reset();
  HostContext& context = hostContext();
  context.suites = savedSuites_;
  context.plugins = savedPlugins_;
}

}  // namespace qx::host
