// Stand-in until the full dialog lands: gathers the selection and draws one
// preview when "Preview" is on.
#include "dialog/settings_dialog.h"

#include "filter/parameters.h"
#include "filter/selection.h"
#include "generator/generate.h"
#include "shell/globals.h"
#include "shell/suites.h"

QxErr InitSettingsDialog(QxDialogRef dialog) {
  QxUserData data = nullptr;
  gAdmDialogSuite->GetUserData(dialog, &data);
  FilterParameters* params = static_cast<FilterParameters*>(data);
  if (gGlobals) gGlobals->selectionList = nullptr;
  GatherSelection();
  if (params && params->preview) {
    params->finalRun = 0;
    params->previewDrawn = 1;
    GenerateLattice(*params);
  }
  return 0;
}
