// Shared by the "ADM" suite files: the checked way from a reference in the
// C interface to the host's dialog model, and the text copy every GetText uses.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "host/dialogs/dialog_manager.h"
#include "host/plugins/plugin_host.h"
#include "host/plugins/plugin_resources.h"
#include "host/suites/host_context.h"
#include "qx_adm.h"

namespace qx::host::adm {

// The host's dialog manager; nullptr when the host has none.
inline DialogManager* manager() { return hostContext().dialogs; }

// The live object behind a reference; nullptr for a stale or foreign one, or
// when the host has no dialog manager.
inline Item* itemOf(QxItemRef ref) {
  DialogManager* m = manager();
  return m ? m->item(ref) : nullptr;
}

inline Dialog* dialogOf(QxDialogRef ref) {
  DialogManager* m = manager();
  return m ? m->dialog(ref) : nullptr;
}

// The resources of a loaded plug-in; nullptr for an unknown reference.
inline const PluginResources* resourcesOf(QxPluginRef plugin) {
  PluginHost* plugins = hostContext().plugins;
  if (!plugins) return nullptr;
  const LoadedPlugin* loaded = plugins->fromRef(plugin);
  return loaded ? plugins->resources(loaded) : nullptr;
}

// Copy `text` zero-terminated, cut to size - 1 bytes; QX_ERR_BAD_PARAM for a
// NULL buffer or a size below 1.
inline QxErr copyText(const std::string& text, char* buffer, int32_t size) {
  if (!buffer || size < 1) return QX_ERR_BAD_PARAM;
  size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return QX_ERR_NONE;
}

// The function tables of the suites kept in adm_list_suites.cpp.
extern const QxAdmListSuite kListSuite;
extern const QxAdmEntrySuite kEntrySuite;
extern const QxAdmTrackerSuite kTrackerSuite;
extern const QxAdmNotifierSuite kNotifierSuite;
extern const QxAdmIconSuite kIconSuite;

}  // namespace qx::host::adm
