// Changes made in the open settings dialog: the enabling rules, the jitter
// read-back, "Preview", "Shuffle", the zoom and the page buttons.
#include <gtest/gtest.h>

#include "support/dialog_host.h"

namespace qx::test {
namespace {

using host::Dialog;
using A = host::DialogAction;

// The controls "Split lines (no shapes)" switches off.
const int32_t kShapeControls[] = {21, 22, 37, 38, 49, 51, 34, 35, 39, 31, 28, 40, 43, 47, 48, 46, 50};

class DialogChangesTest : public DialogHost {};

TEST_F(DialogChangesTest, LockBoxesDisableTheSecondValueAndKeepIt) {
  struct Lock {
    int32_t box, second;
    int32_t FilterParameters::*flag;
  };
  const Lock locks[] = {{44, 5, &FilterParameters::lockPoints},
                        {25, 11, &FilterParameters::lockStep},
                        {45, 9, &FilterParameters::lockLineWidth},
                        {46, 22, &FilterParameters::lockShapeSize},
                        {48, 35, &FilterParameters::lockShapeStroke}};
  FilterParameters p = defaults();
  p.pointsMax = 250;
  setBlock(p);
  ASSERT_EQ(open([&](Dialog& d) {
              for (const Lock& lock : locks) {
                SCOPED_TRACE(lock.box);
                EXPECT_TRUE(item(d, lock.second).enabled());
                act(d, A::toggle(lock.box));
                EXPECT_EQ(live(d).*lock.flag, 1);
                EXPECT_FALSE(item(d, lock.second).enabled());
              }
              EXPECT_EQ(live(d).pointsMax, 250);
              for (const Lock& lock : locks) {
                act(d, A::toggle(lock.box));
                EXPECT_EQ(live(d).*lock.flag, 0);
                EXPECT_TRUE(item(d, lock.second).enabled()) << lock.box;
              }
            }),
            0);
}

TEST_F(DialogChangesTest, SplitLinesDisablesTheShapeControlsWhateverTheLocksSay) {
  ASSERT_EQ(open([&](Dialog& d) {
              // Unlocked: split lines must still hold the second values down.
              act(d, A::toggle(26));
              EXPECT_EQ(live(d).splitLines, 1);
              for (int32_t id : kShapeControls) EXPECT_FALSE(item(d, id).enabled()) << id;
              act(d, A::toggle(26));
              for (int32_t id : kShapeControls) EXPECT_TRUE(item(d, id).enabled()) << id;

              // The size locked: off again, only its second value stays down.
              act(d, A::toggle(46));
              act(d, A::toggle(26));
              for (int32_t id : kShapeControls) EXPECT_FALSE(item(d, id).enabled()) << id;
              act(d, A::toggle(26));
              for (int32_t id : kShapeControls) EXPECT_EQ(item(d, id).enabled(), id != 22) << id;
            }),
            0);
}

TEST_F(DialogChangesTest, WithSplitLinesTheShapeColourFieldsStillFollowTheirModes) {
  ASSERT_EQ(open([&](Dialog& d) {
              act(d, A::chooseIndex(31, 6));   // fill " To swatch": swatch and steps
              act(d, A::chooseIndex(28, 11));  // stroke " Alternate swatch": swatch only
              act(d, A::toggle(26));
              EXPECT_TRUE(item(d, 32).enabled());
              EXPECT_TRUE(item(d, 33).enabled());
              EXPECT_TRUE(item(d, 29).enabled());
              EXPECT_FALSE(item(d, 30).enabled());
            }),
            0);
}

TEST_F(DialogChangesTest, ColourModesEnableTheirSwatchAndStepsFields) {
  struct Row {
    int32_t popup, swatch, steps;
  };
  struct Mode {
    int32_t position;
    bool swatch, steps;
  };
  const Row rows[] = {{18, 19, 20}, {28, 29, 30}, {31, 32, 33}};
  const Mode modes[] = {{0, false, false}, {6, true, true},   {11, true, false},  {2, false, true},
                        {3, false, false}, {1, false, true},  {5, false, true},   {7, false, true},
                        {8, false, true},  {13, false, true}, {14, false, false}, {15, false, false}};
  ASSERT_EQ(open([&](Dialog& d) {
              for (const Row& row : rows) {
                for (const Mode& mode : modes) {
                  SCOPED_TRACE("popup " + std::to_string(row.popup) + " mode " + std::to_string(mode.position));
                  act(d, A::chooseIndex(row.popup, mode.position));
                  EXPECT_EQ(item(d, row.swatch).enabled(), mode.swatch);
                  EXPECT_EQ(item(d, row.steps).enabled(), mode.steps);
                }
              }
              EXPECT_EQ(live(d).lineStrokeMode, 15);
              EXPECT_EQ(live(d).shapeStrokeMode, 15);
              EXPECT_EQ(live(d).shapeFillMode, 15);
            }),
            0);
}

TEST_F(DialogChangesTest, JitterIsStoredTruncatedTowardZero) {
  ASSERT_EQ(open([&](Dialog& d) {
              act(d, A::setValue(37, 2.9));
              act(d, A::setValue(38, -2.7));
              EXPECT_EQ(live(d).jitterX, 2);
              EXPECT_EQ(live(d).jitterY, -2);
              act(d, A::setValue(37, -0.99));
              EXPECT_EQ(live(d).jitterX, 0);
            }),
            0);
  EXPECT_EQ(block().jitterY, -2);
}

TEST_F(DialogChangesTest, EveryChangeReadsEveryControlAndRedraws) {
  ASSERT_EQ(open([&](Dialog& d) {
              const uint64_t runs = generatorRuns();
              act(d, A::setValue(4, 12));
              act(d, A::setValue(16, -20.5));
              act(d, A::chooseIndex(36, 3));
              act(d, A::toggle(27));
              EXPECT_EQ(live(d).pointsMin, 12);
              EXPECT_EQ(live(d).curvatureX, -20.5f);
              EXPECT_EQ(live(d).directionMode, 3);
              EXPECT_EQ(live(d).randomStart, 1);
              EXPECT_EQ(generatorRuns(), runs + 4);
              EXPECT_EQ(live(d).previewDrawn, 1);
            }),
            0);
}

TEST_F(DialogChangesTest, PreviewOffLeavesTheLastPreviewAndOnDrawsANewOne) {
  ASSERT_EQ(open([&](Dialog& d) {
              const std::vector<double> first = drawing();
              const uint64_t runs = generatorRuns();
              act(d, A::toggle(3));
              EXPECT_EQ(live(d).preview, 0);
              EXPECT_EQ(live(d).previewDrawn, 0);
              EXPECT_EQ(drawing(), first);
              act(d, A::setValue(6, 2));  // changes draw nothing while the preview is off
              EXPECT_EQ(generatorRuns(), runs);
              act(d, A::press(60));  // neither does Shuffle
              EXPECT_EQ(generatorRuns(), runs);

              act(d, A::toggle(3));
              EXPECT_EQ(live(d).previewDrawn, 1);
              EXPECT_EQ(generatorRuns(), runs + 1);
              EXPECT_NE(drawing(), first);
            }),
            0);
}

TEST_F(DialogChangesTest, ShuffleDrawsANewVariationOfTheSameSettings) {
  ASSERT_EQ(open([&](Dialog& d) {
              act(d, A::setValue(21, 10));
              const FilterParameters before = live(d);
              act(d, A::press(60));
              const std::vector<double> first = drawing();
              const size_t objects = artCount();
              act(d, A::press(60));
              const std::vector<double> second = drawing();
              EXPECT_FALSE(first.empty());
              EXPECT_NE(first, second);
              EXPECT_EQ(artCount(), objects) << "each preview replaces the last";
              EXPECT_EQ(live(d).pointsMin, before.pointsMin);
              EXPECT_EQ(live(d).shapeSizeMin, before.shapeSizeMin);
            }),
            0);
}

TEST_F(DialogChangesTest, ZoomSetsTheViewAndDrawsNothing) {
  ASSERT_EQ(open([&](Dialog& d) {
              const uint64_t runs = generatorRuns();
              EXPECT_EQ(doc_.zoom(), 1.0f);  // not applied on opening
              act(d, A::setValue(14, 250));
              EXPECT_EQ(live(d).viewZoom, 250);
              EXPECT_FLOAT_EQ(doc_.zoom(), 2.5f);
              EXPECT_EQ(generatorRuns(), runs);
            }),
            0);
  EXPECT_EQ(block().viewZoom, 250);
}

TEST_F(DialogChangesTest, PageButtonsSwitchPagesAndDrawNothing) {
  ASSERT_EQ(open([&](Dialog& d) {
              const uint64_t runs = generatorRuns();
              act(d, A::press(92));
              EXPECT_EQ(live(d).dialogPage, 3);
              EXPECT_EQ(item(d, 97).font(), QX_FONT_DIALOG_BOLD);
              EXPECT_EQ(item(d, 95).font(), QX_FONT_DEFAULT);
              EXPECT_TRUE(item(d, 21).visible());
              EXPECT_FALSE(item(d, 4).visible());
              act(d, A::press(93));
              EXPECT_EQ(item(d, 98).font(), QX_FONT_DIALOG_BOLD);
              EXPECT_EQ(item(d, 97).font(), QX_FONT_DEFAULT);
              EXPECT_TRUE(item(d, 24).visible());
              EXPECT_FALSE(item(d, 21).visible());
              EXPECT_EQ(generatorRuns(), runs);
            }),
            0);
  EXPECT_EQ(block().dialogPage, 4);
}

}  // namespace
}  // namespace qx::test
