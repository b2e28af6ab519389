// The preset popup: every setting back to its default, then the chosen
// combination on top, so presets never accumulate.
#include "dialog/dialog_controls.h"
#include "dialog/dialog_reactions.h"
#include "shell/suites.h"
#include "styling/build_shape.h"
#include "styling/color_modes.h"
#include "styling/mirror_tile.h"
#include "styling/step_point.h"

namespace {

// Defaults for every setting; the zoom, the page and the remembered dialog
// bounds are the dialog's own and stay.
void WritePresetBase(FilterParameters& p) {
  const QxReal zoom = p.viewZoom;
  const int32_t page = p.dialogPage;
  const int32_t boundsValid = p.dialogBoundsValid;
  SetDefaultParameters(p);
  p.viewZoom = zoom;
  p.dialogPage = page;
  p.dialogBoundsValid = boundsValid;
  p.previewDrawn = 0;
}

// The values that differ from the base; several presets extend another one.
void WritePresetValues(FilterParameters& p, int32_t position) {
  switch (position) {
    case 1:  // " 30pt Circles"
      p.shapeSizeMin = 30;
      p.shapeSizeMax = 30;
      break;
    case 2:  // " 30-60pt Squares"
      p.shapeSizeMin = 30;
      p.shapeSizeMax = 60;
      p.shapeKind = kShapeSquares;
      break;
    case 3:  // " 30-60pt Squares, variable stroke width"
      WritePresetValues(p, 2);
      p.shapeStrokeMin = 2;
      p.shapeStrokeMax = 20;
      break;
    case 4:  // " 200 Angled lattice"
      p.directionMode = kDirectionAlternateAngled;
      p.pointsMin = 200;
      p.pointsMax = 200;
      p.stepX = 20;
      p.stepY = 20;
      break;
    case 5:  // " 200 Angled lattice / multi-sets randomized"
      WritePresetValues(p, 4);
      p.lineSets = 3;
      p.lineStrokeMode = kColorRandomColors;
      break;
    case 6:  // " Variable width discreet lines"
      p.lineWidthMin = 1;
      p.lineWidthMax = 30;
      p.splitLines = 1;
      break;
    case 7:  // " Variable width discreet lines / random stroke"
      WritePresetValues(p, 6);
      p.lineStrokeMode = kColorRandomColors;
      break;
    case 8:  // " Shrinking circles"
      p.radiusFactor = 99;
      p.shapeSizeMin = 40;
      p.shapeSizeMax = 40;
      break;
    case 9:  // " Random color filled circles"
      p.shapeFillMode = kColorRandomColors;
      p.shapeSizeMin = 40;
      p.shapeSizeMax = 40;
      break;
    case 10:  // " Random swatches filled circles / tile"
      p.shapeFillMode = kColorRandomSwatches;
      p.shapeSizeMin = 40;
      p.shapeSizeMax = 40;
      p.tileMode = kTileCentreOfDocument;
      break;
    case 11:  // " Random swatches filled stars / tile"
      WritePresetValues(p, 10);
      p.shapeKind = kShapeStars1;
      break;
    case 12:  // " Random start / multi-set"
      p.lineSets = 5;
      p.pointsMin = 2;
      p.pointsMax = 100;
      p.lineWidthMin = 2;
      p.lineWidthMax = 8;
      p.randomStart = 1;
      break;
    case 13:  // " Random start / multi-set / random angle"
      WritePresetValues(p, 12);
      p.lineSets = 15;
      p.setAngle = 360;
      p.randomSetAngle = 1;
      break;
    case 14:  // " Filled"
      p.lineWidthMin = 2;
      p.lineWidthMax = 12;
      p.linesFillVisible = 1;
      break;
    case 15:  // " No lattice"
      p.shapeSizeMin = 20;
      p.shapeSizeMax = 40;
      p.shapeKind = kShapeCircles;
      p.deleteLine = 1;
      break;
    default:  // 0, " Reset", and anything unknown: the base alone
      break;
  }
}

}  // namespace

void OnPresetChosen(QxItemRef item, QxNotifierRef notifier) {
  QxDialogRef dialog = ItemDialog(item);
  FilterParameters* params = DialogRecord(dialog);
  if (!params) return;
  gAdmItemSuite->DefaultNotify(item, notifier);
  int32_t chosen = 0;
  const bool hasChoice = ChosenEntryId(item, &chosen);
  const int32_t lastIndex = params->presetIndex;
  WritePresetBase(*params);
  // Without a chosen entry only the base is written and the last preset stays named.
  params->presetIndex = hasChoice ? chosen : lastIndex;
  if (hasChoice) WritePresetValues(*params, chosen);
  PushRecordIntoControls(dialog, *params);
  HandOverToChangeReaction(dialog, *params);
}
