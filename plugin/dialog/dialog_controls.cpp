#include "dialog/dialog_controls.h"

#include <cmath>

#include "shell/suites.h"

FilterParameters* DialogRecord(QxDialogRef dialog) {
  QxUserData data = nullptr;
  if (!dialog || gAdmDialogSuite->GetUserData(dialog, &data) != 0) return nullptr;
  return static_cast<FilterParameters*>(data);
}

QxDialogRef ItemDialog(QxItemRef item) {
  QxDialogRef dialog = nullptr;
  if (!item || gAdmItemSuite->GetDialog(item, &dialog) != 0) return nullptr;
  return dialog;
}

QxItemRef DialogItem(QxDialogRef dialog, int32_t id) {
  QxItemRef item = nullptr;
  if (!dialog || gAdmDialogSuite->GetItem(dialog, id, &item) != 0) return nullptr;
  return item;
}

int32_t& IntField(FilterParameters& params, const ControlRow& row) {
  return *reinterpret_cast<int32_t*>(reinterpret_cast<char*>(&params) + row.field);
}

QxReal& RealField(FilterParameters& params, const ControlRow& row) {
  return *reinterpret_cast<QxReal*>(reinterpret_cast<char*>(&params) + row.field);
}

int32_t IntField(const FilterParameters& params, const ControlRow& row) {
  return *reinterpret_cast<const int32_t*>(reinterpret_cast<const char*>(&params) + row.field);
}

QxReal RealField(const FilterParameters& params, const ControlRow& row) {
  return *reinterpret_cast<const QxReal*>(reinterpret_cast<const char*>(&params) + row.field);
}

int32_t TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

bool FollowsRecord(const ControlRow& row) {
  if (row.value == ValueKind::None || row.id == kPreviewBox) return false;
  return row.reaction == Reaction::SettingChanged || row.reaction == Reaction::SettingChangedAfterFill;
}

void ShowField(QxItemRef item, const ControlRow& row, const FilterParameters& params) {
  if (!item) return;
  switch (row.value) {
    case ValueKind::Flag: gAdmItemSuite->SetBooleanValue(item, IntField(params, row) != 0); break;
    case ValueKind::Int: gAdmItemSuite->SetIntValue(item, IntField(params, row)); break;
    case ValueKind::Real: gAdmItemSuite->SetFloatValue(item, RealField(params, row)); break;
    case ValueKind::Jitter: gAdmItemSuite->SetFloatValue(item, static_cast<QxReal>(IntField(params, row))); break;
    case ValueKind::Entry: SelectEntryAt(item, IntField(params, row)); break;
    case ValueKind::None: break;
  }
}

void ReadField(QxItemRef item, const ControlRow& row, FilterParameters& params) {
  if (!item) return;
  switch (row.value) {
    case ValueKind::Flag: {
      QxBool on = 0;
      if (gAdmItemSuite->GetBooleanValue(item, &on) == 0) IntField(params, row) = on ? 1 : 0;
      break;
    }
    case ValueKind::Int: {
      int32_t value = 0;
      if (gAdmItemSuite->GetIntValue(item, &value) == 0) IntField(params, row) = value;
      break;
    }
    case ValueKind::Real: {
      QxReal value = 0;
      if (gAdmItemSuite->GetFloatValue(item, &value) == 0) RealField(params, row) = value;
      break;
    }
    case ValueKind::Jitter: {
      // Shown with decimals, stored whole: 2.9 becomes 2 and -2.7 becomes -2.
      QxReal value = 0;
      if (gAdmItemSuite->GetFloatValue(item, &value) == 0) IntField(params, row) = TruncToInt(value);
      break;
    }
    case ValueKind::Entry: {
      int32_t entryId = 0;
      if (ChosenEntryId(item, &entryId)) IntField(params, row) = entryId;
      break;
    }
    case ValueKind::None: break;
  }
}

void SelectEntryAt(QxItemRef popup, int32_t position) {
  QxListRef list = nullptr;
  if (gAdmItemSuite->GetList(popup, &list) != 0 || !list) return;
  QxEntryRef entry = nullptr;
  if (gAdmListSuite->IndexEntry(list, position, &entry) != 0 || !entry) return;
  gAdmEntrySuite->Select(entry, 1);
}

bool ChosenEntryId(QxItemRef popup, int32_t* entryId) {
  QxListRef list = nullptr;
  if (gAdmItemSuite->GetList(popup, &list) != 0 || !list) return false;
  QxEntryRef entry = nullptr;
  if (gAdmListSuite->GetActiveEntry(list, &entry) != 0 || !entry) return false;
  return gAdmEntrySuite->GetID(entry, entryId) == 0;
}

void PushRecordIntoControls(QxDialogRef dialog, const FilterParameters& params) {
  ShowField(DialogItem(dialog, kPreviewBox), *FindControlRow(kPreviewBox), params);
  for (size_t i = 0; i < kControlRowCount; ++i) {
    const ControlRow& row = kControlRows[i];
    if (FollowsRecord(row)) ShowField(DialogItem(dialog, row.id), row, params);
  }
}

void HandOverToChangeReaction(QxDialogRef dialog, const FilterParameters& params) {
  // Read the page first: the first notification runs the change reaction,
  // which rewrites the record, but never its page.
  const int32_t page = params.dialogPage;
  if (QxItemRef representative = DialogItem(dialog, PageRepresentative(page))) {
    gAdmItemSuite->Notify(representative, QX_NOTIFIER_USER_CHANGED);
  }
  if (QxItemRef button = DialogItem(dialog, PageButton(page))) {
    gAdmItemSuite->Notify(button, QX_NOTIFIER_USER_CHANGED);
  }
}
