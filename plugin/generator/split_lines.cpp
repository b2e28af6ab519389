#include <cstring>

#include "generator/line_set.h"
#include "shell/suites.h"
#include "styling/color_modes.h"
#include "styling/random_draw.h"
#include "styling/step_point.h"

QxErr BuildSplitSet(const FilterParameters& params, RunValues& run, int32_t setIndex) {
  LineSetState set;
  std::memset(&set, 0, sizeof set);
  set.setIndex = setIndex;
  set.pointCount = DrawPointCount(params);
  // The colour steps across the pieces of this one set.
  set.lineColourPeriod = params.lineStrokeSteps != 0 ? params.lineStrokeSteps : set.pointCount - 1;
  DrawSetStepLengths(params, set);
  FixLineWidthRange(params, set);

  for (int32_t j = 0; j < set.pointCount; ++j) {
    QxArtHandle piece = nullptr;
    QxErr err = gArtSuite->NewArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &piece);
    if (err != 0) return err;
    gPathSuite->SetPathSegmentCount(piece, 0);

    // Later pieces start where the previous one ended.
    if (j == 0) DrawStartPoint(params, run, set);
    RecomputeHandles(params, set.current);
    err = WriteSegment(piece, 0, set.current);
    if (err != 0) return err;
    if (j == 0) gPathStyleSuite->GetPathStyle(piece, &run.lineTemplate);

    set.current = StepPoint(params.directionMode, j, set.stepLengthX, set.stepLengthY, params.lockStep != 0,
                            params.minDistance, set.current);
    RecomputeHandles(params, set.current);
    err = WriteSegment(piece, 1, set.current);
    if (err != 0) return err;
    err = RotateWithSet(piece, set);
    if (err != 0) return err;

    QxPathStyle style = run.lineTemplate;
    if (!params.linesFillVisible) style.fillPaint = 0;
    gPathStyleSuite->SetPathStyle(piece, &style);
    ApplyStrokeColorMode(params.lineStrokeMode, run.lineTemplate, piece, run.swatchCount, params.lineStrokeSwatch,
                         set.lineColourPeriod / 2, j, set.lineColourPeriod);
    DrawStrokeWidth(piece, set.lineWidthLow, set.lineWidthHigh);
    UpdateStepLengths(params, set);
    if (params.randomOpacity) gBlendStyleSuite->SetOpacity(piece, DrawRandom());
  }
  return 0;
}
