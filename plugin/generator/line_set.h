// The generator's working state and the pieces its two layouts share.
#pragma once

#include <cstdint>

#include "filter/parameters.h"
#include "qx_sdk.h"

// Fixed once per run and shared by all sets.
struct RunValues {
  QxReal pageWidth;
  QxReal pageHeight;
  QxArtHandle firstSelected;  // the art the "Selected" kind copies; null without a selection
  int32_t swatchCount;
  QxPathStyle lineTemplate;  // the style a new path gets; the split layout rereads it per set
  QxPathStyle shapeTemplate;
};

// One line set's working state; nothing of it outlives the set.
struct LineSetState {
  int32_t setIndex;
  int32_t pointCount;
  int32_t lineColourPeriod;
  int32_t shapeFillPeriod;
  int32_t shapeStrokePeriod;
  QxReal stepLengthX;
  QxReal stepLengthY;
  QxReal setRotation;  // radians, about pivot
  QxRealPoint pivot;
  QxPathSegment current;
  QxReal lineWidthLow;
  QxReal lineWidthHigh;
};

// ---- Per-set values (set_values.cpp), in the order a set draws them ----

// trunc(r x (max - min) + min) over the locked and ordered points range.
int32_t DrawPointCount(const FilterParameters& params);
// Step lengths, set rotation (one draw with "[R] Angle"), the once-per-set
// scaling of direction mode 2 (two draws), the lock and the minimum distance.
void DrawSetStepLengths(const FilterParameters& params, LineSetState& set);
// The line width range after lock and swap; draws nothing.
void FixLineWidthRange(const FilterParameters& params, LineSetState& set);
// The set's start point (two draws with "Start [R]", else the origin) into
// the anchor of `current`, with its handles; pivot is the start point.
void DrawStartPoint(const FilterParameters& params, const RunValues& run, LineSetState& set);
// Both handles of `current` from its anchor and the curvature vector.
void RecomputeHandles(const FilterParameters& params, QxPathSegment& segment);
// Scale both step lengths by the distance factors, then clamp to the minimum distance.
void UpdateStepLengths(const FilterParameters& params, LineSetState& set);

// ---- Helpers on the set's art ----

// Rotate `art` about the set's pivot by its rotation. 0 or the transform's code.
QxErr RotateWithSet(QxArtHandle art, const LineSetState& set);
// A stroke width drawn over [low, high), never below 0, written into the art's style.
void DrawStrokeWidth(QxArtHandle art, QxReal low, QxReal high);
// Write `segment` at `index` of `path`. 0 or the host's code; an index a path
// cannot hold (past 32767) is refused with QX_ERR_BAD_PARAM without a call.
QxErr WriteSegment(QxArtHandle path, int32_t index, const QxPathSegment& segment);

// ---- The layouts ----

// One set as a continuous open path with a shape at every point.
QxErr BuildContinuousSet(const FilterParameters& params, RunValues& run, int32_t setIndex);
// One set as a chain of separate two-point paths, no shapes.
QxErr BuildSplitSet(const FilterParameters& params, RunValues& run, int32_t setIndex);

// One shape at a lattice point with its styling, turns, scaling and tiles.
struct ShapePlacement {
  QxRealPoint point;
  int32_t position;   // colour position: 0 at the start point, i + 1 at step i
  int32_t stepIndex;  // parity source of the alternating kinds
  QxReal shapeSize;
  QxReal radiusMultiplier;
  bool startPoint;  // the start-point shape takes the whole template style first
};
QxErr PlaceShape(const FilterParameters& params, const RunValues& run, const LineSetState& set,
                 const ShapePlacement& placement);
