// The preset popup: each preset is the defaults plus its own values, so
// presets never accumulate; the page and the zoom stay.
#include <gtest/gtest.h>

#include <functional>

#include "support/dialog_host.h"

namespace qx::test {
namespace {

using host::Dialog;
using A = host::DialogAction;

class PresetTest : public DialogHost {
 protected:
  // A record far from the defaults in every group of settings.
  static FilterParameters unusualRecord() {
    FilterParameters p = defaults();
    p.lockPoints = p.lockStep = p.lockLineWidth = p.lockShapeSize = p.lockShapeStroke = 1;
    p.randomShapeAngle = p.randomCreateShapes = p.deleteLine = 1;
    p.minDistance = 3;
    p.tileMode = 2;
    p.lineStrokeSteps = p.shapeStrokeSteps = p.shapeFillSteps = 9;
    p.lineSets = 4;
    p.radiusFactor = 50;
    p.jitterX = -3;
    p.shapeKind = 20;
    p.preview = 0;
    p.viewZoom = 250;
    p.dialogPage = 3;
    return p;
  }
};

TEST_F(PresetTest, ResetGivesTheDefaultsButKeepsThePageAndTheZoom) {
  setBlock(unusualRecord());
  ASSERT_EQ(open([&](Dialog& d) {
              EXPECT_EQ(generatorRuns(), 0u) << "the stored record has the preview off";
              act(d, A::chooseIndex(65, 0));
              FilterParameters want = defaults();
              want.viewZoom = 250;
              want.dialogPage = 3;
              expectSameSettings(live(d), want);
              EXPECT_TRUE(item(d, 3).booleanValue());
              EXPECT_EQ(live(d).previewDrawn, 1);
              EXPECT_EQ(generatorRuns(), 1u);
              EXPECT_TRUE(item(d, 21).visible()) << "still on page 3";
              EXPECT_TRUE(item(d, 5).enabled()) << "the locks are off again";
            }),
            0);
}

TEST_F(PresetTest, EachPresetIsTheDefaultsWithItsOwnValues) {
  using Change = std::function<void(FilterParameters&)>;
  const Change squares = [](FilterParameters& p) {
    p.shapeSizeMin = 30;
    p.shapeSizeMax = 60;
    p.shapeKind = 1;
  };
  const Change angled = [](FilterParameters& p) {
    p.directionMode = 6;
    p.pointsMin = p.pointsMax = 200;
    p.stepX = p.stepY = 20;
  };
  const Change discreet = [](FilterParameters& p) {
    p.lineWidthMin = 1;
    p.lineWidthMax = 30;
    p.splitLines = 1;
  };
  const Change swatchCircles = [](FilterParameters& p) {
    p.shapeFillMode = 4;
    p.shapeSizeMin = p.shapeSizeMax = 40;
    p.tileMode = 1;
  };
  const Change randomStart = [](FilterParameters& p) {
    p.lineSets = 5;
    p.pointsMin = 2;
    p.pointsMax = 100;
    p.lineWidthMin = 2;
    p.lineWidthMax = 8;
    p.randomStart = 1;
  };
  const Change presets[16] = {
      [](FilterParameters&) {},
      [](FilterParameters& p) { p.shapeSizeMin = p.shapeSizeMax = 30; },
      squares,
      [&](FilterParameters& p) {
        squares(p);
        p.shapeStrokeMin = 2;
        p.shapeStrokeMax = 20;
      },
      angled,
      [&](FilterParameters& p) {
        angled(p);
        p.lineSets = 3;
        p.lineStrokeMode = 3;
      },
      discreet,
      [&](FilterParameters& p) {
        discreet(p);
        p.lineStrokeMode = 3;
      },
      [](FilterParameters& p) {
        p.radiusFactor = 99;
        p.shapeSizeMin = p.shapeSizeMax = 40;
      },
      [](FilterParameters& p) {
        p.shapeFillMode = 3;
        p.shapeSizeMin = p.shapeSizeMax = 40;
      },
      swatchCircles,
      [&](FilterParameters& p) {
        swatchCircles(p);
        p.shapeKind = 11;
      },
      randomStart,
      [&](FilterParameters& p) {
        randomStart(p);
        p.lineSets = 15;
        p.setAngle = 360;
        p.randomSetAngle = 1;
      },
      [](FilterParameters& p) {
        p.lineWidthMin = 2;
        p.lineWidthMax = 12;
        p.linesFillVisible = 1;
      },
      [](FilterParameters& p) {
        p.shapeSizeMin = 20;
        p.shapeSizeMax = 40;
        p.shapeKind = 0;
        p.deleteLine = 1;
      },
  };
  setBlock(unusualRecord());
  ASSERT_EQ(open([&](Dialog& d) {
              // Walk the list backwards so every preset follows one with other values.
              for (int32_t position = 15; position >= 0; --position) {
                SCOPED_TRACE("preset " + std::to_string(position));
                act(d, A::chooseIndex(65, position));
                FilterParameters want = defaults();
                presets[position](want);
                want.viewZoom = 250;
                want.dialogPage = 3;
                want.presetIndex = position;
                expectSameSettings(live(d), want);
                EXPECT_EQ(live(d).previewDrawn, 1);
              }
            }),
            0);
}

TEST_F(PresetTest, PresetsDoNotAccumulate) {
  ASSERT_EQ(open([&](Dialog& d) {
              act(d, A::chooseText(65, " Shrinking circles"));
              EXPECT_EQ(live(d).radiusFactor, 99);
              act(d, A::chooseText(65, " 200 Angled lattice / multi-sets randomized"));
              EXPECT_EQ(live(d).radiusFactor, 100);
              EXPECT_EQ(live(d).shapeSizeMin, 0);
              EXPECT_EQ(live(d).lineSets, 3);
            }),
            0);
  EXPECT_EQ(block().presetIndex, 5);
}

TEST_F(PresetTest, ThePresetReachesTheControlsAndTheEnablingRules) {
  ASSERT_EQ(open([&](Dialog& d) {
              act(d, A::chooseIndex(65, 7));
              EXPECT_EQ(item(d, 9).value(), 30);
              EXPECT_TRUE(item(d, 26).booleanValue());
              EXPECT_EQ(item(d, 18).activeIndex(), 3);
              EXPECT_FALSE(item(d, 21).enabled()) << "split lines switch the shapes off";
              act(d, A::chooseIndex(65, 4));
              EXPECT_EQ(item(d, 4).value(), 200);
              EXPECT_EQ(item(d, 36).activeIndex(), 6);
              EXPECT_FALSE(item(d, 26).booleanValue());
              EXPECT_TRUE(item(d, 21).enabled());
            }),
            0);
}

}  // namespace
}  // namespace qx::test
