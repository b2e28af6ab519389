// Dragging the adjuster buttons: the mouse's place on the page picks each
// value between two ends (or an angle), only while the button is held.
#include <gtest/gtest.h>

#include <cmath>
#include <variant>

#include "support/dialog_host.h"

namespace qx::test {
namespace {

using host::Dialog;
using A = host::DialogAction;

using RealField = QxReal FilterParameters::*;
using IntField = int32_t FilterParameters::*;

struct Adjuster {
  int32_t button;
  int32_t spinEdit;
  int page;
  std::variant<IntField, RealField> field;
  double from, to;  // at the left (or bottom) edge and at the right (or top) edge
  bool vertical;
};

const Adjuster kLinearAdjusters[] = {
    {160, 4, 1, &FilterParameters::pointsMin, 300, 1, false},
    {161, 5, 1, &FilterParameters::pointsMax, 300, 1, false},
    {162, 10, 1, &FilterParameters::stepX, 400, 1, false},
    {163, 11, 1, &FilterParameters::stepY, 400, 1, true},
    {164, 8, 1, &FilterParameters::lineWidthMin, 50, 1, false},
    {165, 9, 1, &FilterParameters::lineWidthMax, 50, 1, false},
    {167, 12, 1, &FilterParameters::distanceFactorX, 101, 99, false},
    {168, 13, 1, &FilterParameters::distanceFactorY, 101, 99, true},
    {169, 21, 3, &FilterParameters::shapeSizeMin, 150, 0, false},
    {170, 22, 3, &FilterParameters::shapeSizeMax, 150, 0, false},
    {171, 34, 3, &FilterParameters::shapeStrokeMin, 50, 1, false},
    {172, 35, 3, &FilterParameters::shapeStrokeMax, 50, 1, false},
    {173, 40, 3, &FilterParameters::radiusFactor, 101, 99, false},
};

double valueOf(const FilterParameters& p, const Adjuster& a) {
  if (auto* f = std::get_if<IntField>(&a.field)) return p.**f;
  return p.*std::get<RealField>(a.field);
}

class AdjusterTest : public DialogHost {
 protected:
  double W() const { return doc_.pageWidth(); }
  double H() const { return doc_.pageHeight(); }
  static A dragTo(int32_t button, double x, double y, int32_t modifiers = QX_MODIFIER_BUTTON_DOWN) {
    return A::drag(button, QxRealPoint{static_cast<QxReal>(x), static_cast<QxReal>(y)}, modifiers);
  }
};

TEST_F(AdjusterTest, EachAdjusterSpansItsRangeAcrossThePage) {
  ASSERT_EQ(open([&](Dialog& d) {
              for (const Adjuster& a : kLinearAdjusters) {
                act(d, switchPage(a.page));
                for (double t : {0.0, 0.5, 1.0}) {
                  SCOPED_TRACE("button " + std::to_string(a.button) + " at " + std::to_string(t));
                  const double along = t * (a.vertical ? H() : W());
                  // The other coordinate is off the middle: it must not matter.
                  const double x = a.vertical ? W() * 0.8 : along;
                  const double y = a.vertical ? along : H() * 0.3;
                  const uint64_t runs = generatorRuns();
                  act(d, dragTo(a.button, x, y));
                  double want = a.from + (a.to - a.from) * t;
                  if (std::holds_alternative<IntField>(a.field)) want = std::trunc(want);
                  EXPECT_NEAR(valueOf(live(d), a), want, 1e-3);
                  EXPECT_NEAR(item(d, a.spinEdit).value(), want, 1e-3);
                  EXPECT_EQ(generatorRuns(), runs + 1) << "the preview follows the mouse";
                }
              }
            }),
            0);
}

TEST_F(AdjusterTest, PointsAdjustersGiveWholeNumbersAndTouchOnlyTheirOwnValue) {
  ASSERT_EQ(open([&](Dialog& d) {
              act(d, dragTo(160, W() / 2, 0));
              EXPECT_EQ(live(d).pointsMin, 150);  // trunc(150.5)
              act(d, dragTo(161, W() / 4, 0));
              EXPECT_EQ(live(d).pointsMax, 225);  // trunc(225.25)
              EXPECT_EQ(live(d).pointsMin, 150);
              EXPECT_EQ(item(d, 4).value(), 150);
            }),
            0);
}

TEST_F(AdjusterTest, AngleAdjustersPointFromTheMouse) {
  struct Case {
    int32_t button;
    double x, y;  // as fractions of the page
    double degrees;
  };
  const Case cases[] = {
      {166, 1.0, 0.0, 180},  // toward the origin from the right
      {166, 0.0, -0.2, 90},  // from below the origin
      {166, 0.5, -0.5 * 612.0 / 792.0, 135},
      {174, 0.0, 0.5, 0},    // toward the centre from the left
      {174, 0.5, 0.0, 90},   // from the bottom
      {174, 1.0, 0.5, 180},  // from the right
  };
  ASSERT_EQ(open([&](Dialog& d) {
              for (const Case& c : cases) {
                SCOPED_TRACE("button " + std::to_string(c.button) + " to " + std::to_string(c.degrees));
                act(d, switchPage(c.button == 166 ? 1 : 3));
                act(d, dragTo(c.button, c.x * W(), c.y * H()));
                const QxReal got = c.button == 166 ? live(d).setAngle : live(d).shapeAngle;
                EXPECT_NEAR(got, c.degrees, 1e-3);
              }
            }),
            0);
}

TEST_F(AdjusterTest, OffThePageTheValueGoesPastItsEnd) {
  ASSERT_EQ(open([&](Dialog& d) {
              act(d, dragTo(160, -W() / 2, 0));
              EXPECT_EQ(live(d).pointsMin, 449);  // trunc(300 + 149.5)
              act(d, dragTo(164, 2 * W(), 0));
              EXPECT_EQ(live(d).lineWidthMin, 0) << "the spin edit keeps it at its limit";
            }),
            0);
}

TEST_F(AdjusterTest, WithoutTheButtonHeldNothingHappens) {
  ASSERT_EQ(open([&](Dialog& d) {
              const FilterParameters before = live(d);
              const std::vector<double> drawn = drawing();
              resetCalls();
              act(d, dragTo(160, W(), 0, 0));
              act(d, dragTo(162, 0, 0, 0x10));
              EXPECT_EQ(live(d).pointsMin, before.pointsMin);
              EXPECT_EQ(live(d).stepX, before.stepX);
              EXPECT_EQ(item(d, 4).value(), 100);
              EXPECT_EQ(generatorRuns(), 0u);
              EXPECT_EQ(drawing(), drawn);
              EXPECT_EQ(calls(QX_ADM_ITEM_SUITE, "DefaultTrack"), 0u);

              act(d, dragTo(160, W(), 0));
              EXPECT_EQ(calls(QX_ADM_ITEM_SUITE, "DefaultTrack"), 1u);
              EXPECT_EQ(live(d).pointsMin, 1);
            }),
            0);
}

}  // namespace
}  // namespace qx::test
