// "Tumble" with scripted random numbers: one draw decides each row, the
// row's values take further draws in order, and what the spin edits cannot
// show is read back within their limits.
#include <gtest/gtest.h>

#include <vector>

#include "support/dialog_host.h"

namespace qx::test {
namespace {

using host::Dialog;
using A = host::DialogAction;

constexpr int kRows = 29;
constexpr QxReal kApply = 0.99f;          // above every threshold
constexpr QxReal kLargest = 0.99999994f;  // the largest draw below 1

class TumbleTest : public DialogHost {
 protected:
  // Press "Tumble" with `draws` served first (the preview it hands over to
  // draws from the rest).
  void tumble(Dialog& d, std::vector<QxReal> draws) {
    script(std::move(draws));
    act(d, A::press(61));
  }
};

TEST_F(TumbleTest, RowsTurnedDownLeaveExactlyTheTumbleBase) {
  FilterParameters p = defaults();
  // What Tumble leaves alone.
  p.lockPoints = p.lockStep = p.lockLineWidth = p.lockShapeSize = p.lockShapeStroke = 1;
  p.randomShapeAngle = 1;
  p.minDistance = 3;
  p.lineStrokeSteps = 4;
  p.shapeStrokeSteps = 5;
  p.shapeFillSteps = 6;
  p.tileMode = 2;
  p.viewZoom = 250;
  p.dialogPage = 2;
  p.presetIndex = 9;
  // What the base writes over.
  p.preview = 0;
  p.lineSets = 9;
  p.shapeKind = 5;
  p.splitLines = p.deleteLine = p.randomStart = p.linesFillVisible = 1;
  p.jitterX = 4;
  p.curvatureY = 30;
  p.shapeScale = 300;
  p.lineStrokeSwatch = 0;
  setBlock(p);
  ASSERT_EQ(open([&](Dialog& d) {
              tumble(d, std::vector<QxReal>(kRows, 0.0f));
              FilterParameters want = defaults();
              want.lockPoints = want.lockStep = want.lockLineWidth = want.lockShapeSize = want.lockShapeStroke = 1;
              want.randomShapeAngle = 1;
              want.minDistance = 3;
              want.lineStrokeSteps = 4;
              want.shapeStrokeSteps = 5;
              want.shapeFillSteps = 6;
              want.tileMode = 2;
              want.viewZoom = 250;
              want.dialogPage = 2;
              want.presetIndex = 9;
              expectSameSettings(live(d), want);
              EXPECT_EQ(live(d).previewDrawn, 1);
              EXPECT_TRUE(item(d, 19).visible()) << "still on page 2";
              ASSERT_NE(item(d, 65).activeEntry(), nullptr);
              EXPECT_EQ(item(d, 65).activeEntry()->text, " Random color filled circles");
            }),
            0);
}

TEST_F(TumbleTest, ARowAppliesOnlyAboveItsThreshold) {
  ASSERT_EQ(open([&](Dialog& d) {
              std::vector<QxReal> draws(kRows, 0.0f);
              draws[0] = 0.5f;  // row 1 needs more than 50
              tumble(d, draws);
              EXPECT_EQ(live(d).lineWidthMin, 12);

              draws = std::vector<QxReal>(kRows + 2, 0.0f);
              draws[0] = 0.51f;
              draws[1] = 0.5f;
              draws[2] = 0.5f;
              tumble(d, draws);
              EXPECT_FLOAT_EQ(live(d).lineWidthMin, 10);
              EXPECT_FLOAT_EQ(live(d).lineWidthMax, 15);
            }),
            0);
}

TEST_F(TumbleTest, EveryRowTakesItsDrawsInOrder) {
  std::vector<host::Swatch> swatches = host::Document::defaultSwatches();
  swatches.resize(8);
  doc_.setSwatches(swatches);
  const std::vector<QxReal> draws = {
      kApply, 0.5f,   0.5f,                   // 1 line widths
      kApply, 0.5f,                           // 2 direction mode
      kApply, 0.25f,  0.75f,                  // 3 steps
      kApply, 0.5f,                           // 4 set angle
      kApply, 0.25f,  0.5f,                   // 5 distance factors
      kApply, 0.5f,   0.25f,  0.125f, 0.75f,  // 6 curvature
      kApply, 0.25f,  0.75f,                  // 7 points
      kApply, 0.5f,                           // 8 line sets
      kApply, 0.5f,   0.5f,                   // 9 shape sizes
      kApply, 0.5f,   0.5f,                   // 10 shape strokes
      kApply, 0.5f,                           // 11 jitter y
      kApply, 0.25f,                          // 12 jitter x
      kApply, 0.5f,                           // 13 shape kind
      kApply, 0.5f,                           // 14 line stroke mode
      kApply, 0.25f,                          // 15 shape stroke mode
      kApply, 0.25f,                          // 16 shape angle
      kApply, 0.5f,                           // 17 shape scale
      kApply, kApply, kApply,                 // 18-20 flags
      kApply, 0.75f,                          // 21 shape fill mode
      kApply, 0.75f,  0.25f,                  // 22 radius factor
      kApply, kApply, kApply, kApply,         // 23-26 flags
      kApply, 0.25f,                          // 27 shape stroke swatch
      kApply, 0.5f,                           // 28 line stroke swatch
      kApply, 0.75f,                          // 29 shape fill swatch
  };
  ASSERT_EQ(open([&](Dialog& d) {
              tumble(d, draws);
              const FilterParameters& p = live(d);
              EXPECT_FLOAT_EQ(p.lineWidthMin, 10);
              EXPECT_FLOAT_EQ(p.lineWidthMax, 15);
              EXPECT_EQ(p.directionMode, 4);
              EXPECT_FLOAT_EQ(p.stepX, 25);
              EXPECT_FLOAT_EQ(p.stepY, 75);
              EXPECT_FLOAT_EQ(p.setAngle, 180);
              EXPECT_FLOAT_EQ(p.distanceFactorX, 99.75f);
              EXPECT_FLOAT_EQ(p.distanceFactorY, 100.5f);
              EXPECT_FLOAT_EQ(p.curvatureX, 2.5f);
              EXPECT_FLOAT_EQ(p.curvatureY, -6.25f);
              EXPECT_EQ(p.pointsMin, 25);
              EXPECT_EQ(p.pointsMax, 75);
              EXPECT_EQ(p.lineSets, 2);
              EXPECT_FLOAT_EQ(p.shapeSizeMin, 10);
              EXPECT_FLOAT_EQ(p.shapeSizeMax, 35);
              EXPECT_FLOAT_EQ(p.shapeStrokeMin, 5);
              EXPECT_FLOAT_EQ(p.shapeStrokeMax, 12.5f);
              EXPECT_EQ(p.jitterY, 5);
              EXPECT_EQ(p.jitterX, 2);
              EXPECT_EQ(p.shapeKind, 14);
              EXPECT_EQ(p.lineStrokeMode, 7);
              EXPECT_EQ(p.shapeStrokeMode, 3);
              EXPECT_FLOAT_EQ(p.shapeAngle, 90);
              EXPECT_FLOAT_EQ(p.shapeScale, 60);
              EXPECT_EQ(p.randomCreateShapes, 1);
              EXPECT_EQ(p.splitLines, 1);
              EXPECT_EQ(p.randomSetAngle, 1);
              EXPECT_EQ(p.shapeFillMode, 11);
              EXPECT_FLOAT_EQ(p.radiusFactor, 100.5f);
              EXPECT_EQ(p.randomOpacity, 1);
              EXPECT_EQ(p.randomStart, 1);
              EXPECT_EQ(p.linesFillVisible, 1);
              EXPECT_EQ(p.deleteLine, 1);
              EXPECT_EQ(p.shapeStrokeSwatch, 2);
              EXPECT_EQ(p.lineStrokeSwatch, 4);
              EXPECT_EQ(p.shapeFillSwatch, 6);
              // The record reached the controls before it was read back.
              EXPECT_EQ(item(d, 37).value(), 2);
              EXPECT_EQ(item(d, 39).activeIndex(), 14);
              EXPECT_FALSE(item(d, 21).enabled());
            }),
            0);
}

TEST_F(TumbleTest, TheLargestDrawsStayInsideTheLists) {
  ASSERT_EQ(open([&](Dialog& d) {
              tumble(d, std::vector<QxReal>(61, kLargest));  // every row and its values
              const FilterParameters& p = live(d);
              EXPECT_EQ(p.directionMode, 7);
              EXPECT_EQ(p.shapeKind, 27);
              // Never the last colour mode, " No stroke color" / " No fill color".
              EXPECT_EQ(p.lineStrokeMode, 14);
              EXPECT_EQ(p.shapeStrokeMode, 14);
              EXPECT_EQ(p.shapeFillMode, 14);
              EXPECT_EQ(p.lineSets, 4);
              EXPECT_EQ(p.pointsMin, 99);
              const int32_t lastSwatch = static_cast<int32_t>(doc_.swatches().size()) - 1;
              EXPECT_EQ(p.shapeStrokeSwatch, lastSwatch);
              EXPECT_EQ(p.lineStrokeSwatch, lastSwatch);
              EXPECT_EQ(p.shapeFillSwatch, lastSwatch);
              // Within 1 of 100 (a 32-bit real rounds 100 - 0.99999994 to 99).
              EXPECT_GE(p.radiusFactor, 99);
              EXPECT_LE(p.radiusFactor, 101);
              EXPECT_GE(p.distanceFactorX, 99);
              EXPECT_LE(p.distanceFactorY, 101);
            }),
            0);
}

TEST_F(TumbleTest, ValuesBelowTheSpinEditLimitsReadBackAtTheLimit) {
  std::vector<QxReal> draws(kRows + 4, 0.0f);
  draws[6 + 0] = kApply;  // row 7: points 0 and 0
  draws[6 + 1] = 0.001f;
  draws[6 + 2] = 0.001f;
  draws[6 + 3] = kApply;  // row 8: line sets 0
  draws[6 + 4] = 0.1f;
  ASSERT_EQ(open([&](Dialog& d) {
              tumble(d, draws);
              EXPECT_EQ(live(d).pointsMin, 1);
              EXPECT_EQ(live(d).pointsMax, 1);
              EXPECT_EQ(live(d).lineSets, 1);
            }),
            0);
}

TEST_F(TumbleTest, WithoutSwatchesTheSwatchPositionsAreZero) {
  doc_.setSwatches({});
  ASSERT_EQ(open([&](Dialog& d) {
              std::vector<QxReal> draws(kRows - 3, 0.0f);
              for (int row = 0; row < 3; ++row) {
                draws.push_back(kApply);
                draws.push_back(0.9f);
              }
              tumble(d, draws);
              EXPECT_EQ(live(d).shapeStrokeSwatch, 0);
              EXPECT_EQ(live(d).lineStrokeSwatch, 0);
              EXPECT_EQ(live(d).shapeFillSwatch, 0);
            }),
            0);
}

}  // namespace
}  // namespace qx::test
