// The headless front end: replays a list of user actions on the settings
// dialog, each as a real event through the item's notify or track procedure,
// and reports every item's state. The error dialog and other dialogs built
// wholly from a template are shown as text and answered with OK.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/dialog_runner.h"

namespace qx::host {

// Template numbers the runner recognises.
inline constexpr int32_t kErrorDialogId = 16051;  // items 2 (message) and 3 (code text)
inline constexpr int32_t kAboutDialogId = 16050;

struct DialogAction {
  enum class Kind {
    SetValue,     // type `value` into spin edit `itemId`, then notify
    Toggle,       // click check box `itemId`: notify, the default handling toggles
    SetChecked,   // click check box `itemId` only when it is not already `checked`
    ChooseIndex,  // pick entry `index` of popup `itemId`, then notify
    ChooseId,     // pick the entry with identifier `entryId` of popup `itemId`, then notify
    ChooseText,   // pick the entry whose text is `text` of popup `itemId`, then notify
    Press,        // press button `itemId` (notify)
    Drag,         // mouse event on `itemId` at artwork point `point` with `modifiers`
    Confirm,      // end the run with 1
    Cancel,       // end the run with 2
  };
  Kind kind = Kind::Confirm;
  int32_t itemId = 0;
  double value = 0;
  bool checked = false;
  int32_t index = 0;
  int32_t entryId = 0;
  std::string text{};  // braced, so a designated initializer may leave it out
  QxRealPoint point{};
  int32_t modifiers = QX_MODIFIER_BUTTON_DOWN;

  static DialogAction setValue(int32_t itemId, double value);
  static DialogAction toggle(int32_t itemId);
  static DialogAction setChecked(int32_t itemId, bool checked);
  static DialogAction chooseIndex(int32_t itemId, int32_t index);
  static DialogAction chooseId(int32_t itemId, int32_t entryId);
  static DialogAction chooseText(int32_t itemId, std::string text);
  static DialogAction press(int32_t itemId);
  static DialogAction drag(int32_t itemId, QxRealPoint artworkPoint, int32_t modifiers = QX_MODIFIER_BUTTON_DOWN);
  static DialogAction confirm();
  static DialogAction cancel();
};

class ScriptedRunner : public DialogRunner {
 public:
  // Artwork point (points, y up) to the view point (pixels) a tracker reports;
  // false when the point has no pixel (the drag is then refused).
  using ViewMapper = std::function<bool(QxRealPoint, QxPoint*)>;

  struct Options {
    // Refuse (instead of clamping) a spin edit value outside the item's
    // limits, or a fraction for an integer spin edit.
    bool rejectOutOfRange = false;
    // Let actions change disabled items, which a person could not do.
    bool allowDisabled = false;
  };

  // Reports go to `out` (about box lines) and `err` (error dialog, alerts).
  ScriptedRunner();
  ScriptedRunner(std::ostream& out, std::ostream& err);
  ScriptedRunner(std::ostream& out, std::ostream& err, Options options);

  // Actions for the next settings dialog (the first dialog whose items the
  // plug-in creates); consumed by that run.
  void setActions(std::vector<DialogAction> actions) { actions_ = std::move(actions); }
  const std::vector<DialogAction>& actions() const { return actions_; }
  // How drags convert artwork points (the host maps them through its
  // document's view); without one the point is only rounded.
  void setViewMapper(ViewMapper mapper) { mapper_ = std::move(mapper); }

  int runModal(Dialog& dialog) override;
  void alert(const std::string& text) override;

  // The first action that could not be applied ("item 77 does not exist"),
  // empty when all applied. A failed action cancels the run (answer 2).
  const std::string& error() const { return error_; }
  bool failed() const { return !error_.empty(); }
  // Index of the action that failed, -1 when none.
  int failedAction() const { return failedAction_; }

  // Every item of the last settings dialog as it was when its run ended.
  const std::vector<ItemState>& lastState() const { return lastState_; }
  const std::string& lastCaption() const { return lastCaption_; }
  bool ranSettingsDialog() const { return ranSettings_; }
  // Number of modal runs and alerts seen.
  int modalRuns() const { return modalRuns_; }
  const std::vector<std::string>& alertsShown() const { return alerts_; }
  // Called with the dialog after initialisation, before any action (tests).
  void setOnOpen(std::function<void(Dialog&)> hook) { onOpen_ = std::move(hook); }
  // Called once the settings dialog is initialised, before any action, to
  // make the actions from what the live dialog shows (a front end's own words
  // resolved against its controls). False ends the run as cancelled, with
  // *why as the error and planFailed() true.
  using Planner = std::function<bool(Dialog& dialog, std::vector<DialogAction>* actions, std::string* why)>;
  void setPlanner(Planner planner) { planner_ = std::move(planner); }
  bool planFailed() const { return planFailed_; }

  // Apply one action to `dialog`; false and a reason in *why when it cannot
  // be applied (unknown item, wrong kind, missing entry, out of range).
  bool apply(Dialog& dialog, const DialogAction& action, std::string* why);

 private:
  int runTextDialog(Dialog& dialog);
  int runSettingsDialog(Dialog& dialog);
  bool toViewPoint(QxRealPoint point, QxPoint* view) const;

  std::ostream* out_;
  std::ostream* err_;
  Options options_;
  std::vector<DialogAction> actions_;
  ViewMapper mapper_;
  std::string error_;
  int failedAction_ = -1;
  std::vector<ItemState> lastState_;
  std::string lastCaption_;
  bool ranSettings_ = false;
  int modalRuns_ = 0;
  std::vector<std::string> alerts_;
  std::function<void(Dialog&)> onOpen_;
  Planner planner_;
  bool planFailed_ = false;
};

// One line per item for --print-settings and test failures:
// "id type visible/hidden enabled/disabled text value [entries]".
std::string describeItem(const ItemState& state);

}  // namespace qx::host
