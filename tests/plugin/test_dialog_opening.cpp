// Opening the settings dialog: defaults and the first preview, the page it
// was left on, swatch limits, stored popup positions, and how OK and Cancel
// leave the record, the document and the dialog's place.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "support/dialog_host.h"

namespace qx::test {
namespace {

using host::Dialog;
using A = host::DialogAction;

int32_t fontOf(Dialog& d, int32_t id) { return d.item(id) ? d.item(id)->font() : -1; }

class DialogOpeningTest : public DialogHost {};

TEST_F(DialogOpeningTest, FirstOpeningShowsPageOneWithTheDefaultsAndDrawsAPreview) {
  ASSERT_EQ(open([&](Dialog& d) {
              expectSameSettings(live(d), defaults());
              EXPECT_EQ(live(d).previewDrawn, 1);
              EXPECT_EQ(live(d).finalRun, 0);
              EXPECT_TRUE(item(d, 3).booleanValue());
              EXPECT_EQ(item(d, 4).value(), 100);
              EXPECT_EQ(item(d, 8).value(), 12);
              EXPECT_TRUE(item(d, 4).visible());
              EXPECT_FALSE(item(d, 21).visible());
              EXPECT_EQ(fontOf(d, 95), QX_FONT_DIALOG_BOLD);
              EXPECT_EQ(fontOf(d, 96), QX_FONT_DEFAULT);
              EXPECT_EQ(generatorRuns(), 1u);
              EXPECT_GT(artCount(), 0u);
            }),
            0);
  EXPECT_EQ(block().dialogPage, 1);
  EXPECT_EQ(block().previewDrawn, 1);
}

TEST_F(DialogOpeningTest, ReopensOnTheStoredPage) {
  FilterParameters p = defaults();
  p.dialogPage = 3;
  setBlock(p);
  ASSERT_EQ(open([&](Dialog& d) {
              EXPECT_EQ(fontOf(d, 97), QX_FONT_DIALOG_BOLD);
              for (int32_t caption : {95, 96, 98}) EXPECT_EQ(fontOf(d, caption), QX_FONT_DEFAULT);
              for (int32_t shown : {46, 21, 39, 51, 174}) EXPECT_TRUE(item(d, shown).visible()) << shown;
              for (int32_t hidden : {44, 4, 160, 36, 18, 19, 47, 26, 24}) {
                EXPECT_FALSE(item(d, hidden).visible()) << hidden;
              }
              for (int32_t always : {3, 14, 60, 61, 65, 90, 95}) EXPECT_TRUE(item(d, always).visible());
            }),
            0);
  EXPECT_EQ(block().dialogPage, 3);
}

TEST_F(DialogOpeningTest, PagesOutsideOneToFourOpenOnPageOne) {
  for (int32_t page : {0, 5, -1}) {
    FilterParameters p = defaults();
    p.dialogPage = page;
    setBlock(p);
    ASSERT_EQ(open([&](Dialog& d) {
                EXPECT_TRUE(item(d, 4).visible());
                EXPECT_EQ(fontOf(d, 95), QX_FONT_DIALOG_BOLD);
              }),
              0);
    EXPECT_EQ(block().dialogPage, 1) << "from " << page;
  }
}

TEST_F(DialogOpeningTest, SwatchSpinEditsReachTheSwatchCount) {
  std::vector<host::Swatch> swatches = host::Document::defaultSwatches();
  swatches.resize(5);
  doc_.setSwatches(swatches);
  ASSERT_EQ(open([&](Dialog& d) {
              for (int32_t id : {19, 29, 32}) {
                EXPECT_EQ(item(d, id).minValue(), 0);
                EXPECT_EQ(item(d, id).maxValue(), 5) << id;
              }
              act(d, A::chooseIndex(18, 6));  // " To swatch" enables the swatch field
              act(d, A::setValue(19, 9));
              EXPECT_EQ(live(d).lineStrokeSwatch, 5);
            }),
            0);
}

TEST_F(DialogOpeningTest, PopupsShowTheStoredPositions) {
  FilterParameters p = defaults();
  p.shapeKind = 27;
  p.presetIndex = 11;
  p.tileMode = 3;
  p.directionMode = 7;
  p.lineStrokeMode = 15;
  p.shapeStrokeMode = 4;
  p.shapeFillMode = 15;
  setBlock(p);
  ASSERT_EQ(open([&](Dialog& d) {
              auto shown = [&](int32_t id) {
                host::ListEntry* e = item(d, id).activeEntry();
                return e ? e->text : std::string("(none)");
              };
              EXPECT_EQ(shown(39), " Selected");
              EXPECT_EQ(shown(65), " Random swatches filled stars / tile");
              EXPECT_EQ(shown(47), " Start of points / line");
              EXPECT_EQ(shown(36), " Equal distance, alternate1, angled, random direction");
              EXPECT_EQ(shown(18), " No stroke color");
              EXPECT_EQ(shown(28), " Random swatches");
              EXPECT_EQ(shown(31), " No fill color");
            }),
            0);
  expectSameSettings(block(), p);
}

// A record from an earlier use opens with its values; the jitter integers are
// shown as reals and survive the read-back.
TEST_F(DialogOpeningTest, StoredValuesSurviveTheFirstReadBack) {
  FilterParameters p = defaults();
  p.jitterX = -7;
  p.jitterY = 100;
  p.lockPoints = 1;
  p.pointsMin = 3000;
  p.pointsMax = 1;
  p.curvatureX = -350;
  p.radiusFactor = -1000;
  p.deleteLine = 1;
  setBlock(p);
  ASSERT_EQ(open([&](Dialog& d) {
              EXPECT_EQ(item(d, 37).value(), -7.0);
              EXPECT_FALSE(item(d, 5).enabled());
            }),
            0);
  expectSameSettings(block(), p);
}

class DialogCloseTest : public DialogHost {};

TEST_F(DialogCloseTest, CancelRestoresTheRecordAndRemovesThePreview) {
  FilterParameters p = defaults();
  p.lineSets = 3;
  p.shapeSizeMin = p.shapeSizeMax = 5;
  p.dialogPage = 2;
  setBlock(p);
  EXPECT_EQ(openAndCancel([&](Dialog& d) {
              act(d, A::toggle(44));
              act(d, A::setValue(6, 7));
              act(d, A::chooseIndex(65, 8));
              act(d, switchPage(4));
              EXPECT_GT(artCount(), 0u);
            }),
            QX_ERR_STOP);
  expectSameSettings(block(), p);
  EXPECT_EQ(block().previewDrawn, 0);
  EXPECT_EQ(block().dialogBoundsValid, 0);
  EXPECT_EQ(artCount(), 0u);
}

TEST_F(DialogCloseTest, OkKeepsTheRecordAndThePreviewAndGoDoesNotDrawAgain) {
  ASSERT_EQ(open([&](Dialog& d) {
              act(d, A::setValue(6, 2));
              act(d, A::setValue(21, 8));
              act(d, switchPage(2));
            }),
            0);
  FilterParameters kept = block();
  EXPECT_EQ(kept.lineSets, 2);
  EXPECT_EQ(kept.shapeSizeMin, 8);
  EXPECT_EQ(kept.dialogPage, 2);
  EXPECT_EQ(kept.previewDrawn, 1);

  const std::vector<double> preview = drawing();
  const uint64_t drawsBefore = draws();
  ASSERT_FALSE(preview.empty());
  EXPECT_EQ(go(), 0);
  EXPECT_EQ(drawing(), preview);
  EXPECT_EQ(draws(), drawsBefore);
  EXPECT_EQ(block().previewDrawn, 0);
}

TEST_F(DialogCloseTest, OkRemembersWhereTheDialogWas) {
  ASSERT_EQ(open([&](Dialog& d) { d.setBoundsRect(QxRect{100, 120, 630, 445}); }), 0);
  FilterParameters kept = block();
  EXPECT_EQ(kept.dialogBoundsValid, 1);
  EXPECT_EQ(kept.dialogBounds[0], 100);
  EXPECT_EQ(kept.dialogBounds[1], 120);
  EXPECT_EQ(kept.dialogBounds[2], 630);
  EXPECT_EQ(kept.dialogBounds[3], 445);

  QxRect reopened{};
  ASSERT_EQ(open([&](Dialog& d) { reopened = d.boundsRect(); }), 0);
  EXPECT_EQ(reopened.left, 100);
  EXPECT_EQ(reopened.top, 120);
  EXPECT_EQ(reopened.right - reopened.left, 530);
  EXPECT_EQ(reopened.bottom - reopened.top, 325);
}

// A kept block whose dialog place lies at the end of the coordinate range
// (found by fuzzing, with other fields out of range too): the dialog opens
// there, keeps a frame with its edges in order, and the run completes.
TEST_F(DialogCloseTest, KeptPlaceAtTheEndOfTheCoordinateRangeStillOpens) {
  std::ifstream in(std::string(QX_SOURCE_DIR) + "/tests/data/fuzz/fuzz_state/state-dialog-at-range-end.bin", std::ios::binary);
  FilterParameters p{};
  ASSERT_TRUE(in.read(reinterpret_cast<char*>(&p), sizeof p));
  ASSERT_EQ(p.dialogBoundsValid, 1);
  ASSERT_EQ(p.dialogBounds[2], INT32_MAX);
  setBlock(p);
  QxRect shown{};
  ASSERT_EQ(open([&](Dialog& d) { shown = d.boundsRect(); }), 0);
  EXPECT_LE(shown.left, shown.right);
  EXPECT_LE(shown.top, shown.bottom);
  const FilterParameters kept = block();
  EXPECT_LE(kept.dialogBounds[0], kept.dialogBounds[2]);
  EXPECT_LE(kept.dialogBounds[1], kept.dialogBounds[3]);
  EXPECT_EQ(go(), 0);
}

}  // namespace
}  // namespace qx::test
