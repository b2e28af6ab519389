#include "filter/filter_run.h"

#include <cstring>

#include "dialog/settings_dialog.h"
#include "filter/parameters.h"
#include "filter/selection.h"
#include "generator/generate.h"
#include "shell/globals.h"
#include "shell/suites.h"

namespace {

constexpr int32_t kSettingsDialogId = 16100;
constexpr int32_t kDialogConfirmed = QX_DIALOG_ITEM_DEFAULT;

bool IsOurFilter(QxFilterHandle filter) {
  return gGlobals != nullptr && gGlobals->filterCount > 0 && filter == gGlobals->filterHandles[0];
}

// The record behind the message's parameter handle, or null when there is no
// block or it is too small to hold one (never read past its end).
FilterParameters* RecordOf(const QxFilterMessage* message, QxErr* err) {
  *err = 0;
  if (message->parameters == nullptr || *message->parameters == nullptr) return nullptr;
  size_t size = 0;
  *err = gMemorySuite->MdMemoryGetSize(message->parameters, &size);
  if (*err != 0) return nullptr;
  if (size < sizeof(FilterParameters)) {
    *err = QX_ERR_BAD_PARAM;
    return nullptr;
  }
  return static_cast<FilterParameters*>(*message->parameters);
}

QxErr CreateParameterBlock(QxFilterMessage* message) {
  QxErr err = gMemorySuite->MdMemoryNewHandle(sizeof(FilterParameters), &message->parameters);
  if (err != 0) return err;
  if (message->parameters == nullptr || *message->parameters == nullptr) return QX_ERR_NO_MEMORY_BLOCK;
  SetDefaultParameters(*static_cast<FilterParameters*>(*message->parameters));
  return 0;
}

// Take back the dialog's preview and every edit it made to the record.
QxErr RestoreRecord(FilterParameters* record, const FilterParameters& saved) {
  QxErr err = gUndoSuite->UndoChanges();
  if (err != 0) return err;
  std::memcpy(record, &saved, sizeof saved);
  record->previewDrawn = 0;
  return 0;
}

}  // namespace

QxErr GetFilterParameters(QxFilterMessage* message) {
  // Only one filter is registered; a host naming another one has confused its
  // filters, and a visible "bad parameter" says so better than a silent cancel.
  if (!IsOurFilter(message->filter)) return QX_ERR_BAD_PARAM;

  if (message->parameters == nullptr) {
    QxErr err = CreateParameterBlock(message);
    if (err != 0) return err;
  }
  QxErr err = 0;
  FilterParameters* record = RecordOf(message, &err);
  if (record == nullptr) return err != 0 ? err : QX_ERR_NO_MEMORY_BLOCK;

  FilterParameters saved;
  std::memcpy(&saved, record, sizeof saved);

  int32_t itemHit = 0;
  err = gAdmDialogSuite->Modal(message->d.self, "Quelvix", kSettingsDialogId, QX_DIALOG_MODAL, InitSettingsDialog,
                               record, &itemHit);
  if (err != 0) {
    // The dialog could not run to its end: leave the document and the record
    // as they were before it opened, and report why.
    RestoreRecord(record, saved);
    return err;
  }
  if (itemHit == kDialogConfirmed) return 0;

  err = RestoreRecord(record, saved);
  if (err != 0) return err;
  return QX_ERR_STOP;
}

QxErr GoFilter(QxFilterMessage* message) {
  // Without a usable parameter block there is nothing to draw from; the
  // document is left as it is.
  QxErr err = 0;
  FilterParameters* record = RecordOf(message, &err);
  if (record == nullptr) return 0;

  record->finalRun = 1;
  if (GenerateLattice(*record) == 0) ReleaseSelection();
  return 0;
}
