#include "host/suites/all_suites.h"

namespace qx::host {

void registerAllSuites(SuiteRegistry& registry) {
  registerCoreSuites(registry);
  registerFilterMenuSuites(registry);
  registerArtSuites(registry);
  registerGeometrySuites(registry);
  registerDocumentSuites(registry);
  registerAdmBasicSuite(registry);
  registerAdmDialogSuites(registry);
}

}  // namespace qx::host
