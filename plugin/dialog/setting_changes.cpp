// Changes of the settings, the pages and the zoom.
#include "dialog/dialog_controls.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_reactions.h"
#include "generator/generate.h"
#include "shell/suites.h"
#include "styling/color_modes.h"

namespace {

// Controls that only matter for shapes; "Split lines (no shapes)" disables them.
constexpr int32_t kShapeControls[] = {21, 22, 37, 38, 49, 51, 34, 35, 39, 31, 28, 40, 43, 47, 48, 46, 50};

// Colour modes that use their swatch field: " To swatch", " Alternate swatch".
bool IsSwatchMode(int32_t mode) { return mode == kColorToSwatch || mode == kColorAlternateSwatch; }

// Colour modes that step toward a colour and use their steps field.
bool IsSteppedMode(int32_t mode) {
  switch (mode) {
    case kColorToWhite:
    case kColorToBlack:
    case kColorToWhiteMidpoint:
    case kColorToSwatch:
    case kColorToHalf:
    case kColorToInverted:
    case kColorToHalfInverted: return true;
    default: return false;
  }
}

void EnableItem(QxDialogRef dialog, int32_t id, bool enable) {
  if (QxItemRef item = DialogItem(dialog, id)) gAdmItemSuite->Enable(item, enable ? 1 : 0);
}

void ReadControlsIntoRecord(QxDialogRef dialog, FilterParameters& params) {
  for (size_t i = 0; i < kControlRowCount; ++i) {
    const ControlRow& row = kControlRows[i];
    if (FollowsRecord(row)) ReadField(DialogItem(dialog, row.id), row, params);
  }
}

void ApplyEnablingRules(QxDialogRef dialog, const FilterParameters& params) {
  const bool split = params.splitLines != 0;
  for (int32_t id : kShapeControls) EnableItem(dialog, id, !split);
  EnableItem(dialog, 11, params.lockStep == 0);
  EnableItem(dialog, 5, params.lockPoints == 0);
  EnableItem(dialog, 9, params.lockLineWidth == 0);
  // With split lines the second shape values stay disabled whatever their locks say.
  if (!split) EnableItem(dialog, 22, params.lockShapeSize == 0);
  if (!split) EnableItem(dialog, 35, params.lockShapeStroke == 0);
  EnableItem(dialog, 19, IsSwatchMode(params.lineStrokeMode));
  EnableItem(dialog, 20, IsSteppedMode(params.lineStrokeMode));
  EnableItem(dialog, 29, IsSwatchMode(params.shapeStrokeMode));
  EnableItem(dialog, 30, IsSteppedMode(params.shapeStrokeMode));
  EnableItem(dialog, 32, IsSwatchMode(params.shapeFillMode));
  EnableItem(dialog, 33, IsSteppedMode(params.shapeFillMode));
}

void DrawPreviewIfWanted(QxDialogRef dialog, FilterParameters& params) {
  ReadField(DialogItem(dialog, kPreviewBox), *FindControlRow(kPreviewBox), params);
  if (params.preview) {
    params.previewDrawn = 1;
    GenerateLattice(params);  // a failed preview is not reported; the dialog carries on
  } else {
    params.previewDrawn = 0;
  }
}

int32_t PageOfButton(int32_t id) {
  for (int32_t page = 1; page <= 4; ++page) {
    if (kPageButtons[page - 1] == id) return page;
  }
  return 0;
}

}  // namespace

void OnSettingChanged(QxItemRef item, QxNotifierRef notifier) {
  QxDialogRef dialog = ItemDialog(item);
  FilterParameters* params = DialogRecord(dialog);
  if (!params) return;
  params->finalRun = 0;
  gAdmItemSuite->DefaultNotify(item, notifier);
  ReadControlsIntoRecord(dialog, *params);
  ApplyEnablingRules(dialog, *params);
  DrawPreviewIfWanted(dialog, *params);
}

void OnPageButton(QxItemRef item, QxNotifierRef /*notifier*/) {
  QxDialogRef dialog = ItemDialog(item);
  FilterParameters* params = DialogRecord(dialog);
  if (!params) return;
  for (int32_t caption : kPageCaptions) {
    if (QxItemRef text = DialogItem(dialog, caption)) gAdmItemSuite->SetFont(text, QX_FONT_DEFAULT);
  }
  int32_t id = 0;
  if (gAdmItemSuite->GetID(item, &id) != 0) return;
  const int32_t page = PageOfButton(id);
  if (page == 0) return;
  params->dialogPage = page;
  if (QxItemRef caption = DialogItem(dialog, kPageCaptions[page - 1])) {
    gAdmItemSuite->SetFont(caption, QX_FONT_DIALOG_BOLD);
  }
  for (int32_t shownPage = 1; shownPage <= 4; ++shownPage) {
    for (size_t i = 0; i < kControlRowCount; ++i) {
      if (kControlRows[i].page != shownPage) continue;
      if (QxItemRef control = DialogItem(dialog, kControlRows[i].id)) {
        gAdmItemSuite->Show(control, shownPage == page ? 1 : 0);
      }
    }
  }
}

void OnZoomChanged(QxItemRef item, QxNotifierRef /*notifier*/) {
  FilterParameters* params = DialogRecord(ItemDialog(item));
  if (!params) return;
  QxReal zoom = params->viewZoom;
  if (gAdmItemSuite->GetFloatValue(item, &zoom) == 0) params->viewZoom = zoom;
  QxDocumentViewRef view = nullptr;
  if (gDocumentViewSuite->GetNthDocumentView(0, &view) != 0 || !view) return;
  gDocumentViewSuite->SetDocumentViewZoom(view, params->viewZoom * 0.01f);
}
