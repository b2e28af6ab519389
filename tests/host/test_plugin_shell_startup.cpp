// Start-up: borrowing the 32 suites (and failing at any of them), the filter's
// registration, and a long life of start, unload, reload and shutdown that
// must leave nothing behind.
#include <gtest/gtest.h>

#include <cstdio>

#include "host/plugins/memory_store.h"
#include "plugin/shell/globals.h"
#include "support/shell_host.h"

namespace qx::test {
namespace {

struct Row {
  const char* name;
  int32_t version;
};

// The order in which the plug-in borrows the host's suites.
const Row kRows[32] = {
    {QX_BLOCKS_SUITE, 2},       {QX_ACCESS_SUITE, 3},
    {QX_MEMORY_SUITE, 1},       {QX_REAL_MATH_SUITE, 1},
    {QX_ART_SUITE, 9},          {QX_USER_SUITE, 5},
    {QX_DOCUMENT_SUITE, 7},     {QX_DOCUMENT_VIEW_SUITE, 7},
    {QX_UNDO_SUITE, 4},         {QX_PATH_SUITE, 4},
    {QX_PATH_STYLE_SUITE, 5},   {QX_RANDOM_SUITE, 3},
    {QX_TAG_SUITE, 2},          {QX_TRANSFORM_ART_SUITE, 1},
    {QX_SWATCH_LIST_SUITE, 4},  {QX_BLEND_STYLE_SUITE, 2},
    {QX_ART_STYLE_SUITE, 3},    {QX_SYMBOL_SUITE, 1},
    {QX_ENVELOPE_SUITE, 1},     {QX_SHAPE_CONSTRUCTION_SUITE, 4},
    {QX_LAYER_SUITE, 9},        {QX_MATCHING_ART_SUITE, 4},
    {QX_MENU_SUITE, 7},         {QX_FILTER_SUITE, 2},
    {QX_ADM_BASIC_SUITE, 2},    {QX_ADM_DIALOG_SUITE, 3},
    {QX_ADM_ITEM_SUITE, 4},     {QX_ADM_ICON_SUITE, 1},
    {QX_ADM_NOTIFIER_SUITE, 1}, {QX_ADM_LIST_SUITE, 1},
    {QX_ADM_ENTRY_SUITE, 2},    {QX_ADM_TRACKER_SUITE, 1},
};

using PluginStartup = ShellHost;

// The globals block as the host holds it after an unload.
PluginGlobals globalsAfterUnload(void* slot) {
  PluginGlobals copy{};
  if (slot) copy = *static_cast<PluginGlobals*>(slot);
  return copy;
}

TEST_F(PluginStartup, AFailedAcquisitionStopsTheMessageAtEveryRow) {
  const QxErr code = QX_ERR_OUT_OF_MEMORY;
  size_t alertsBefore = 0;
  for (int row = 1; row <= 32; ++row) {
    SCOPED_TRACE(std::string("row ") + std::to_string(row) + " " + kRows[row - 1].name);
    resetCalls();
    clearTexts();
    alertsBefore = alerts().size();
    failNthCall("SP Basic Suite", "AcquireSuite", static_cast<uint64_t>(row), code);

    EXPECT_EQ(startup(), code);
    EXPECT_EQ(calls("SP Basic Suite", "AcquireSuite"), static_cast<uint64_t>(row)) << "the walk stops at the failure";
    EXPECT_EQ(calls(QX_BLOCKS_SUITE, "AllocateBlock"), 0u) << "the handler does not run";

    // The suite-loading alert needs the ADM basic suite, row 25.
    if (row <= 25) {
      EXPECT_EQ(alerts().size(), alertsBefore);
    } else {
      ASSERT_EQ(alerts().size(), alertsBefore + 1);
      char expected[256];
      std::snprintf(expected, sizeof expected, "Suite Loading Error: %d, suite: %s, version: %d!", code,
                    kRows[row - 1].name, kRows[row - 1].version);
      EXPECT_EQ(alerts().back(), expected);
    }
    // The error dialog needs the ADM dialog suite (row 26) and, for its
    // texts and its OK button, the item suite (row 27).
    EXPECT_EQ(modalRuns(), row >= 28 ? 1u : 0u);
    if (row >= 28) {
      EXPECT_NE(errors().find("(RAM)"), std::string::npos) << errors();
    }

    // Release walks from row 1 and stops at the row never lent: nothing
    // stays borrowed.
    EXPECT_EQ(calls("SP Basic Suite", "ReleaseSuite"), static_cast<uint64_t>(row));
    EXPECT_EQ(extraSuiteRefs(), 0);
  }
  EXPECT_TRUE(host().filters().empty());
  EXPECT_TRUE(nothingLeaked());

  // Nothing is left over that would stop a later start-up.
  resetCalls();
  ASSERT_EQ(startup(), 0);
  EXPECT_EQ(host().filters().size(), 1u);
}

TEST_F(PluginStartup, RegistersTheShippedFilterOnce) {
  ASSERT_EQ(startup(), 0);
  ASSERT_EQ(host().filters().size(), 1u);
  const host::RegisteredFilter& registered = host().filters()[0];
  EXPECT_EQ(registered.category, "Torvik <Create>");
  EXPECT_EQ(registered.title, "Quelvix...");
  EXPECT_EQ(registered.name, "Quelvix");
  EXPECT_TRUE(registered.autoUpdate);
  EXPECT_EQ(std::vector<int32_t>(registered.autoUpdateValues, registered.autoUpdateValues + 7),
            (std::vector<int32_t>{1, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(calls(QX_ADM_BASIC_SUITE, "GetIndexString"), 2u) << "one pair is read, no more";
  EXPECT_EQ(modalRuns(), 0u);

  ASSERT_EQ(unload(), 0);
  void* slot = globalsSlot();
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(host::blockLabel(slot), "globals");
  EXPECT_GE(host::blockSize(slot), sizeof(PluginGlobals)) << "the block holds both handles on a 64-bit build";
  PluginGlobals globals = globalsAfterUnload(slot);
  EXPECT_EQ(globals.filterCount, 1);
  EXPECT_EQ(globals.filterHandles[0], registered.handle);
  EXPECT_EQ(globals.selectionList, nullptr) << "no selection before the first dialog";
  EXPECT_EQ(globals.selectionCount, -1);
  ASSERT_EQ(reload(), 0);
}

TEST_F(PluginStartup, MenuFailureLeavesTheFilterRegisteredButUncounted) {
  const QxErr code = QX_FOURCC('N', 'E', 'S', 'S');
  failNthCall(QX_MENU_SUITE, "UpdateMenuItemAutomatically", 1, code);
  EXPECT_EQ(startup(), code);
  ASSERT_EQ(host().filters().size(), 1u) << "the registration itself succeeded";
  EXPECT_FALSE(host().filters()[0].autoUpdate);
  EXPECT_EQ(modalRuns(), 1u);
  EXPECT_NE(errors().find("too many anchor points"), std::string::npos) << errors();
  EXPECT_NE(errors().find("NESS"), std::string::npos) << errors();

  ASSERT_EQ(unload(), 0);
  PluginGlobals globals = globalsAfterUnload(globalsSlot());
  EXPECT_EQ(globals.filterCount, 0) << "the count is written only after a whole pass";
  EXPECT_EQ(globals.filterHandles[0], host().filters()[0].handle);
  ASSERT_EQ(reload(), 0);
  ASSERT_EQ(shutdown(), 0);
  EXPECT_TRUE(nothingLeaked());
}

TEST_F(PluginStartup, HundredLifeCyclesLeaveNothingBehind) {
  for (int cycle = 0; cycle < 100; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    ASSERT_EQ(startup(), 0);
    ASSERT_EQ(unload(), 0);
    ASSERT_EQ(reload(), 0);
    ASSERT_EQ(shutdown(), 0);
    ASSERT_EQ(globalsSlot(), nullptr);
  }
  EXPECT_EQ(extraBlocks(), 0);
  EXPECT_EQ(extraHandles(), 0);
  EXPECT_EQ(extraSuiteRefs(), 0);
  EXPECT_TRUE(host().filters().empty());
  EXPECT_EQ(calls("SP Basic Suite", "AcquireSuite"), 100u * (32 + 32 + 1))
      << "Startup and Shutdown, plus Shutdown's own";
  EXPECT_EQ(calls("SP Basic Suite", "ReleaseSuite"), calls("SP Basic Suite", "AcquireSuite"));
  EXPECT_TRUE(alerts().empty());
}

}  // namespace
}  // namespace qx::test
