// The shape hung on a lattice point: circles, squares, rectangles, ovals,
// polygons, stars, their random and alternating variants, or a copy of the
// first selected object.
#pragma once

#include <cstdint>

#include "filter/parameters.h"
#include "qx_sdk.h"

// The entries of the shape popup, in order; the record's shapeKind holds one.
enum ShapeKind : int32_t {
  kShapeCircles = 0,
  kShapeSquares = 1,
  kShapeRectangles1 = 2,
  kShapeRectangles2 = 3,
  kShapeOvals1 = 4,
  kShapeOvals2 = 5,
  kShapePolygons1 = 6,
  kShapePolygons2 = 7,
  kShapePolygons3 = 8,
  kShapePolygons4 = 9,
  kShapePolygons5 = 10,
  kShapeStars1 = 11,
  kShapeStars2 = 12,
  kShapeStars3 = 13,
  kShapeStars4 = 14,
  kShapeStars5 = 15,
  kShapeStars6 = 16,
  kShapeRandomPolygon = 17,
  kShapeRandomStar = 18,
  kShapeRandomOvals1 = 19,
  kShapeRandomOvals2 = 20,
  kShapeRandomRectangles1 = 21,
  kShapeRandomRectangles2 = 22,
  kShapeAlternateCircleSquare = 23,
  kShapeAlternateCircle = 24,
  kShapeAlternateSquare = 25,
  kShapeRandomMix = 26,  // replaced by a drawn kind 0..24 before building
  kShapeSelected = 27,
};

// Kinds the popup offers, and kinds kShapeRandomMix draws from (kShapeCircles
// to kShapeAlternateCircle).
inline constexpr int32_t kShapeKindCount = kShapeSelected + 1;
inline constexpr int32_t kShapeRandomMixKinds = kShapeAlternateCircle + 1;

// Build a shape of `kind` of size shapeSize x radiusMultiplier centred on
// (x, y) moved by the record's jitter; kinds 23 to 25 alternate on the parity
// of `stepIndex`. Kind 27 copies `firstSelected` (a circle when it is null).
// Writes the new art to *shape (null for kinds outside 0..25 and 27, which
// draw nothing). Answers 0, the code of kind 27's bounds read or move (the
// copy stays), or the code of a construction that made no art.
QxErr BuildShape(const FilterParameters& params, int32_t kind, QxReal x, QxReal y, QxReal shapeSize,
                 QxReal radiusMultiplier, int32_t stepIndex, QxArtHandle firstSelected, QxArtHandle* shape);
