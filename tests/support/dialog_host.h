// A test host for the settings dialog: the real plug-in, a document, a
// seeded or scripted random source, and the dialog manager with the scripted
// runner. A test opens the dialog with "AI Get Parameters" and acts on it, as
// a user would, from inside the modal run.
#pragma once

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/scripted_runner.h"
#include "host/document/document.h"
#include "host/document/random_source.h"
#include "plugin/filter/parameters.h"
#include "support/test_host.h"

namespace qx::test {

// The settings dialog's page buttons are 90 to 93 for pages 1 to 4.
inline host::DialogAction switchPage(int32_t page) { return host::DialogAction::press(89 + page); }

class DialogHost : public TestHost {
 protected:
  using Action = host::DialogAction;
  using During = std::function<void(host::Dialog&)>;

  void SetUp() override;

  // Send "AI Get Parameters": `during` runs once the dialog is built, then the
  // dialog is confirmed (or cancelled). Answers the filter message's code.
  QxErr open(During during = {}, bool confirm = true);
  QxErr openAndCancel(During during = {}) { return open(std::move(during), false); }
  QxErr go() { return sendFilter("AI Go"); }

  // Apply one user action to the open dialog; fails the test when the runner
  // refuses it.
  void act(host::Dialog& dialog, const Action& action);
  // Like act(), but a refusal is returned instead of failing the test.
  bool tryAct(host::Dialog& dialog, const Action& action, std::string* why = nullptr);
  // The record as the dialog sees it now (its user data).
  static const FilterParameters& live(host::Dialog& dialog);
  static host::Item& item(host::Dialog& dialog, int32_t id);

  // The filter's parameter block (all zeros before the first use).
  FilterParameters block();
  void setBlock(const FilterParameters& params);
  // The record's defaults, as a first use writes them.
  static FilterParameters defaults();
  // Every setting (the fields before the run-time flags) but the reserved word.
  static void expectSameSettings(FilterParameters got, FilterParameters want);

  // Serve `values` (each in [0, 1)) as the next random draws, followed by
  // `fill` for whatever a preview draws afterwards.
  void script(std::vector<QxReal> values, QxReal fill = 0.25f);
  uint64_t draws() const { return random_.served(); }
  // Generator runs since construction, counted by the undo each one begins with.
  static uint64_t generatorRuns();

  // The document's top-level art as a list of numbers (types, segment points
  // and opacity), so two drawings can be compared.
  std::vector<double> drawing() const;
  size_t artCount() const { return doc_.art().topLevelArt().size(); }

  host::Document doc_;
  host::RandomSource random_{11};
  host::DialogManager dialogs_;
  std::ostringstream out_, err_;
  host::ScriptedRunner runner_{out_, err_};
};

}  // namespace qx::test
