// The suite registry, the basic suite and the call counting that every host
// operation goes through.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/suites/all_suites.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "host/suites/suite_registry.h"
#include "qx_sdk.h"

namespace qx::host {
namespace {

const int kTableA = 1;
const int kTableB = 2;

TEST(SuiteRegistry, AnswersSuiteNotFoundForUnknownNameOrVersion) {
  SuiteRegistry registry;
  registry.add("Some Suite", 3, &kTableA);
  const void* suite = &kTableB;
  EXPECT_EQ(registry.acquire("Other Suite", 3, &suite), QX_ERR_SUITE_NOT_FOUND);
  EXPECT_EQ(suite, nullptr);
  suite = &kTableB;
  EXPECT_EQ(registry.acquire("Some Suite", 2, &suite), QX_ERR_SUITE_NOT_FOUND);
  EXPECT_EQ(suite, nullptr);
  EXPECT_EQ(registry.acquire("some suite", 3, &suite), QX_ERR_SUITE_NOT_FOUND) << "names are case-sensitive";
  EXPECT_EQ(registry.release("Other Suite", 3), QX_ERR_SUITE_NOT_FOUND);
  EXPECT_EQ(registry.refCount("Other Suite", 3), -1);
}

TEST(SuiteRegistry, CountsReferencesAndRefusesReleaseWithoutAcquire) {
  SuiteRegistry registry;
  registry.add("Some Suite", 3, &kTableA);
  EXPECT_EQ(registry.release("Some Suite", 3), QX_ERR_NOT_ACQUIRED);

  const void* suite = nullptr;
  ASSERT_EQ(registry.acquire("Some Suite", 3, &suite), 0);
  EXPECT_EQ(suite, &kTableA);
  ASSERT_EQ(registry.acquire("Some Suite", 3, &suite), 0);
  EXPECT_EQ(registry.refCount("Some Suite", 3), 2);
  EXPECT_EQ(registry.totalRefs(), 2);

  EXPECT_EQ(registry.release("Some Suite", 3), 0);
  EXPECT_EQ(registry.release("Some Suite", 3), 0);
  EXPECT_EQ(registry.release("Some Suite", 3), QX_ERR_NOT_ACQUIRED) << "the count never goes below zero";
  EXPECT_EQ(registry.refCount("Some Suite", 3), 0);
}

TEST(SuiteRegistry, KeepsVersionsApartAndRefusesNullArguments) {
  SuiteRegistry registry;
  registry.add("Some Suite", 1, &kTableA);
  registry.add("Some Suite", 2, &kTableB);
  const void* suite = nullptr;
  ASSERT_EQ(registry.acquire("Some Suite", 2, &suite), 0);
  EXPECT_EQ(suite, &kTableB);
  EXPECT_EQ(registry.refCount("Some Suite", 1), 0);

  registry.add("Some Suite", 1, &kTableB);  // a second add replaces the table
  EXPECT_EQ(registry.find("Some Suite", 1), &kTableB);
  EXPECT_EQ(registry.size(), 2u);

  EXPECT_EQ(registry.acquire(nullptr, 1, &suite), QX_ERR_BAD_PARAM);
  EXPECT_EQ(registry.acquire("Some Suite", 1, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(registry.release(nullptr, 1), QX_ERR_BAD_PARAM);
}

struct SuiteName {
  const char* name;
  int32_t version;
};

// The 32 suites a plug-in acquires, with the versions it asks for.
const SuiteName kAllSuites[] = {
    {QX_BLOCKS_SUITE, QX_BLOCKS_SUITE_VERSION},
    {QX_ACCESS_SUITE, QX_ACCESS_SUITE_VERSION},
    {QX_MEMORY_SUITE, QX_MEMORY_SUITE_VERSION},
    {QX_REAL_MATH_SUITE, QX_REAL_MATH_SUITE_VERSION},
    {QX_ART_SUITE, QX_ART_SUITE_VERSION},
    {QX_USER_SUITE, QX_USER_SUITE_VERSION},
    {QX_DOCUMENT_SUITE, QX_DOCUMENT_SUITE_VERSION},
    {QX_DOCUMENT_VIEW_SUITE, QX_DOCUMENT_VIEW_SUITE_VERSION},
    {QX_UNDO_SUITE, QX_UNDO_SUITE_VERSION},
    {QX_PATH_SUITE, QX_PATH_SUITE_VERSION},
    {QX_PATH_STYLE_SUITE, QX_PATH_STYLE_SUITE_VERSION},
    {QX_RANDOM_SUITE, QX_RANDOM_SUITE_VERSION},
    {QX_TAG_SUITE, QX_TAG_SUITE_VERSION},
    {QX_TRANSFORM_ART_SUITE, QX_TRANSFORM_ART_SUITE_VERSION},
    {QX_SWATCH_LIST_SUITE, QX_SWATCH_LIST_SUITE_VERSION},
    {QX_BLEND_STYLE_SUITE, QX_BLEND_STYLE_SUITE_VERSION},
    {QX_ART_STYLE_SUITE, QX_ART_STYLE_SUITE_VERSION},
    {QX_SYMBOL_SUITE, QX_SYMBOL_SUITE_VERSION},
    {QX_ENVELOPE_SUITE, QX_ENVELOPE_SUITE_VERSION},
    {QX_SHAPE_CONSTRUCTION_SUITE, QX_SHAPE_CONSTRUCTION_SUITE_VERSION},
    {QX_LAYER_SUITE, QX_LAYER_SUITE_VERSION},
    {QX_MATCHING_ART_SUITE, QX_MATCHING_ART_SUITE_VERSION},
    {QX_MENU_SUITE, QX_MENU_SUITE_VERSION},
    {QX_FILTER_SUITE, QX_FILTER_SUITE_VERSION},
    {QX_ADM_BASIC_SUITE, QX_ADM_BASIC_SUITE_VERSION},
    {QX_ADM_DIALOG_SUITE, QX_ADM_DIALOG_SUITE_VERSION},
    {QX_ADM_ITEM_SUITE, QX_ADM_ITEM_SUITE_VERSION},
    {QX_ADM_ICON_SUITE, QX_ADM_ICON_SUITE_VERSION},
    {QX_ADM_NOTIFIER_SUITE, QX_ADM_NOTIFIER_SUITE_VERSION},
    {QX_ADM_LIST_SUITE, QX_ADM_LIST_SUITE_VERSION},
    {QX_ADM_ENTRY_SUITE, QX_ADM_ENTRY_SUITE_VERSION},
    {QX_ADM_TRACKER_SUITE, QX_ADM_TRACKER_SUITE_VERSION},
};

// The basic suite works on whatever registry the running host installed.
class BasicSuite : public ::testing::Test {
 protected:
  void SetUp() override {
    registerAllSuites(registry_);
    saved_ = hostContext().suites;
    hostContext().suites = &registry_;
  }
  void TearDown() override { hostContext().suites = saved_; }
  SuiteRegistry registry_;
  SuiteRegistry* saved_ = nullptr;
};

TEST_F(BasicSuite, OffersAllThirtyTwoSuitesWithDistinctTables) {
  const QxBasicSuite* basic = basicSuite();
  std::vector<const void*> tables;
  for (const SuiteName& s : kAllSuites) {
    const void* suite = nullptr;
    EXPECT_EQ(basic->AcquireSuite(s.name, s.version, &suite), 0) << s.name;
    EXPECT_NE(suite, nullptr) << s.name;
    tables.push_back(suite);
  }
  EXPECT_EQ(registry_.totalRefs(), 32);
  std::sort(tables.begin(), tables.end());
  EXPECT_EQ(std::unique(tables.begin(), tables.end()), tables.end());
  for (const SuiteName& s : kAllSuites) EXPECT_EQ(basic->ReleaseSuite(s.name, s.version), 0) << s.name;
  EXPECT_EQ(registry_.totalRefs(), 0);
}

TEST_F(BasicSuite, RefusesOtherVersionsAndReleasesNotHeld) {
  const QxBasicSuite* basic = basicSuite();
  const void* suite = &registry_;
  EXPECT_EQ(basic->AcquireSuite(QX_ART_SUITE, QX_ART_SUITE_VERSION + 1, &suite), QX_ERR_SUITE_NOT_FOUND);
  EXPECT_EQ(suite, nullptr);
  EXPECT_EQ(basic->AcquireSuite("AI Nonexistent Suite", 1, &suite), QX_ERR_SUITE_NOT_FOUND);
  EXPECT_EQ(basic->ReleaseSuite(QX_ART_SUITE, QX_ART_SUITE_VERSION), QX_ERR_NOT_ACQUIRED);
  EXPECT_EQ(basic->AcquireSuite(QX_ART_SUITE, QX_ART_SUITE_VERSION, nullptr), QX_ERR_BAD_PARAM);

  hostContext().suites = nullptr;  // no host running
  EXPECT_EQ(basic->AcquireSuite(QX_ART_SUITE, QX_ART_SUITE_VERSION, &suite), QX_ERR_SUITE_NOT_FOUND);
  EXPECT_EQ(basic->ReleaseSuite(QX_ART_SUITE, QX_ART_SUITE_VERSION), QX_ERR_SUITE_NOT_FOUND);
}

TEST_F(BasicSuite, ComparesStringsExactly) {
  const QxBasicSuite* basic = basicSuite();
  EXPECT_NE(basic->IsEqual("SP Access", "SP Access"), 0);
  EXPECT_EQ(basic->IsEqual("SP Access", "SP Access "), 0);
  EXPECT_EQ(basic->IsEqual("sp access", "SP Access"), 0);
  EXPECT_NE(basic->IsEqual("", ""), 0);
  EXPECT_EQ(basic->IsEqual(nullptr, "x"), 0);
  EXPECT_EQ(basic->IsEqual("x", nullptr), 0);
}

class Instrumentation : public BasicSuite {
 protected:
  void SetUp() override {
    BasicSuite::SetUp();
    clearFaults();
    resetCounts();
  }
  void TearDown() override {
    clearFaults();
    BasicSuite::TearDown();
  }
  QxErr acquireArt() {
    const void* suite = nullptr;
    QxErr code = basicSuite()->AcquireSuite(QX_ART_SUITE, QX_ART_SUITE_VERSION, &suite);
    if (code == 0) basicSuite()->ReleaseSuite(QX_ART_SUITE, QX_ART_SUITE_VERSION);
    return code;
  }
};

TEST_F(Instrumentation, CountsCallsPerOperation) {
  for (int i = 0; i < 3; ++i) acquireArt();
  EXPECT_EQ(callCount("SP Basic Suite", "AcquireSuite"), 3u);
  EXPECT_EQ(callCount("SP Basic Suite", "ReleaseSuite"), 3u);
  EXPECT_EQ(callCount("SP Basic Suite", "NoSuchOp"), 0u);
  bool listed = false;
  for (const OpInfo& info : allOps())
    if (info.suite == "SP Basic Suite" && info.op == "AcquireSuite") listed = info.calls == 3;
  EXPECT_TRUE(listed);
  resetCounts();
  EXPECT_EQ(callCount("SP Basic Suite", "AcquireSuite"), 0u);
}

TEST_F(Instrumentation, FailsExactlyTheArmedCallOnce) {
  ASSERT_TRUE(failNthCall("SP Basic Suite", "AcquireSuite", 3, QX_ERR_OUT_OF_MEMORY));
  EXPECT_EQ(acquireArt(), 0);
  EXPECT_EQ(acquireArt(), 0);
  EXPECT_EQ(acquireArt(), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(acquireArt(), 0) << "a fault fires once";
  EXPECT_EQ(registry_.totalRefs(), 0) << "the failed call did no work";
  EXPECT_EQ(callCount("SP Basic Suite", "AcquireSuite"), 4u) << "failed calls are counted too";
}

TEST_F(Instrumentation, KeepsSeveralFaultsAndActionsApart) {
  ASSERT_TRUE(failNthCall("SP Basic Suite", "AcquireSuite", 1, 11));
  ASSERT_TRUE(failNthCall("SP Basic Suite", "AcquireSuite", 2, 22));
  int ran = 0;
  ASSERT_TRUE(onNthCall("SP Basic Suite", "AcquireSuite", 3, [&] { ++ran; }));
  EXPECT_EQ(acquireArt(), 11);
  EXPECT_EQ(acquireArt(), 22);
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(acquireArt(), 0) << "an action lets the call go on";
  EXPECT_EQ(ran, 1);
  acquireArt();
  EXPECT_EQ(ran, 1);

  EXPECT_FALSE(failNthCall("SP Basic Suite", "NoSuchOp", 1, 5));
  EXPECT_FALSE(failNthCall("SP Basic Suite", "AcquireSuite", 0, 5));
  EXPECT_FALSE(failNthCall("SP Basic Suite", "AcquireSuite", 1, 0));
  ASSERT_TRUE(failNthCall("SP Basic Suite", "AcquireSuite", 1, 5));
  clearFaults();
  EXPECT_EQ(acquireArt(), 0);
}

TEST_F(Instrumentation, RegistersEachOperationOnce) {
  OpId first = registerOp("Test Suite", "Op");
  EXPECT_EQ(registerOp("Test Suite", "Op"), first);
  EXPECT_NE(registerOp("Test Suite", "Other"), first);
}

TEST_F(Instrumentation, FaultOnIsEqualAnswersNotEqual) {
  ASSERT_TRUE(failNthCall("SP Basic Suite", "IsEqual", 1, 1));
  EXPECT_EQ(basicSuite()->IsEqual("a", "a"), 0);
  EXPECT_NE(basicSuite()->IsEqual("a", "a"), 0);
}

}  // namespace
}  // namespace qx::host
