// The filter's settings record: 59 fields of 32 bits, kept by the host as the
// filter's parameter block between uses.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qx_sdk.h"

struct FilterParameters {
  int32_t randomShapeAngle;
  int32_t lockShapeStroke;
  int32_t lockShapeSize;
  int32_t lockLineWidth;
  int32_t lockPoints;
  int32_t randomCreateShapes;
  int32_t linesFillVisible;
  int32_t jitterX;
  int32_t jitterY;
  int32_t randomStart;
  int32_t splitLines;
  int32_t lockStep;
  int32_t randomOpacity;
  int32_t reservedWord;
  int32_t randomSetAngle;
  int32_t deleteLine;
  int32_t preview;
  QxReal viewZoom;
  QxReal shapeStrokeMin;
  QxReal shapeStrokeMax;
  QxReal lineWidthMin;
  QxReal lineWidthMax;
  QxReal stepX;
  QxReal stepY;
  QxReal minDistance;
  QxReal distanceFactorX;
  QxReal distanceFactorY;
  QxReal setAngle;
  QxReal shapeScale;
  QxReal shapeAngle;
  QxReal shapeSizeMin;
  QxReal shapeSizeMax;
  QxReal curvatureX;
  QxReal curvatureY;
  QxReal radiusFactor;
  int32_t shapeKind;
  int32_t lineStrokeMode;
  int32_t lineStrokeSwatch;
  int32_t lineStrokeSteps;
  int32_t lineSets;
  int32_t dialogPage;
  int32_t directionMode;
  int32_t pointsMin;
  int32_t pointsMax;
  int32_t presetIndex;
  int32_t tileMode;
  int32_t shapeStrokeMode;
  int32_t shapeStrokeSwatch;
  int32_t shapeStrokeSteps;
  int32_t shapeFillMode;
  int32_t shapeFillSwatch;
  int32_t shapeFillSteps;
  int32_t finalRun;
  int32_t previewDrawn;
  int32_t dialogBounds[4];  // left, top, right, bottom
  int32_t dialogBoundsValid;
};

static_assert(sizeof(FilterParameters) == 236, "the parameter block is 59 words");
static_assert(sizeof(QxReal) == 4 && alignof(FilterParameters) == 4, "fields are 32 bits");
static_assert(offsetof(FilterParameters, viewZoom) == 17 * 4, "field order");
static_assert(offsetof(FilterParameters, shapeKind) == 35 * 4, "field order");
static_assert(offsetof(FilterParameters, dialogBoundsValid) == 58 * 4, "field order");

// Write every field's default except reservedWord, finalRun and dialogBounds,
// which keep what the block held.
void SetDefaultParameters(FilterParameters& params);
