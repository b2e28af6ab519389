// Building the settings dialog: every control from the layout table, the
// popup lists, the selection, and the page the dialog was left on.
#include "dialog/settings_dialog.h"

#include "dialog/dialog_controls.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_reactions.h"
#include "filter/parameters.h"
#include "filter/selection.h"
#include "shell/globals.h"
#include "shell/suites.h"

namespace {

const char* ItemTypeName(ControlKind kind) {
  switch (kind) {
    case ControlKind::CheckBox: return QX_ITEM_TEXT_CHECK_BOX;
    case ControlKind::SpinEdit: return QX_ITEM_SPIN_EDIT;
    case ControlKind::PictureButton: return QX_ITEM_PICTURE_PUSH_BUTTON;
    case ControlKind::StaticText: return QX_ITEM_TEXT_STATIC;
    case ControlKind::Popup: return QX_ITEM_POPUP_LIST;
    case ControlKind::PushButton: return QX_ITEM_TEXT_PUSH_BUTTON;
  }
  return QX_ITEM_TEXT_STATIC;
}

void AttachReaction(QxItemRef item, Reaction reaction) {
  switch (reaction) {
    case Reaction::SettingChanged: gAdmItemSuite->SetNotifyProc(item, OnSettingChanged); break;
    case Reaction::PageButton: gAdmItemSuite->SetNotifyProc(item, OnPageButton); break;
    case Reaction::Zoom: gAdmItemSuite->SetNotifyProc(item, OnZoomChanged); break;
    case Reaction::Preset: gAdmItemSuite->SetNotifyProc(item, OnPresetChosen); break;
    case Reaction::Tumble: gAdmItemSuite->SetNotifyProc(item, OnTumble); break;
    case Reaction::Adjuster: gAdmItemSuite->SetTrackProc(item, TrackAdjuster); break;
    case Reaction::SettingChangedAfterFill:  // attached once the list is filled
    case Reaction::None: break;
  }
}

void SetLimits(QxItemRef item, const ControlRow& row, int32_t swatchCount) {
  const float max = row.max == kSwatchCountLimit ? static_cast<float>(swatchCount) : row.max;
  if (row.value == ValueKind::Int) {
    gAdmItemSuite->SetMinIntValue(item, static_cast<int32_t>(row.min));
    gAdmItemSuite->SetMaxIntValue(item, static_cast<int32_t>(max));
  } else {
    gAdmItemSuite->SetMinFloatValue(item, row.min);
    gAdmItemSuite->SetMaxFloatValue(item, max);
  }
  gAdmItemSuite->SetPrecision(item, row.decimals);
}

void CreateControl(QxDialogRef dialog, const ControlRow& row, const FilterParameters& params, int32_t swatchCount) {
  QxItemRef item = nullptr;
  if (gAdmDialogSuite->CreateItem(dialog, row.id, ItemTypeName(row.kind), &row.bounds, &item) != 0 || !item) {
    return;
  }
  if (row.kind == ControlKind::SpinEdit) SetLimits(item, row, swatchCount);
  if (row.value != ValueKind::Entry) ShowField(item, row, params);  // popups: once filled
  if (row.label) gAdmItemSuite->SetText(item, row.label);
  AttachReaction(item, row.reaction);
  if (row.page >= 2) gAdmItemSuite->Show(item, 0);
}

void FillPopup(QxDialogRef dialog, const ControlRow& row, const FilterParameters& params) {
  QxItemRef item = DialogItem(dialog, row.id);
  QxListRef list = nullptr;
  if (!item || gAdmItemSuite->GetList(item, &list) != 0 || !list) return;
  int32_t count = 0;
  const char* const* texts = PopupEntries(row.list, &count);
  for (int32_t i = 0; i < count; ++i) {
    QxEntryRef entry = nullptr;
    if (gAdmListSuite->InsertEntry(list, i, &entry) != 0 || !entry) continue;
    gAdmEntrySuite->SetID(entry, i);
    gAdmEntrySuite->SetText(entry, texts[i]);
  }
  ShowField(item, row, params);
  if (row.reaction == Reaction::SettingChangedAfterFill) gAdmItemSuite->SetNotifyProc(item, OnSettingChanged);
}

// Remembers where the dialog was; Cancel restores the whole record
// afterwards, so only a confirmed dialog keeps it.
void RememberDialogBounds(QxDialogRef dialog) {
  FilterParameters* params = DialogRecord(dialog);
  QxRect bounds{};
  if (!params || gAdmDialogSuite->GetBoundsRect(dialog, &bounds) != 0) return;
  params->dialogBounds[0] = bounds.left;
  params->dialogBounds[1] = bounds.top;
  params->dialogBounds[2] = bounds.right;
  params->dialogBounds[3] = bounds.bottom;
  params->dialogBoundsValid = 1;
}

}  // namespace

QxErr InitSettingsDialog(QxDialogRef dialog) {
  FilterParameters* params = DialogRecord(dialog);
  if (!params) return QX_ERR_BAD_PARAM;
  gAdmDialogSuite->SetDestroyProc(dialog, RememberDialogBounds);

  if (params->dialogBoundsValid) {
    const QxRect bounds{params->dialogBounds[0], params->dialogBounds[1], params->dialogBounds[2],
                        params->dialogBounds[3]};
    gAdmDialogSuite->SetBoundsRect(dialog, &bounds);
  }
  int32_t swatchCount = 0;
  gSwatchListSuite->CountSwatches(nullptr, &swatchCount);
  gAdmDialogSuite->Size(dialog, kDialogWidth, kDialogHeight);

  for (size_t i = 0; i < kControlRowCount; ++i) CreateControl(dialog, kControlRows[i], *params, swatchCount);
  for (size_t i = 0; i < kPopupFillOrderCount; ++i) {
    if (const ControlRow* row = FindControlRow(kPopupFillOrder[i])) FillPopup(dialog, *row, *params);
  }

  // A list left over from a cancelled dialog is given back before a new one
  // is gathered; a failed gathering still opens the dialog, with no selection.
  if (gGlobals) ReleaseSelection();
  GatherSelection();

  // The first notification reads every control into the record and draws the
  // first preview; the second shows the page.
  HandOverToChangeReaction(dialog, *params);
  return 0;
}
