#include "styling/build_shape.h"

#include "shell/suites.h"
#include "styling/art_transforms.h"
#include "styling/random_draw.h"

namespace {

// Signs of the jitter, drawn before anything else a kind draws: y first.
struct JitterSigns {
  QxReal sy;
  QxReal sx;
};

JitterSigns DrawJitterSigns() {
  JitterSigns s;
  s.sy = RandomSign();
  s.sx = RandomSign();
  return s;
}

// The jittered centre: amounts drawn y first, then x.
QxRealPoint DrawJitteredCentre(const FilterParameters& params, JitterSigns s, QxReal x, QxReal y) {
  const QxReal ry = DrawRandom();
  const QxReal rx = DrawRandom();
  QxRealPoint c;
  c.x = x + s.sx * rx * static_cast<QxReal>(params.jitterX);
  c.y = y + s.sy * ry * static_cast<QxReal>(params.jitterY);
  return c;
}


// The host's constructions run counter-clockwise; none is reversed here.
constexpr QxBool kNotReversed = 0;

// A construction's result is not tested unless it made no art at all, in
// which case there is nothing to style and its code ends the run.
QxErr Finish(QxErr err, QxArtHandle art, QxArtHandle* shape) {
  *shape = art;
  return art == nullptr ? err : 0;
}

QxErr Oval(QxRealPoint c, QxReal height, QxReal width, QxArtHandle* shape) {
  QxArtHandle art = nullptr;
  QxErr err = gShapeConstructionSuite->NewOval(c.x, c.y, height, width, kNotReversed, &art);
  return Finish(err, art, shape);
}

QxErr Rect(QxRealPoint c, QxReal height, QxReal width, QxArtHandle* shape) {
  QxArtHandle art = nullptr;
  QxErr err = gShapeConstructionSuite->NewRect(c.x, c.y, height, width, kNotReversed, &art);
  return Finish(err, art, shape);
}

QxErr Polygon(int32_t sides, QxRealPoint c, QxReal radius, QxArtHandle* shape) {
  QxArtHandle art = nullptr;
  QxErr err = gShapeConstructionSuite->NewRegularPolygon(sides, c.x, c.y, radius, kNotReversed, &art);
  return Finish(err, art, shape);
}

QxErr Star(int32_t points, QxRealPoint c, QxReal radius1, QxReal radius2, QxArtHandle* shape) {
  QxArtHandle art = nullptr;
  QxErr err = gShapeConstructionSuite->NewStar(points, c.x, c.y, radius1, radius2, kNotReversed, &art);
  return Finish(err, art, shape);
}

// Kind 27 with a selection: a copy of the selected object moved so that its
// centre lands on the jittered lattice point; its own style and size stay.
QxErr CopySelected(const FilterParameters& params, QxArtHandle selected, QxReal x, QxReal y, QxArtHandle* shape) {
  QxArtHandle copy = nullptr;
  QxErr err = gArtSuite->DuplicateArt(selected, QX_PLACE_ABOVE_ALL, nullptr, &copy);
  *shape = copy;
  if (copy == nullptr) return err != 0 ? err : QX_ERR_BAD_PARAM;
  QxRealPoint centre = {0.0f, 0.0f};
  err = ArtCentre(copy, &centre);
  if (err != 0) return err;
  const JitterSigns signs = DrawJitterSigns();
  const QxRealPoint c = DrawJitteredCentre(params, signs, x, y);
  return TranslateArt(copy, c.x - centre.x, c.y - centre.y);
}

constexpr int32_t kPolygonSides[5] = {5, 6, 7, 8, 12};
constexpr int32_t kStarPoints[3] = {4, 5, 10};

}  // namespace

QxErr BuildShape(const FilterParameters& params, int32_t kind, QxReal x, QxReal y, QxReal shapeSize,
                 QxReal radiusMultiplier, int32_t stepIndex, QxArtHandle firstSelected, QxArtHandle* shape) {
  *shape = nullptr;
  const bool known = (kind >= kShapeCircles && kind <= kShapeAlternateSquare) || kind == kShapeSelected;
  if (!known) return 0;
  if (kind == kShapeSelected && firstSelected != nullptr) return CopySelected(params, firstSelected, x, y, shape);

  QxReal s = shapeSize * radiusMultiplier;
  // "Selected" without a selection falls back to a circle, 20 points across
  // when no size was drawn.
  if (kind == kShapeSelected) {
    if (shapeSize == 0.0f) s = 20.0f * radiusMultiplier;
    kind = kShapeCircles;
  }
  const bool even = stepIndex % 2 == 0;
  const JitterSigns signs = DrawJitterSigns();

  // The random dimension of kinds 19 to 22 is drawn before the jitter amounts.
  QxReal r = 0.0f;
  if (kind >= kShapeRandomOvals1 && kind <= kShapeRandomRectangles2) r = DrawRandom();
  const QxRealPoint c = DrawJitteredCentre(params, signs, x, y);

  switch (kind) {
    case kShapeCircles: return Oval(c, s, s, shape);
    case kShapeSquares: return Rect(c, s, s, shape);
    case kShapeRectangles1: return Rect(c, 2.0f * s, s, shape);
    case kShapeRectangles2: return Rect(c, s, 2.0f * s, shape);
    case kShapeOvals1: return Oval(c, 2.0f * s, s, shape);
    case kShapeOvals2: return Oval(c, s, 2.0f * s, shape);
    case kShapePolygons1:
    case kShapePolygons2:
    case kShapePolygons3:
    case kShapePolygons4:
    case kShapePolygons5: return Polygon(kPolygonSides[kind - kShapePolygons1], c, s, shape);
    case kShapeStars1:
    case kShapeStars2:
    case kShapeStars3: return Star(kStarPoints[kind - kShapeStars1], c, 0.5f * s, s, shape);
    case kShapeStars4:
    case kShapeStars5:
    case kShapeStars6: return Star(kStarPoints[kind - kShapeStars4], c, 0.2f * s, s, shape);
    case kShapeRandomPolygon: {
      const int32_t sides = 1 + TruncToInt(20.0f * DrawRandom());
      return Polygon(sides, c, s, shape);
    }
    case kShapeRandomStar: {
      const int32_t points = 1 + TruncToInt(10.0f * DrawRandom());
      return Star(points, c, 0.5f * s, s, shape);
    }
    case kShapeRandomOvals1: return Oval(c, r * s, s, shape);
    case kShapeRandomOvals2: return Oval(c, s, r * s, shape);
    case kShapeRandomRectangles1: return Rect(c, r * s, s, shape);
    case kShapeRandomRectangles2: return Rect(c, s, r * s, shape);
    case kShapeAlternateCircleSquare: return even ? Oval(c, s, s, shape) : Rect(c, s, s, shape);
    case kShapeAlternateCircle: {
      const QxReal m = even ? 2.0f : 1.0f;
      return Oval(c, m * s, m * s, shape);
    }
    case kShapeAlternateSquare: {
      const QxReal m = even ? 2.0f : 1.0f;
      return Rect(c, m * s, m * s, shape);
    }
    default: return 0;
  }
}
