// Host calls that fail while the settings dialog is open: the dialog carries
// on with what it has, and nothing crashes.
#include <gtest/gtest.h>

#include "support/dialog_host.h"

namespace qx::test {
namespace {

using host::Dialog;
using A = host::DialogAction;

class DialogFailureTest : public DialogHost {
 protected:
  // Open the dialog and use every kind of control; controls that are missing
  // are refused by the runner, not by the test.
  QxErr openAndUseEverything() {
    return open([&](Dialog& d) {
      tryAct(d, A::toggle(44));
      tryAct(d, A::setValue(37, 2.5));
      tryAct(d, A::chooseIndex(39, 4));
      tryAct(d, A::press(61));
      tryAct(d, A::chooseIndex(65, 3));
      tryAct(d, A::drag(160, QxRealPoint{100, 100}));
      tryAct(d, A::drag(174, QxRealPoint{100, 100}));
      tryAct(d, A::setValue(14, 200));
      tryAct(d, switchPage(3));
    });
  }
};

TEST_F(DialogFailureTest, AFailingCallLeavesTheDialogWorking) {
  struct Failure {
    const char* suite;
    const char* op;
    uint64_t nth;
  };
  const Failure failures[] = {
      {QX_ADM_DIALOG_SUITE, "CreateItem", 2},    {QX_ADM_DIALOG_SUITE, "GetItem", 40},
      {QX_ADM_ITEM_SUITE, "GetList", 1},         {QX_ADM_LIST_SUITE, "InsertEntry", 5},
      {QX_ADM_LIST_SUITE, "IndexEntry", 1},      {QX_ADM_LIST_SUITE, "GetActiveEntry", 3},
      {QX_ADM_ITEM_SUITE, "GetFloatValue", 4},   {QX_SWATCH_LIST_SUITE, "CountSwatches", 1},
      {QX_ADM_TRACKER_SUITE, "GetModifiers", 1}, {QX_DOCUMENT_VIEW_SUITE, "GetNthDocumentView", 1},
      {QX_REAL_MATH_SUITE, "Interpolate", 1},    {QX_RANDOM_SUITE, "FloatRnd", 1},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(std::string(f.suite) + " " + f.op);
    failNthCall(f.suite, f.op, f.nth, QX_ERR_BAD_PARAM);
    EXPECT_EQ(openAndUseEverything(), 0);
    EXPECT_EQ(block().lineSets, 1);
    EXPECT_NE(block().shapeKind, 27);
  }
}

TEST_F(DialogFailureTest, WithoutItsRecordTheDialogClosesWithTheHostsCode) {
  failNthCall(QX_ADM_DIALOG_SUITE, "GetUserData", 1, QX_ERR_BAD_PARAM);
  EXPECT_EQ(openAndUseEverything(), QX_ERR_BAD_PARAM);
  // The next use opens normally.
  EXPECT_EQ(openAndUseEverything(), 0);
  EXPECT_EQ(block().presetIndex, 3);
}

}  // namespace
}  // namespace qx::test
