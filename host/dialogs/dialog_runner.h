// The front end of modal dialogs. The dialog manager builds the dialog and
// calls its initialisation; the runner then owns the modal run until an item
// closes it (the Qt app shows widgets, the scripted runner replays actions).
#pragma once

#include <cstdint>
#include <string>

namespace qx::host {

class Dialog;

class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  // Run `dialog` (already initialised) until it closes; answers the number of
  // the closing item: 1 for the default item (OK), 2 for Cancel. A runner ends
  // the run when dialog.ended() becomes true during an event and answers
  // dialog.itemHit() then.
  virtual int runModal(Dialog& dialog) = 0;
  // Show `text` in a modal alert with an OK button.
  virtual void alert(const std::string& text) = 0;
};

}  // namespace qx::host
