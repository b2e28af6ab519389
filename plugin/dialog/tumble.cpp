// "Tumble": most settings back to a plain base, then a random choice of them
// varied. Every row of the walk costs one draw to decide it, and the values it
// writes draw further numbers in the order they are written.
#include "dialog/dialog_controls.h"
#include "dialog/dialog_reactions.h"
#include "shell/suites.h"
#include "styling/build_shape.h"
#include "styling/color_modes.h"
#include "styling/step_point.h"

namespace {

// One uniform draw in [0, 1); a draw the host cannot give reads as 0, which
// turns the remaining rows down.
float Draw() {
  QxReal r = 0;
  if (gRandomSuite->FloatRnd(&r) != 0) return 0.0f;
  return r;
}

// One draw that decides a row: it applies when r x 100 is above the threshold.
bool RowApplies(float threshold) { return Draw() * 100.0f > threshold; }

int32_t Trunc(float value) { return TruncToInt(value); }

// Leaves minDistance, the steps fields, tileMode, the five locks,
// randomShapeAngle, viewZoom, dialogPage and presetIndex as they are.
void WriteTumbleBase(FilterParameters& p) {
  p.preview = 1;
  p.directionMode = kDirectionEqual;
  p.lineWidthMin = 12.0f;
  p.lineWidthMax = 12.0f;
  p.stepX = 70.0f;
  p.stepY = 70.0f;
  p.setAngle = 0.0f;
  p.distanceFactorX = 100.0f;
  p.distanceFactorY = 100.0f;
  p.curvatureX = 0.0f;
  p.curvatureY = 0.0f;
  p.pointsMin = 100;
  p.pointsMax = 100;
  p.lineSets = 1;
  p.lineStrokeMode = kColorUseCurrent;
  p.lineStrokeSwatch = 2;
  p.shapeStrokeMode = kColorUseCurrent;
  p.shapeStrokeSwatch = 2;
  p.shapeFillMode = kColorUseCurrent;
  p.shapeFillSwatch = 2;
  p.shapeSizeMin = 0.0f;
  p.shapeSizeMax = 0.0f;
  p.shapeStrokeMin = 12.0f;
  p.shapeStrokeMax = 12.0f;
  p.jitterX = 0;
  p.jitterY = 0;
  p.shapeAngle = 0.0f;
  p.shapeScale = 100.0f;
  p.shapeKind = kShapeCircles;
  p.radiusFactor = 100.0f;
  p.randomCreateShapes = 0;
  p.randomSetAngle = 0;
  p.randomOpacity = 0;
  p.splitLines = 0;
  p.randomStart = 0;
  p.linesFillVisible = 0;
  p.deleteLine = 0;
  p.previewDrawn = 0;
}

// How many of each list a draw chooses among: every direction mode and shape
// kind, and the colour modes before kColorNone.
constexpr float kDirectionChoices = static_cast<float>(kDirectionModeCount);
constexpr float kShapeChoices = static_cast<float>(kShapeKindCount);
constexpr float kColorChoices = static_cast<float>(kColorNone);

// Colour modes are drawn from those before kColorNone, so Tumble never
// switches the colour off; points and line sets may come out below their spin
// edits' limits, which then decide what is read back.
void DrawTumbleChanges(FilterParameters& p, int32_t swatchCount) {
  if (RowApplies(50)) {
    p.lineWidthMin = Draw() * 20.0f;
    p.lineWidthMax = Draw() * 30.0f;
  }
  if (RowApplies(70)) p.directionMode = Trunc(Draw() * kDirectionChoices);
  if (RowApplies(50)) {
    p.stepX = Draw() * 100.0f;
    p.stepY = Draw() * 100.0f;
  }
  if (RowApplies(80)) p.setAngle = Draw() * 360.0f;
  if (RowApplies(95)) {
    p.distanceFactorX = 100.0f - Draw();
    p.distanceFactorY = 100.0f + Draw();
  }
  if (RowApplies(85)) {
    const float r1 = Draw();
    const float r2 = Draw();
    p.curvatureX = r1 * 10.0f - r2 * 10.0f;
    const float r3 = Draw();
    const float r4 = Draw();
    p.curvatureY = r3 * 10.0f - r4 * 10.0f;
  }
  if (RowApplies(60)) {
    p.pointsMin = Trunc(Draw() * 100.0f);
    p.pointsMax = Trunc(Draw() * 100.0f);
  }
  if (RowApplies(90)) p.lineSets = Trunc(Draw() * 5.0f);
  if (RowApplies(65)) {
    p.shapeSizeMin = Draw() * 20.0f;
    p.shapeSizeMax = Draw() * 70.0f;
  }
  if (RowApplies(50)) {
    p.shapeStrokeMin = Draw() * 10.0f;
    p.shapeStrokeMax = Draw() * 25.0f;
  }
  if (RowApplies(90)) p.jitterY = Trunc(Draw() * 10.0f);
  if (RowApplies(90)) p.jitterX = Trunc(Draw() * 10.0f);
  if (RowApplies(50)) p.shapeKind = Trunc(Draw() * kShapeChoices);
  if (RowApplies(70)) p.lineStrokeMode = Trunc(Draw() * kColorChoices);
  if (RowApplies(60)) p.shapeStrokeMode = Trunc(Draw() * kColorChoices);
  if (RowApplies(75)) p.shapeAngle = Draw() * 360.0f;
  if (RowApplies(95)) p.shapeScale = 20.0f + 80.0f * Draw();
  if (RowApplies(97)) p.randomCreateShapes = 1;
  if (RowApplies(95)) p.splitLines = 1;
  if (RowApplies(97)) p.randomSetAngle = 1;
  if (RowApplies(60)) p.shapeFillMode = Trunc(Draw() * kColorChoices);
  if (RowApplies(97)) {
    const float r1 = Draw();
    const float r2 = Draw();
    p.radiusFactor = (r1 + 100.0f) - r2;
  }
  if (RowApplies(97)) p.randomOpacity = 1;
  if (RowApplies(97)) p.randomStart = 1;
  if (RowApplies(97)) p.linesFillVisible = 1;
  if (RowApplies(97)) p.deleteLine = 1;
  const float swatches = static_cast<float>(swatchCount);
  if (RowApplies(94)) p.shapeStrokeSwatch = Trunc(Draw() * swatches);
  if (RowApplies(94)) p.lineStrokeSwatch = Trunc(Draw() * swatches);
  if (RowApplies(94)) p.shapeFillSwatch = Trunc(Draw() * swatches);
}

}  // namespace

void OnTumble(QxItemRef item, QxNotifierRef notifier) {
  QxDialogRef dialog = ItemDialog(item);
  FilterParameters* params = DialogRecord(dialog);
  if (!params) return;
  gAdmItemSuite->DefaultNotify(item, notifier);
  int32_t swatchCount = 0;
  gSwatchListSuite->CountSwatches(nullptr, &swatchCount);
  WriteTumbleBase(*params);
  DrawTumbleChanges(*params, swatchCount);
  PushRecordIntoControls(dialog, *params);
  HandOverToChangeReaction(dialog, *params);
}
