#include <cstring>

#include "generator/line_set.h"
#include "shell/suites.h"
#include "styling/art_transforms.h"
#include "styling/random_draw.h"
#include "styling/step_point.h"

namespace {

void ClampToMinimumDistance(const FilterParameters& params, LineSetState& set) {
  if (set.stepLengthX < params.minDistance) set.stepLengthX = params.minDistance;
  if (set.stepLengthY < params.minDistance) set.stepLengthY = params.minDistance;
}

}  // namespace

int32_t DrawPointCount(const FilterParameters& params) {
  QxReal low = static_cast<QxReal>(params.pointsMin);
  QxReal high = static_cast<QxReal>(params.pointsMax);
  if (params.lockPoints) high = low;
  if (high < low) {
    const QxReal t = low;
    low = high;
    high = t;
  }
  return TruncToInt(DrawRandom() * (high - low) + low);
}

void DrawSetStepLengths(const FilterParameters& params, LineSetState& set) {
  set.stepLengthX = params.stepX;
  set.stepLengthY = params.stepY;
  QxReal radians = 0.0f;
  gRealMathSuite->DegreeToRadian(params.setAngle, &radians);
  set.setRotation = params.randomSetAngle ? DrawRandom() * radians : radians;
  if (params.directionMode == kDirectionRandomPerSet) {
    set.stepLengthX = DrawRandom() * set.stepLengthX;
    set.stepLengthY = DrawRandom() * set.stepLengthY;
  }
  if (params.lockStep) set.stepLengthY = set.stepLengthX;
  ClampToMinimumDistance(params, set);
}

void FixLineWidthRange(const FilterParameters& params, LineSetState& set) {
  QxReal low = params.lineWidthMin;
  QxReal high = params.lockLineWidth ? low : params.lineWidthMax;
  if (high < low) {
    const QxReal t = low;
    low = high;
    high = t;
  }
  set.lineWidthLow = low;
  set.lineWidthHigh = high;
}

void DrawStartPoint(const FilterParameters& params, const RunValues& run, LineSetState& set) {
  QxRealPoint start = {0.0f, 0.0f};
  if (params.randomStart) {
    start.x = (DrawRandom() + 0.5f) * run.pageWidth;
    start.y = (DrawRandom() + 0.5f) * run.pageHeight;
  }
  set.pivot = start;
  set.current.p = start;
  set.current.corner = 0;
  RecomputeHandles(params, set.current);
}

void RecomputeHandles(const FilterParameters& params, QxPathSegment& segment) {
  segment.in.x = segment.p.x - params.curvatureX;
  segment.in.y = segment.p.y - params.curvatureY;
  segment.out.x = segment.p.x + params.curvatureX;
  segment.out.y = segment.p.y + params.curvatureY;
}

void UpdateStepLengths(const FilterParameters& params, LineSetState& set) {
  set.stepLengthX = set.stepLengthX * params.distanceFactorX / 100.0f;
  set.stepLengthY = set.stepLengthY * params.distanceFactorY / 100.0f;
  ClampToMinimumDistance(params, set);
}

QxErr RotateWithSet(QxArtHandle art, const LineSetState& set) {
  return RotateArtAbout(art, set.pivot, set.setRotation);
}

void DrawStrokeWidth(QxArtHandle art, QxReal low, QxReal high) {
  QxPathStyle style;
  std::memset(&style, 0, sizeof style);
  gPathStyleSuite->GetPathStyle(art, &style);
  QxReal width = DrawRandom() * (high - low) + low;
  if (width < 0.0f) width = 0.0f;
  style.stroke.width = width;
  gPathStyleSuite->SetPathStyle(art, &style);
}

QxErr WriteSegment(QxArtHandle path, int32_t index, const QxPathSegment& segment) {
  if (index < 0 || index > INT16_MAX) return QX_ERR_BAD_PARAM;
  return gPathSuite->SetPathSegments(path, static_cast<int16_t>(index), 1, &segment);
}
