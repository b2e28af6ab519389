// How the plug-in answers each message: which messages borrow the host's
// suites, which results reach the user, and what nesting and reloading do to
// the borrowing.
#include <gtest/gtest.h>

#include "host/plugins/memory_store.h"
#include "support/shell_host.h"

namespace qx::test {
namespace {

using PluginDispatch = ShellHost;

const char* const kAcquire = "AcquireSuite";
const char* const kRelease = "ReleaseSuite";
const char* const kBasic = "SP Basic Suite";

TEST_F(PluginDispatch, RoutesEveryCallerAndSelectorOfTheTable) {
  ASSERT_EQ(startup(), 0);
  struct Case {
    const char* caller;
    const char* selector;
    QxErr result;
    bool borrowsSuites;
    bool showsError;
  };
  const Case cases[] = {
      {QX_CALLER_ACCESS, "Flush", 0, false, false},
      {QX_CALLER_INTERFACE, "Purge", 0, true, false},
      {QX_CALLER_MENU, QX_SELECTOR_GO, QX_ERR_NO_SELECTION, true, true},
      {QX_CALLER_MENU, QX_SELECTOR_UPDATE, 0, true, false},
      {QX_CALLER_MENU, QX_SELECTOR_GET_PARAMETERS, 0, true, false},
      {QX_CALLER_FILTER, "AI Something", 0, true, false},
      {"AI Notifier", QX_SELECTOR_GO, 0, true, false},
      {"", "", 0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.caller) + " / " + c.selector);
    resetCalls();
    clearTexts();
    void* slotBefore = globalsSlot();
    EXPECT_EQ(send(c.caller, c.selector), c.result);
    const uint64_t borrowed = c.borrowsSuites ? 32 : 0;
    EXPECT_EQ(calls(kBasic, kAcquire), borrowed);
    EXPECT_EQ(calls(kBasic, kRelease), borrowed);
    EXPECT_EQ(modalRuns(), c.showsError ? 1u : 0u);
    EXPECT_EQ(calls(QX_BLOCKS_SUITE, "AllocateBlock") + calls(QX_FILTER_SUITE, "AddFilter"), 0u)
        << "no handler of its own runs";
    EXPECT_EQ(globalsSlot(), slotBefore);
    EXPECT_EQ(extraSuiteRefs(), 0);
  }
  EXPECT_EQ(host().filters().size(), 1u) << "nothing registered twice";
}

TEST_F(PluginDispatch, MenuGoReportsAnInvalidSelection) {
  ASSERT_EQ(startup(), 0);
  EXPECT_EQ(send(QX_CALLER_MENU, QX_SELECTOR_GO), QX_ERR_NO_SELECTION);
  EXPECT_NE(errors().find("The selection is not valid for this filter."), std::string::npos) << errors();
  EXPECT_NE(errors().find("!sel"), std::string::npos) << errors();
}

TEST_F(PluginDispatch, AboutShowsTheAboutBoxAndAnswersZero) {
  ASSERT_EQ(startup(), 0);
  EXPECT_EQ(about(), 0);
  EXPECT_EQ(modalRuns(), 1u);
  EXPECT_NE(output().find("Quelvix"), std::string::npos) << output();

  failNthCall(QX_ADM_DIALOG_SUITE, "Modal", 1, QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(about(), 0) << "the about box's answer is not used";
}

TEST_F(PluginDispatch, CancelAndMissingSuiteReachTheHostWithoutAnError) {
  // A failed allocation makes Startup answer the host's own code.
  const QxErr silent[] = {QX_ERR_SUITE_NOT_FOUND, QX_ERR_STOP};
  for (QxErr code : silent) {
    resetCalls();
    failNthCall(QX_BLOCKS_SUITE, "AllocateBlock", 1, code);
    EXPECT_EQ(startup(), code);
    EXPECT_EQ(modalRuns(), 0u) << code;
    EXPECT_TRUE(host().filters().empty()) << "nothing is registered without the globals block";
  }
  resetCalls();
  failNthCall(QX_BLOCKS_SUITE, "AllocateBlock", 1, QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(startup(), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(modalRuns(), 1u);
  EXPECT_NE(errors().find("-108"), std::string::npos) << errors();
  EXPECT_EQ(extraBlocks(), 0);
  EXPECT_EQ(extraSuiteRefs(), 0);
}

TEST_F(PluginDispatch, NestedMessageNeitherAcquiresNorReleases) {
  uint64_t acquiresInside = 99, releasesInside = 99;
  QxErr nestedResult = -1;
  int depthInside = 0;
  // The first string read of the registration is inside Startup's handler.
  onNthCall(QX_ADM_BASIC_SUITE, "GetIndexString", 1, [&] {
    const uint64_t acquiresBefore = calls(kBasic, kAcquire);
    const uint64_t releasesBefore = calls(kBasic, kRelease);
    nestedResult = send(QX_CALLER_MENU, QX_SELECTOR_UPDATE);
    depthInside = host().messageDepth() + 1;
    acquiresInside = calls(kBasic, kAcquire) - acquiresBefore;
    releasesInside = calls(kBasic, kRelease) - releasesBefore;
  });
  // Startup goes on after the nested message and finds every slot filled:
  // the registration that follows needs the filter and menu suites.
  ASSERT_EQ(startup(), 0);
  EXPECT_EQ(nestedResult, 0);
  EXPECT_EQ(depthInside, 2);
  EXPECT_EQ(acquiresInside, 0u);
  EXPECT_EQ(releasesInside, 0u);
  EXPECT_EQ(host().filters().size(), 1u);
  EXPECT_EQ(calls(kBasic, kAcquire), 32u);
  EXPECT_EQ(calls(kBasic, kRelease), 32u);
  EXPECT_EQ(extraSuiteRefs(), 0) << "the outermost message released everything";
}

TEST_F(PluginDispatch, ReloadStartsTheNestingAfresh) {
  uint64_t acquiresAfterReload = 0;
  void* slotAfterUnload = nullptr;
  // Inside Startup's last host call the nesting count is 1. Unload and
  // Reload (sent without swapping the library) reset it, so the next
  // message borrows every suite again although it is nested.
  onNthCall(QX_MENU_SUITE, "UpdateMenuItemAutomatically", 1, [&] {
    EXPECT_EQ(send(QX_CALLER_ACCESS, QX_SELECTOR_UNLOAD), 0);
    slotAfterUnload = globalsSlot();
    EXPECT_EQ(send(QX_CALLER_ACCESS, QX_SELECTOR_RELOAD), 0);
    const uint64_t before = calls(kBasic, kAcquire);
    EXPECT_EQ(send(QX_CALLER_MENU, QX_SELECTOR_UPDATE), 0);
    acquiresAfterReload = calls(kBasic, kAcquire) - before;
  });
  ASSERT_EQ(startup(), 0);
  EXPECT_EQ(acquiresAfterReload, 32u);
  ASSERT_NE(slotAfterUnload, nullptr);
  EXPECT_EQ(host::blockLabel(slotAfterUnload), "globals") << "Unload hands over the globals block";

  // Swap the library for real: a fresh copy starts with nothing borrowed and
  // still finds its globals.
  ASSERT_EQ(unload(), 0);
  ASSERT_EQ(reload(), 0);
  resetCalls();
  EXPECT_EQ(send(QX_CALLER_MENU, QX_SELECTOR_UPDATE), 0);
  EXPECT_EQ(calls(kBasic, kAcquire), 32u);
  EXPECT_EQ(calls(kBasic, kRelease), 32u);
  ASSERT_EQ(shutdown(), 0);
  EXPECT_EQ(extraBlocks(), 0) << "the globals block survived both reloads and was freed";
}

}  // namespace
}  // namespace qx::test
