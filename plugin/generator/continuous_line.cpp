#include <cstring>

#include "generator/line_set.h"
#include "shell/suites.h"
#include "styling/build_shape.h"
#include "styling/color_modes.h"
#include "styling/mirror_tile.h"
#include "styling/random_draw.h"
#include "styling/step_point.h"

namespace {

// Shapes hang on the line when a size can come out non-zero, or when the
// "Selected" kind has something to copy.
bool ShapesOn(const FilterParameters& params, const RunValues& run) {
  const bool sized = params.lockShapeSize ? params.shapeSizeMin != 0.0f
                                          : (params.shapeSizeMin != 0.0f || params.shapeSizeMax != 0.0f);
  return sized || (params.shapeKind == kShapeSelected && run.firstSelected != nullptr);
}

// After the walk: the line's opacity, turn, style, colour and width, then
// deletion or tiling.
QxErr FinishLine(const FilterParameters& params, const RunValues& run, const LineSetState& set, QxArtHandle line) {
  if (params.randomOpacity) gBlendStyleSuite->SetOpacity(line, DrawRandom());
  QxErr err = RotateWithSet(line, set);
  if (err != 0) return err;

  QxPathStyle style = run.lineTemplate;
  if (!params.linesFillVisible) style.fillPaint = 0;
  gPathStyleSuite->SetPathStyle(line, &style);
  ApplyStrokeColorMode(params.lineStrokeMode, run.lineTemplate, line, run.swatchCount, params.lineStrokeSwatch,
                       set.lineColourPeriod / 2, set.setIndex, set.lineColourPeriod);
  DrawStrokeWidth(line, set.lineWidthLow, set.lineWidthHigh);

  if (params.deleteLine) {
    gArtSuite->DisposeArt(line);
  } else if (params.tileMode > kTileNone) {
    // Mirrored lines go beneath everything, mirrored shapes above.
    MirrorTile(params.tileMode, line, QX_PLACE_BELOW_ALL, set.pivot.x, set.pivot.y);
  }
  return 0;
}

}  // namespace

QxErr BuildContinuousSet(const FilterParameters& params, RunValues& run, int32_t setIndex) {
  LineSetState set;
  std::memset(&set, 0, sizeof set);
  set.setIndex = setIndex;
  set.pointCount = DrawPointCount(params);
  // The line's colour steps across the sets, the shapes' along the set.
  set.lineColourPeriod = params.lineStrokeSteps != 0 ? params.lineStrokeSteps : params.lineSets - 1;
  set.shapeStrokePeriod = params.shapeStrokeSteps != 0 ? params.shapeStrokeSteps : set.pointCount;
  set.shapeFillPeriod = params.shapeFillSteps != 0 ? params.shapeFillSteps : set.pointCount;

  QxArtHandle line = nullptr;
  QxErr err = gArtSuite->NewArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &line);
  if (err != 0) return err;
  gPathSuite->SetPathSegmentCount(line, 0);
  if (setIndex == 0) {
    // Both templates are the style the host gives a new path.
    gPathStyleSuite->GetPathStyle(line, &run.lineTemplate);
    gPathStyleSuite->GetPathStyle(line, &run.shapeTemplate);
  }

  DrawSetStepLengths(params, set);
  DrawStartPoint(params, run, set);
  err = WriteSegment(line, 0, set.current);
  if (err != 0) return err;
  int32_t nextIndex = 1;
  QxReal radiusMultiplier = 1.0f;

  QxReal sizeLow = params.shapeSizeMin;
  QxReal sizeHigh = params.lockShapeSize ? sizeLow : params.shapeSizeMax;
  if (sizeHigh < sizeLow) {
    const QxReal t = sizeLow;
    sizeLow = sizeHigh;
    sizeHigh = t;
  }
  const QxReal sizeSpan = sizeHigh - sizeLow;
  QxReal shapeSize = DrawRandom() * sizeSpan + sizeLow;

  if (ShapesOn(params, run)) {
    if (shapeSize == 0.0f) shapeSize = 1.0f;
    if (shapeSize > 0.0f) {
      const ShapePlacement start = {set.current.p, 0, 0, shapeSize, 1.0f, true};
      err = PlaceShape(params, run, set, start);
      if (err != 0) return err;
    }
    radiusMultiplier = params.radiusFactor / 100.0f;
  }

  FixLineWidthRange(params, set);

  for (int32_t i = 0; i < set.pointCount; ++i) {
    set.current = StepPoint(params.directionMode, i, set.stepLengthX, set.stepLengthY, params.lockStep != 0,
                            params.minDistance, set.current);
    RecomputeHandles(params, set.current);
    err = WriteSegment(line, nextIndex, set.current);
    if (err != 0) return err;
    ++nextIndex;

    shapeSize = DrawRandom() * sizeSpan + sizeLow;
    // About half of the shapes are left out with "Create (shapes) [R]".
    if (params.randomCreateShapes && DrawRandom() * 10.0f > 5.0f) shapeSize = 0.0f;
    if (shapeSize > 0.0f || params.shapeKind == kShapeSelected) {
      const ShapePlacement step = {set.current.p, i + 1, i, shapeSize, radiusMultiplier, false};
      err = PlaceShape(params, run, set, step);
      if (err != 0) return err;
    }

    UpdateStepLengths(params, set);
    radiusMultiplier = radiusMultiplier * params.radiusFactor / 100.0f;
  }

  return FinishLine(params, run, set, line);
}
