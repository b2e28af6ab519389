// "ADM Basic Suite": a plug-in's string lists and the plain text alert.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/dialogs/dialog_manager.h"
#include "host/plugins/plugin_host.h"
#include "host/plugins/plugin_resources.h"
#include "host/suites/all_suites.h"
#include "host/suites/guarded.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"

namespace qx::host {

namespace {

const OpId kGetIndexString = registerOp(QX_ADM_BASIC_SUITE, "GetIndexString");
const OpId kMessageAlert = registerOp(QX_ADM_BASIC_SUITE, "MessageAlert");

QxErr GetIndexString(QxPluginRef plugin, int32_t listId, int32_t index, char* buffer, int32_t bufferSize) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetIndexString);
    PluginHost* plugins = hostContext().plugins;
    if (!plugins || !buffer || bufferSize < 1) return QX_ERR_BAD_PARAM;
    const LoadedPlugin* loaded = plugins->fromRef(plugin);
    const PluginResources* resources = loaded ? plugins->resources(loaded) : nullptr;
    if (!resources) return QX_ERR_BAD_PARAM;
    // Entry i of list N is string N + i; numbers outside the string table's
    // range simply name no string.
    int64_t number = int64_t{listId} + index;
    std::string text;
    if (number >= 0 && number <= 0xFFFF) {
      if (auto found = resources->string(static_cast<uint32_t>(number))) text = *found;
    }
    size_t n = std::min(text.size(), static_cast<size_t>(bufferSize) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return QX_ERR_NONE;
  });
}

QxErr MessageAlert(const char* text) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMessageAlert);
    if (!text) return QX_ERR_BAD_PARAM;
    if (DialogManager* dialogs = hostContext().dialogs) {
      dialogs->alert(text);
    } else {
      std::fprintf(stderr, "%s\n", text);
    }
    return QX_ERR_NONE;
  });
}

const QxAdmBasicSuite kAdmBasicSuite = {GetIndexString, MessageAlert};

}  // namespace

void registerAdmBasicSuite(SuiteRegistry& registry) {
  registry.add(QX_ADM_BASIC_SUITE, QX_ADM_BASIC_SUITE_VERSION, &kAdmBasicSuite);
}

}  // namespace qx::host
