// Get Parameters and Go: the parameter block, the preview hand-over, Cancel,
// the selection list, and a run's failure exit at each tested host call.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "host/suites/instrument.h"
#include "host/plugins/memory_store.h"
#include "host/suites/suite_registry.h"
#include "plugin/shell/globals.h"
#include "qx_names.h"
#include "support/generator_host.h"

namespace qx::test {
namespace {

constexpr int32_t kShuffleButton = 60;

class FilterRun : public GeneratorHost {
 protected:
  // A selected 40 x 40 square centred on (300, 300).
  QxArtHandle addSelectedSquare(QxArtHandle parent = nullptr) {
    QxArtHandle square = nullptr;
    EXPECT_EQ(doc_.art().newArt(QX_ART_PATH, parent ? QX_PLACE_INSIDE_ON_TOP : QX_PLACE_ABOVE_ALL, parent, &square), 0);
    const QxPathSegment corners[4] = {{{280, 320}, {280, 320}, {280, 320}, 1},
                                      {{320, 320}, {320, 320}, {320, 320}, 1},
                                      {{320, 280}, {320, 280}, {320, 280}, 1},
                                      {{280, 280}, {280, 280}, {280, 280}, 1}};
    EXPECT_EQ(doc_.art().setSegments(square, 0, 4, corners), 0);
    EXPECT_EQ(doc_.art().setSelected(square, true), 0);
    return square;
  }

  // The gathered selection as the plug-in's globals hold it, read while the
  // library is unloaded (the host keeps the block then).
  std::vector<QxArtHandle> gatheredSelection(int32_t* count) {
    EXPECT_EQ(unload(), 0);
    const auto* globals = static_cast<const PluginGlobals*>(globalsSlot());
    std::vector<QxArtHandle> entries;
    *count = globals->selectionCount;
    if (globals->selectionList != nullptr)
      for (int32_t i = 0; i < *count; ++i) entries.push_back(static_cast<QxArtHandle*>(*globals->selectionList)[i]);
    EXPECT_EQ(reload(), 0);
    return entries;
  }

  static FilterParameters withPreview(bool on) {
    FilterParameters p = defaults();
    p.preview = on;
    return p;
  }
};

TEST_F(FilterRun, FirstUseCreatesTheDefaultBlockAndGoKeepsThePreview) {
  ASSERT_EQ(filter()->parameters, nullptr);
  ASSERT_EQ(getParameters(), 0);
  ASSERT_NE(filter()->parameters, nullptr);
  EXPECT_EQ(host::memHandleSize(filter()->parameters), sizeof(FilterParameters));
  FilterParameters p = block();
  EXPECT_EQ(p.preview, 1);
  EXPECT_EQ(p.stepX, 70);
  EXPECT_EQ(p.pointsMax, 100);
  EXPECT_EQ(p.previewDrawn, 1) << "the dialog's preview stands";
  ASSERT_EQ(art().size(), 1u);

  // Go after the preview: no new art, no draws, the flag cleared.
  EXPECT_EQ(countDraws([&] { EXPECT_EQ(sendFilter("AI Go"), 0); }), 0u);
  EXPECT_EQ(art().size(), 1u);
  EXPECT_EQ(block().previewDrawn, 0);
  EXPECT_EQ(block().finalRun, 1);
  // A second final run with the same record draws.
  EXPECT_EQ(sendFilter("AI Go"), 0);
  EXPECT_EQ(art().size(), 2u);
}

TEST_F(FilterRun, GoDrawsWhenThePreviewWasOff) {
  setBlock(withPreview(false));
  ASSERT_EQ(getParameters(), 0);
  EXPECT_TRUE(art().empty());
  const uint64_t redraws = doc_.redrawCount();
  EXPECT_EQ(sendFilter("AI Go"), 0);
  EXPECT_EQ(art().size(), 1u);
  EXPECT_EQ(doc_.redrawCount(), redraws) << "the final run does not redraw";
}

TEST_F(FilterRun, RepeatedPreviewsReplaceTheirArt) {
  FilterParameters p = withPreview(true);
  p.pointsMin = p.pointsMax = 3;
  p.shapeKind = 1;
  p.shapeSizeMin = p.shapeSizeMax = 10;
  setBlock(p);
  size_t during = 0;
  runner_.during = [&](host::Dialog& dialog) {
    ASSERT_NE(dialog.item(kShuffleButton), nullptr);
    dialogs_.notify(*dialog.item(kShuffleButton));
    dialogs_.notify(*dialog.item(kShuffleButton));
    during = doc_.art().topLevelArt().size();
  };
  const uint64_t n = countDraws([&] { ASSERT_EQ(getParameters(), 0); });
  EXPECT_EQ(during, 5u);
  EXPECT_EQ(art().size(), 5u);
  EXPECT_EQ(n, 3u * (1 + 1 + 5 + 3 * 8 + 1)) << "three previews ran";
  EXPECT_GE(doc_.redrawCount(), 3u);
}

TEST_F(FilterRun, CancelUndoesThePreviewAndRestoresEveryByte) {
  FilterParameters p = withPreview(true);
  p.lineSets = 3;
  p.reservedWord = 0x5A5A5A5A;
  p.finalRun = 7;
  p.dialogBounds[0] = -3;
  p.dialogBounds[3] = 99;
  setBlock(p);
  const FilterParameters before = block();
  runner_.answer = host::kItemCancel;
  runner_.during = [&](host::Dialog& dialog) {
    EXPECT_EQ(doc_.art().topLevelArt().size(), 3u) << "the preview drew";
    auto* record = static_cast<FilterParameters*>(dialog.userData());
    record->lineSets = 9;
    record->stepX = 1;
  };
  EXPECT_EQ(getParameters(), QX_ERR_STOP);
  EXPECT_TRUE(art().empty());
  const FilterParameters after = block();
  EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0);

