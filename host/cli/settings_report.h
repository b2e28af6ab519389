// The settings dialog's controls as text, grouped by page, for
// `quelvix render --print-settings`.
#pragma once

#include <string>
#include <vector>

#include "host/cli/dialog_catalogue.h"
#include "host/dialogs/dialog_manager.h"

namespace qx::cli {

// One heading per page of `catalogue` (its caption, then "On every page"),
// the current page marked, and under it one line per control:
// "  label [field]: value", with "(disabled)" after a disabled one. Values
// come from `items` and read as the dialog shows them: on/off, whole numbers,
// reals with the control's decimals, the chosen entry's text.
std::string formatSettings(const DialogCatalogue& catalogue, const std::vector<host::ItemState>& items);

}  // namespace qx::cli
