// What a person does in the settings dialog, as the command line and script
// files name it. The form and the names are checked before any plug-in runs;
// the values are checked against the live dialog's controls when it opens,
// before any action is replayed by the scripted runner as a real event.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/cli/dialog_catalogue.h"

namespace qx::cli {

enum class ActionKind {
  SetCheck,     // tick (value 1) or untick (value 0) a check box
  SetInt,       // type an integer into a spin edit
  SetReal,      // type a real into a spin edit
  ChooseEntry,  // choose entry `value` of a popup
  Preset,       // choose entry `value` of the preset popup
  Tumble,       // press "Tumble"
  Shuffle,      // press "Shuffle"
  Adjust,       // drag the field's adjuster to the artwork point (x, y)
  PageTab,      // press page button `value` (1 to 4)
  Cancel        // press "Cancel"
};

// An action as written, its form and names checked.
struct PlannedAction {
  std::string verb;     // "set", "preset", "tumble", "shuffle", "adjust", "page-tab", "no-preview", "cancel"
  std::string name;     // the field named ("set", "adjust"; "presetIndex", "dialogPage", "preview" for the others)
  std::string value;    // the value as written
  double x = 0, y = 0;  // "adjust": the artwork point
  std::string text;     // the action as written ("--set lineSets=3"), for messages
  std::string where;    // "FILE:LINE: " for a script's line, else empty
};

// One action from its verb (a leading "--" is allowed) and its argument (""
// for verbs without one). nullopt and a one-line reason naming what is
// allowed when the verb or name is unknown or the form is wrong.
std::optional<PlannedAction> parseAction(std::string_view verb, std::string_view argument, std::string* error);

// The actions of a script: one a line as "verb argument", blank lines and
// text after '#' ignored. False and "where: why" in *error on the first bad
// line; `origin` names the script in messages.
bool parseScript(std::string_view text, std::string_view origin, std::vector<PlannedAction>* actions,
                 std::string* error);

// False and a reason when the sequence cannot be replayed as given (an action
// after "cancel").
bool checkActionOrder(const std::vector<PlannedAction>& actions, std::string* error);

struct UserAction {
  ActionKind kind = ActionKind::Shuffle;
  int32_t controlId = 0;  // the control acted on
  double value = 0;
  double x = 0, y = 0;
  std::string text;  // the action as written, for messages
};

// The action on the dialog `catalogue` describes. nullopt and a one-line
// reason ("--set lineSets=201: lineSets takes ...", after the script's
// "FILE:LINE: ") when the dialog has no such control or the value is not one
// the control takes.
std::optional<UserAction> resolveAction(const DialogCatalogue& catalogue, const PlannedAction& action,
                                        std::string* error);

}  // namespace qx::cli
