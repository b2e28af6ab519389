#include "styling/step_point.h"

#include "styling/random_draw.h"

namespace {

// Axis choice: one draw, along x when 10 r > 5.
bool ChooseXAxis() { return 10.0f * DrawRandom() > 5.0f; }

// A straight move along one drawn axis by (f dx) or (f dy), in a drawn direction.
void AxisMove(QxRealPoint& p, QxReal f, QxReal dx, QxReal dy) {
  if (ChooseXAxis()) p.x = p.x + RandomSign() * f * dx;
  else p.y = p.y + RandomSign() * f * dy;
}

// A diagonal move: x first, then y, each in its own drawn direction.
void AngledMove(QxRealPoint& p, QxReal fx, QxReal dx, QxReal fy, QxReal dy) {
  p.x = p.x + RandomSign() * fx * dx;
  p.y = p.y + RandomSign() * fy * dy;
}

// Random fractions of both lengths (two draws); with the step locked y takes
// x's length; neither falls below the minimum distance.
void RandomLengths(QxReal& dx, QxReal& dy, bool lockStep, QxReal minDistance) {
  dx = DrawRandom() * dx;
  dy = DrawRandom() * dy;
  if (lockStep) dy = dx;
  if (dx < minDistance) dx = minDistance;
  if (dy < minDistance) dy = minDistance;
}

}  // namespace

QxPathSegment StepPoint(int32_t mode, int32_t stepIndex, QxReal stepLengthX, QxReal stepLengthY, bool lockStep,
                        QxReal minDistance, QxPathSegment segment) {
  QxRealPoint& p = segment.p;
  QxReal dx = stepLengthX;
  QxReal dy = stepLengthY;
  const bool even = stepIndex % 2 == 0;
  const QxReal doubled = even ? 2.0f : 1.0f;

  switch (mode) {
    case kDirectionEqual:
    case kDirectionRandomPerSet: AxisMove(p, 1.0f, dx, dy); break;
    case kDirectionRandom:
      RandomLengths(dx, dy, lockStep, minDistance);
      AxisMove(p, 1.0f, dx, dy);
      break;
    case kDirectionAngled: AngledMove(p, 1.0f, dx, 1.0f, dy); break;
    case kDirectionRandomAngled:
      RandomLengths(dx, dy, lockStep, minDistance);
      AngledMove(p, 1.0f, dx, 1.0f, dy);
      break;
    case kDirectionAlternate:
      AxisMove(p, doubled, dx, dy);
      AngledMove(p, doubled, dx, doubled, dy);
      break;
    case kDirectionAlternateAngled: AngledMove(p, doubled, dx, doubled, dy); break;
    case kDirectionAlternateAngledXY:
      if (even) AngledMove(p, 1.0f, dx, 2.0f, dy);
      else AngledMove(p, 2.0f, dx, 1.0f, dy);
      break;
    default: break;
  }
  return segment;
}
