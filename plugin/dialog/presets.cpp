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

// The values each preset changes on the base, by its position in the popup;
// several presets extend another one.

void Write30ptCircles(FilterParameters& p) {
  p.shapeSizeMin = 30;
  p.shapeSizeMax = 30;
}

void Write30To60ptSquares(FilterParameters& p) {
  p.shapeSizeMin = 30;
  p.shapeSizeMax = 60;
  p.shapeKind = kShapeSquares;
}

void WriteSquaresVariableStroke(FilterParameters& p) {
  Write30To60ptSquares(p);
  p.shapeStrokeMin = 2;
  p.shapeStrokeMax = 20;
}

void WriteAngledLattice(FilterParameters& p) {
  p.directionMode = kDirectionAlternateAngled;
  p.pointsMin = 200;
  p.pointsMax = 200;
  p.stepX = 20;
  p.stepY = 20;
}

void WriteAngledLatticeMultiSets(FilterParameters& p) {
  WriteAngledLattice(p);
  p.lineSets = 3;
  p.lineStrokeMode = kColorRandomColors;
}

void WriteVariableWidthLines(FilterParameters& p) {
  p.lineWidthMin = 1;
  p.lineWidthMax = 30;
  p.splitLines = 1;
}

void WriteVariableWidthLinesRandomStroke(FilterParameters& p) {
  WriteVariableWidthLines(p);
  p.lineStrokeMode = kColorRandomColors;
}

void WriteShrinkingCircles(FilterParameters& p) {
  p.radiusFactor = 99;
  p.shapeSizeMin = 40;
  p.shapeSizeMax = 40;
}

void WriteRandomColorCircles(FilterParameters& p) {
  p.shapeFillMode = kColorRandomColors;
  p.shapeSizeMin = 40;
  p.shapeSizeMax = 40;
}

void WriteRandomSwatchCirclesTile(FilterParameters& p) {
  p.shapeFillMode = kColorRandomSwatches;
  p.shapeSizeMin = 40;
  p.shapeSizeMax = 40;
  p.tileMode = kTileCentreOfDocument;
}

void WriteRandomSwatchStarsTile(FilterParameters& p) {
  WriteRandomSwatchCirclesTile(p);
  p.shapeKind = kShapeStars1;
}

void WriteRandomStartMultiSet(FilterParameters& p) {
  p.lineSets = 5;
  p.pointsMin = 2;
  p.pointsMax = 100;
  p.lineWidthMin = 2;
  p.lineWidthMax = 8;
  p.randomStart = 1;
}

void WriteRandomStartRandomAngle(FilterParameters& p) {
  WriteRandomStartMultiSet(p);
  p.lineSets = 15;
  p.setAngle = 360;
  p.randomSetAngle = 1;
}

void WriteFilled(FilterParameters& p) {
  p.lineWidthMin = 2;
  p.lineWidthMax = 12;
  p.linesFillVisible = 1;
}

void WriteNoLattice(FilterParameters& p) {
  p.shapeSizeMin = 20;
  p.shapeSizeMax = 40;
  p.shapeKind = kShapeCircles;
  p.deleteLine = 1;
}

// By position: 0, " Reset", is the base alone.
void (*const kPresetWriters[])(FilterParameters&) = {
    nullptr,                              // " Reset"
    Write30ptCircles,                     // " 30pt Circles"
    Write30To60ptSquares,                 // " 30-60pt Squares"
    WriteSquaresVariableStroke,           // " 30-60pt Squares, variable stroke width"
    WriteAngledLattice,                   // " 200 Angled lattice"
    WriteAngledLatticeMultiSets,          // " 200 Angled lattice / multi-sets randomized"
    WriteVariableWidthLines,              // " Variable width discreet lines"
    WriteVariableWidthLinesRandomStroke,  // " Variable width discreet lines / random stroke"
    WriteShrinkingCircles,                // " Shrinking circles"
    WriteRandomColorCircles,              // " Random color filled circles"
    WriteRandomSwatchCirclesTile,         // " Random swatches filled circles / tile"
    WriteRandomSwatchStarsTile,           // " Random swatches filled stars / tile"
    WriteRandomStartMultiSet,             // " Random start / multi-set"
    WriteRandomStartRandomAngle,          // " Random start / multi-set / random angle"
    WriteFilled,                          // " Filled"
    WriteNoLattice,                       // " No lattice"
};

// The values that differ from the base; an unknown position changes none.
void WritePresetValues(FilterParameters& p, int32_t position) {
  const int32_t count = static_cast<int32_t>(sizeof kPresetWriters / sizeof kPresetWriters[0]);
  if (position <= 0 || position >= count) return;
  kPresetWriters[position](p);
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
