// The settings dialog's controls as text, grouped by page, for
// `quelvix render --print-settings`.
#pragma once

#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"

namespace qx::cli {

// One heading per page ("Lines", "Style", "Shapes", "Settings", then the
// controls on no page), the current page marked, and under it one line per
// control: "  label [field]: value", with "(disabled)" after a disabled one.
// Values read as the dialog shows them: on/off, whole numbers, reals with the
// control's decimals, the chosen entry's text.
std::string formatSettings(const std::vector<host::ItemState>& items);

}  // namespace qx::cli
