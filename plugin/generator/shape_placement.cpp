#include "generator/line_set.h"
#include "shell/suites.h"
#include "styling/art_transforms.h"
#include "styling/build_shape.h"
#include "styling/color_modes.h"
#include "styling/mirror_tile.h"
#include "styling/random_draw.h"

namespace {

// Turn the shape about its own centre by the shape angle (one draw with
// "[R] Angle (o)", made even when the angle is 0).
QxErr TurnAboutOwnCentre(const FilterParameters& params, QxArtHandle shape) {
  QxReal angle = 0.0f;
  gRealMathSuite->DegreeToRadian(params.shapeAngle, &angle);
  if (params.randomShapeAngle) angle = DrawRandom() * angle;
  if (!(angle > 0.0f)) return 0;
  QxRealPoint c = {0.0f, 0.0f};
  QxErr err = ArtCentre(shape, &c);
  if (err != 0) return err;
  return RotateArtAbout(shape, c, angle);
}

// Scale about the centre of the already turned shape; at 100 % the transform
// is still applied.
QxErr ScaleAboutOwnCentre(const FilterParameters& params, QxArtHandle shape) {
  const QxReal s = params.shapeScale / 100.0f;
  if (!(s > 0.0f)) return 0;
  QxRealPoint c = {0.0f, 0.0f};
  QxErr err = ArtCentre(shape, &c);
  if (err != 0) return err;
  return ScaleArtAbout(shape, c, s, s);
}

}  // namespace

QxErr PlaceShape(const FilterParameters& params, const RunValues& run, const LineSetState& set,
                 const ShapePlacement& placement) {
  int32_t kind = params.shapeKind;
  // A kind the list does not offer places nothing and draws nothing.
  if (kind < kShapeCircles || kind > kShapeSelected) return 0;
  if (kind == kShapeRandomMix) kind = TruncToInt(DrawRandom() * static_cast<QxReal>(kShapeRandomMixKinds));

  QxArtHandle shape = nullptr;
  QxErr err = BuildShape(params, kind, placement.point.x, placement.point.y, placement.shapeSize,
                         placement.radiusMultiplier, placement.stepIndex, run.firstSelected, &shape);
  if (err != 0) return err;

  if (placement.startPoint) gPathStyleSuite->SetPathStyle(shape, &run.shapeTemplate);
  ApplyFillColorMode(params.shapeFillMode, run.shapeTemplate, shape, run.swatchCount, params.shapeFillSwatch,
                     set.shapeFillPeriod / 2, placement.position, set.shapeFillPeriod);
  ApplyStrokeColorMode(params.shapeStrokeMode, run.shapeTemplate, shape, run.swatchCount, params.shapeStrokeSwatch,
                       set.shapeStrokePeriod / 2, placement.position, set.shapeStrokePeriod);

  QxReal strokeLow = params.shapeStrokeMin;
  QxReal strokeHigh = params.lockShapeStroke ? strokeLow : params.shapeStrokeMax;
  if (strokeHigh < strokeLow) {
    const QxReal t = strokeLow;
    strokeLow = strokeHigh;
    strokeHigh = t;
  }
  DrawStrokeWidth(shape, strokeLow, strokeHigh);
  if (params.randomOpacity) gBlendStyleSuite->SetOpacity(shape, DrawRandom());

  // The set's turn comes first, so the own turn and the scaling work about
  // the centre of the turned shape.
  err = RotateWithSet(shape, set);
  if (err != 0) return err;
  err = TurnAboutOwnCentre(params, shape);
  if (err != 0) return err;
  err = ScaleAboutOwnCentre(params, shape);
  if (err != 0) return err;

  if (params.tileMode > kTileNone) MirrorTile(params.tileMode, shape, QX_PLACE_ABOVE_ALL, set.pivot.x, set.pivot.y);
  return 0;
}
