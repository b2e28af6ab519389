// The "ADM" dialog suites: thin adapters from the C interface onto the
// dialog manager model (host/dialogs).
#include "host/suites/all_suites.h"

namespace qx::host {

void registerAdmDialogSuites(SuiteRegistry& registry) { (void)registry; }

}  // namespace qx::host
