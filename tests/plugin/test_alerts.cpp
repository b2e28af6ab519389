// A failed message reaches the person in the error dialog with the message of
// the error list and the code's text; the about box shows its lines. Every
// case runs the real plug-in in the test host, with the scripted dialog
// runner printing what the dialogs show.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/scripted_runner.h"
#include "qx_sdk.h"
#include "support/test_host.h"

namespace qx::test {
namespace {

const std::string kMemoryMessage = "The filter cannot complete because there isn't enough memory (RAM) available.";
const std::string kLayerMessage = "The filter cannot complete because a layer is locked or invisible.";
const std::string kAnchorMessage = "The filter cannot complete because a path has too many anchor points.";
const std::string kSelectionMessage = "The selection is not valid for this filter.";
const std::string kUnknownMessage = "The filter cannot complete because of an unknown error.";

class Alerts : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    dialogs_.setRunner(&runner_);
    context().dialogs = &dialogs_;
  }

  // Start the plug-in with its globals allocation failing with `code`, which
  // Startup then answers.
  QxErr startupFailingWith(QxErr code) {
    failNthCall(QX_BLOCKS_SUITE, "AllocateBlock", 1, code);
    return startup();
  }

  static std::string errorShown(const std::string& message, const std::string& codeText) {
    return "Error: " + message + " (code " + codeText + ")\n";
  }
  // What the error dialogs showed (the runner prints alerts there too).
  std::string errorsShown() const {
    std::istringstream lines(err_.str());
    std::string shown;
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("Error: ", 0) == 0) shown += line + "\n";
    return shown;
  }

  std::ostringstream out_;
  std::ostringstream err_;
  host::ScriptedRunner runner_{out_, err_};
  host::DialogManager dialogs_;
};

TEST_F(Alerts, EachCodeShowsItsMessageAndItsText) {
  struct Case {
    QxErr code;
    std::string message;
    std::string codeText;
  };
  const Case cases[] = {
      {-108, kMemoryMessage, "-108"},
      {271, kMemoryMessage, "271"},
      {QX_FOURCC('S', 'E', 'G', 'M'), kLayerMessage, "SEGM"},
      {QX_FOURCC('N', 'E', 'S', 'S'), kAnchorMessage, "NESS"},
      {QX_ERR_NO_SELECTION, kSelectionMessage, "!sel"},
      // Codes the list does not name: the closing "<Others>" message.
      {QX_FOURCC('A', 'B', 'C', 'D'), kUnknownMessage, "ABCD"},
      {QX_ERR_NO_MEMORY_BLOCK, kUnknownMessage, "!MEM"},
      {12345, kUnknownMessage, "12345"},
      {-1, kUnknownMessage, "-1"},
      // The ends of the decimal range, and the first codes past them.
      {65535, kUnknownMessage, "65535"},
      {-65536, kUnknownMessage, "-65536"},
      {0x41420000, kUnknownMessage, std::string("AB")},  // "AB\0\0" ends after two characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codeText);
    err_.str("");
    EXPECT_EQ(startupFailingWith(c.code), c.code) << "the code goes back to the host unchanged";
    EXPECT_EQ(err_.str(), errorShown(c.message, c.codeText));
  }
  EXPECT_EQ(runner_.modalRuns(), static_cast<int>(std::size(cases)));
}

TEST_F(Alerts, AnUnreadableEntryShowsNothing) {
  // -108 is the first code entry: read 1 is the code, read 2 its message.
  failNthCall(QX_ADM_BASIC_SUITE, "GetIndexString", 2, QX_ERR_BAD_PARAM);
  EXPECT_EQ(startupFailingWith(-108), -108);
  // A code entry that cannot be read ends the search with nothing to show.
  failNthCall(QX_ADM_BASIC_SUITE, "GetIndexString", 3, QX_ERR_BAD_PARAM);
  EXPECT_EQ(startupFailingWith(QX_FOURCC('N', 'E', 'S', 'S')), QX_FOURCC('N', 'E', 'S', 'S'));
  EXPECT_EQ(runner_.modalRuns(), 0);
  EXPECT_EQ(err_.str(), "");

  // A failing error dialog changes nothing for the host either.
  failNthCall(QX_ADM_DIALOG_SUITE, "Modal", 1, QX_ERR_BAD_PARAM);
  EXPECT_EQ(startupFailingWith(271), 271);
}

TEST_F(Alerts, BothDialogsCloseThroughThePassThroughNotification) {
  ASSERT_EQ(startup(), 0);
  resetCalls();
  EXPECT_EQ(about(), 0);
  const std::string lines = out_.str();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 8) << lines;
  EXPECT_EQ(lines.rfind("Quelvix\n", 0), 0u) << lines;
  EXPECT_NE(lines.find("Version "), lines.npos) << lines;

  EXPECT_EQ(send(QX_CALLER_MENU, QX_SELECTOR_GO), QX_ERR_NO_SELECTION);
  EXPECT_EQ(errorsShown(), errorShown(kSelectionMessage, "!sel"));

  // In both, the OK button got the plug-in's notification, which handed the
  // press on to the host's own handling, which closed the dialog with 1.
  EXPECT_EQ(runner_.modalRuns(), 2);
  EXPECT_EQ(calls(QX_ADM_ITEM_SUITE, "SetNotifyProc"), 2u);
  EXPECT_EQ(calls(QX_ADM_ITEM_SUITE, "DefaultNotify"), 2u);
}

}  // namespace
}  // namespace qx::test
