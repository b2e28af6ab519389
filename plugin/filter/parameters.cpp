#include "filter/parameters.h"

#include "styling/build_shape.h"
#include "styling/color_modes.h"
#include "styling/mirror_tile.h"
#include "styling/step_point.h"

void SetDefaultParameters(FilterParameters& p) {
  p.randomShapeAngle = 0;
  p.lockShapeStroke = 0;
  p.lockShapeSize = 0;
  p.lockLineWidth = 0;
  p.lockPoints = 0;
  p.randomCreateShapes = 0;
  p.linesFillVisible = 0;
  p.jitterX = 0;
  p.jitterY = 0;
  p.randomStart = 0;
  p.splitLines = 0;
  p.lockStep = 0;
  p.randomOpacity = 0;
  p.randomSetAngle = 0;
  p.deleteLine = 0;
  p.preview = 1;
  p.viewZoom = 100.0f;
  p.shapeStrokeMin = 12.0f;
  p.shapeStrokeMax = 12.0f;
  p.lineWidthMin = 12.0f;
  p.lineWidthMax = 12.0f;
  p.stepX = 70.0f;
  p.stepY = 70.0f;
  p.minDistance = 10.0f;
  p.distanceFactorX = 100.0f;
  p.distanceFactorY = 100.0f;
  p.setAngle = 0.0f;
  p.shapeScale = 100.0f;
  p.shapeAngle = 0.0f;
  p.shapeSizeMin = 0.0f;
  p.shapeSizeMax = 0.0f;
  p.curvatureX = 0.0f;
  p.curvatureY = 0.0f;
  p.radiusFactor = 100.0f;
  p.shapeKind = kShapeCircles;
  p.lineStrokeMode = kColorUseCurrent;
  p.lineStrokeSwatch = 2;
  p.lineStrokeSteps = 0;
  p.lineSets = 1;
  p.dialogPage = 1;
  p.directionMode = kDirectionEqual;
  p.pointsMin = 100;
  p.pointsMax = 100;
  p.presetIndex = 0;
  p.tileMode = kTileNone;
  p.shapeStrokeMode = kColorUseCurrent;
  p.shapeStrokeSwatch = 2;
  p.shapeStrokeSteps = 0;
  p.shapeFillMode = kColorUseCurrent;
  p.shapeFillSwatch = 2;
  p.shapeFillSteps = 0;
  p.previewDrawn = 0;
  p.dialogBoundsValid = 0;
}
