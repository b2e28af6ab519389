// What a person does in the settings dialog, as the command line and script
// files name it: parsed and checked against the dialog's controls before any
// plug-in runs, then replayed by the scripted runner as real events.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/cli/dialog_fields.h"

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

struct UserAction {
  ActionKind kind = ActionKind::Shuffle;
  const DialogField* field = nullptr;  // the field concerned, when there is one
  int32_t controlId = 0;               // the control acted on
  double value = 0;
  double x = 0, y = 0;
  std::string text;  // the action as written, for messages
};

// What the checks need to know about the document the run will draw into.
struct ActionLimits {
  int swatchCount = 0;  // upper limit of the swatch spin edits
};

// One action from its verb ("set", "preset", "tumble", "shuffle", "adjust",
// "page-tab", "no-preview", "cancel"; a leading "--" is allowed) and its
// argument ("" for verbs without one). nullopt and a one-line reason naming
// what is allowed when the verb, field, value or entry is not valid.
std::optional<UserAction> parseAction(std::string_view verb, std::string_view argument,
                                        const ActionLimits& limits, std::string* error);

// The actions of a script: one a line as "verb argument", blank lines and
// text after '#' ignored. False and "where: why" in *error on the first bad
// line; `origin` names the script in messages.
bool parseScript(std::string_view text, std::string_view origin, const ActionLimits& limits,
                 std::vector<UserAction>* actions, std::string* error);

// False and a reason when the sequence cannot be replayed as given (an action
// after "cancel").
bool checkActionOrder(const std::vector<UserAction>& actions, std::string* error);

}  // namespace qx::cli