  // When the undo itself fails, its code comes back and the record keeps
  // what the dialog wrote. The preview's own undo is the first call.
  failNthCall(QX_UNDO_SUITE, "UndoChanges", 2, QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(getParameters(), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(block().lineSets, 9);
}

TEST_F(FilterRun, NoDialogForAForeignFilterNoDrawingWithoutABlock) {
  EXPECT_EQ(countDraws([&] { EXPECT_EQ(sendFilter("AI Go"), 0); }), 0u);
  EXPECT_TRUE(art().empty());
  EXPECT_EQ(filter()->parameters, nullptr);

  host::RegisteredFilter stranger = *filter();
  stranger.handle = reinterpret_cast<QxFilterHandle>(uintptr_t{0xF00D});
  EXPECT_EQ(host().sendFilter(stranger, "AI Get Parameters"), QX_ERR_BAD_PARAM);
  EXPECT_EQ(runner_.settingsRuns(), 0);
  EXPECT_EQ(stranger.parameters, nullptr);

  failNthCall(QX_MEMORY_SUITE, "MdMemoryNewHandle", 1, QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(getParameters(), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(runner_.settingsRuns(), 0);

  // A block too small for the record is never read.
  ASSERT_EQ(host().setFilterParameters(*filter(), std::vector<uint8_t>(100, 0xFF)), 0);
  EXPECT_EQ(sendFilter("AI Go"), 0);
  EXPECT_NE(getParameters(), 0);
  EXPECT_EQ(runner_.settingsRuns(), 0);
  EXPECT_TRUE(art().empty());
}

TEST_F(FilterRun, AFailingTestedCallEndsTheRunKeepingItsArtAndReleasingTheSelection) {
  addSelectedSquare();
  // Two sets of three steps with a square at every point, each turned,
  // turned about itself and scaled: a whole run adds 10 objects.
  FilterParameters p = withPreview(false);
  p.lineSets = 2;
  p.pointsMin = p.pointsMax = 3;
  p.shapeKind = 1;
  p.shapeSizeMin = p.shapeSizeMax = 10;
  p.shapeAngle = 30;
  const struct {
    const char* suite;
    const char* op;
    uint64_t nth;
    size_t artAfter;  // the selected square included
  } cases[] = {
      {QX_UNDO_SUITE, "UndoChanges", 1, 1},
      {QX_DOCUMENT_SUITE, "GetDocumentSetup", 1, 1},
      {QX_PATH_SUITE, "SetPathSegments", 1, 2},        // the first line's start point
      {QX_ART_SUITE, "GetArtBounds", 1, 3},            // the start shape's own turn
      {QX_ART_SUITE, "GetArtBounds", 2, 3},            // its scaling
      {QX_TRANSFORM_ART_SUITE, "TransformArt", 1, 3},  // its turn with the set
      {QX_TRANSFORM_ART_SUITE, "TransformArt", 3, 3},
      {QX_TRANSFORM_ART_SUITE, "TransformArt", 13, 6},  // the first line's turn
      {QX_ART_SUITE, "NewArt", 2, 6},                   // the second line
      {QX_PATH_SUITE, "SetPathSegments", 6, 8},         // the second set's first step
  };
  for (const auto& c : cases) {
    setBlock(p);
    ASSERT_EQ(getParameters(), 0);
    ASSERT_EQ(extraHandles(), 2) << "the block and the gathered selection";
    const size_t before = doc_.art().topLevelArt().size();
    failNthCall(c.suite, c.op, c.nth, QX_ERR_OUT_OF_MEMORY);
    EXPECT_EQ(sendFilter("AI Go"), 0) << "Go answers 0 whatever the generator says";
    EXPECT_EQ(doc_.art().topLevelArt().size() - before + 1, c.artAfter) << c.op << " #" << c.nth;
    EXPECT_EQ(extraHandles(), 1) << c.op << " #" << c.nth;
    host::clearFaults();
  }

  // A preview that fails at its redraw releases the selection too.
  p.preview = 1;
  setBlock(p);
  failNthCall(QX_DOCUMENT_SUITE, "RedrawDocument", 1, QX_ERR_OUT_OF_MEMORY);
  ASSERT_EQ(getParameters(), 0);
  EXPECT_EQ(extraHandles(), 1);
}

TEST_F(FilterRun, UntestedCallsDoNotEndTheRun) {
  FilterParameters p = withPreview(false);
  p.pointsMin = p.pointsMax = 2;
  p.shapeKind = 1;
  p.shapeSizeMin = p.shapeSizeMax = 10;
  p.tileMode = 1;
  const size_t whole = 1 + 4 * 3 + 3;  // the line, three squares, four of each, the line's tiles
  const struct {
    const char* suite;
    const char* op;
    uint64_t nth;
    size_t lost;
  } cases[] = {
      {QX_PATH_STYLE_SUITE, "GetPathStyle", 1, 0},
      {QX_PATH_STYLE_SUITE, "SetPathStyle", 1, 0},
      {QX_ART_SUITE, "GetArtBounds", 3, 0},  // inside the tiling
      {QX_TRANSFORM_ART_SUITE, "TransformArt", 4, 0},
      {QX_ART_SUITE, "DuplicateArt", 1, 1},
      {QX_SWATCH_LIST_SUITE, "CountSwatches", 1, 0},
      {QX_DOCUMENT_SUITE, "GetDocumentSetup", 2, 0},  // the tiling's own read
  };
  for (const auto& c : cases) {
    const size_t before = doc_.art().topLevelArt().size();
    failNthCall(c.suite, c.op, c.nth, QX_ERR_BAD_PARAM);
    EXPECT_EQ(go(p), 0);
    EXPECT_EQ(doc_.art().topLevelArt().size() - before, whole - c.lost) << c.op << " #" << c.nth;
    host::clearFaults();
  }
}

// Lists what the test chooses instead of what the document's matching finds,
// so that a compound path and its own members can stand in one list.
std::vector<QxArtHandle> gListed;

QxErr ListChosenArt(const QxMatchingArtSpec*, int16_t, QxMemHandle* matches, int32_t* count) {
  *matches = host::newMemHandle(gListed.size() * sizeof(QxArtHandle));
  std::memcpy(**matches, gListed.data(), gListed.size() * sizeof(QxArtHandle));
  *count = static_cast<int32_t>(gListed.size());
  return 0;
}
const QxMatchingArtSuite kChosenArtSuite = {ListChosenArt};

TEST_F(FilterRun, ACompoundPathStaysListedAsOneObject) {
  QxArtHandle compound = nullptr;
  ASSERT_EQ(doc_.art().newArt(QX_ART_COMPOUND_PATH, QX_PLACE_ABOVE_ALL, nullptr, &compound), 0);
  const QxArtHandle first = addSelectedSquare(compound);
  const QxArtHandle second = addSelectedSquare(compound);
  const QxArtHandle loose = addSelectedSquare();
  gListed = {first, compound, second, loose};
  context().suites->add(QX_MATCHING_ART_SUITE, QX_MATCHING_ART_SUITE_VERSION, &kChosenArtSuite);

  FilterParameters p = withPreview(false);
  p.pointsMin = p.pointsMax = 1;
  p.shapeKind = 27;
  setBlock(p);
  ASSERT_EQ(getParameters(), 0);
  int32_t count = 0;
  const auto entries = gatheredSelection(&count);
  EXPECT_EQ(count, 4) << "emptied entries stay counted";
  EXPECT_EQ(entries, (std::vector<QxArtHandle>{nullptr, compound, nullptr, loose}));

  // "Selected" copies the first entry still listed, moved onto each point.
  const size_t before = doc_.art().topLevelArt().size();
  ASSERT_EQ(sendFilter("AI Go"), 0);
  const auto added = art(before);
  ASSERT_EQ(added.size(), 3u);
  for (size_t i = 1; i < 3; ++i) {
    const auto copy = info(added[i]);
    EXPECT_EQ(copy.type, QX_ART_COMPOUND_PATH);
    EXPECT_NEAR(width(copy), 40, 1e-3);
    EXPECT_NEAR(centre(copy).x, 0, 1e-3);
    EXPECT_NEAR(centre(copy).y, i == 1 ? 0 : 70, 1e-3);
  }
  gatheredSelection(&count);
  EXPECT_EQ(count, -1) << "released after the final run";
  EXPECT_EQ(extraHandles(), 1);
}

}  // namespace
}  // namespace qx::test

namespace qx::test {
namespace {

// A cancelled dialog leaves its gathered selection held (no Go releases it);
// shutting the plug-in down gives it back.
TEST_F(FilterRun, ShutdownReleasesASelectionLeftByCancel) {
  addSelectedSquare();
  FilterParameters p = withPreview(false);
  setBlock(p);
  runner_.answer = host::kItemCancel;
  ASSERT_EQ(getParameters(), QX_ERR_STOP);
  int32_t count = 0;
  gatheredSelection(&count);
  ASSERT_EQ(count, 1);
  ASSERT_EQ(shutdown(), 0);
  EXPECT_TRUE(nothingLeaked()) << "blocks " << extraBlocks() << ", handles " << extraHandles();
}

}  // namespace
}  // namespace qx::test
