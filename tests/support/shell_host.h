// The test host with a headless dialog front end: alerts are kept, the error
// dialog's text goes to errors(), the about box's text to output(). For tests
// of the plug-in's shell (dispatch, start-up, failures).
#pragma once

#include <sstream>
#include <string>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/scripted_runner.h"
#include "support/test_host.h"

namespace qx::test {

class ShellHost : public TestHost {
 protected:
  ShellHost() : runner_(out_, err_) { dialogs_.setRunner(&runner_); }
  void SetUp() override {
    TestHost::SetUp();
    context().dialogs = &dialogs_;
  }

  // Texts of the plain alerts shown so far.
  const std::vector<std::string>& alerts() const { return dialogs_.alerts(); }
  std::string errors() const { return err_.str(); }
  std::string output() const { return out_.str(); }
  void clearTexts() {
    err_.str("");
    out_.str("");
  }
  // Error dialogs and about boxes run so far.
  static uint64_t modalRuns() { return calls(QX_ADM_DIALOG_SUITE, "Modal"); }

 private:
  std::ostringstream out_;
  std::ostringstream err_;
  host::ScriptedRunner runner_;
  host::DialogManager dialogs_;
};

}  // namespace qx::test
