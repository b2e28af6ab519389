#include "host/session/desktop_entry.h"

namespace qx::host {
namespace {
DesktopEntry g_entry;
}

const DesktopEntry& desktopEntry() { return g_entry; }
void setDesktopEntry(const DesktopEntry& entry) { g_entry = entry; }

}  // namespace qx::host
