// Filter registration and the menu's automatic update, kept in the plug-in
// host's filter registry.
#include <string>

#include "host/plugins/plugin_host.h"
#include "host/suites/all_suites.h"
#include "host/suites/guarded.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"

namespace qx::host {

namespace {

std::string fromLengthPrefixed(const unsigned char* text) {
  return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

// ---- "AI Filter Suite" ----
const OpId kAddFilter = registerOp(QX_FILTER_SUITE, "AddFilter");
const OpId kGetFilterMenuItem = registerOp(QX_FILTER_SUITE, "GetFilterMenuItem");

QxErr AddFilter(QxPluginRef self, const char* name, const QxPlatformFilterData* data, int32_t /*options*/,
                QxFilterHandle* filter) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kAddFilter);
    PluginHost* plugins = hostContext().plugins;
    if (!plugins || !name || !data || !data->category || !data->title || !filter) return QX_ERR_BAD_PARAM;
    LoadedPlugin* plugin = plugins->fromRef(self);
    if (!plugin || data->title[0] == 0) return QX_ERR_BAD_PARAM;
    RegisteredFilter& added = plugins->addFilter(plugin);
    added.name = name;
    added.category = fromLengthPrefixed(data->category);
    added.title = fromLengthPrefixed(data->title);
    *filter = added.handle;
    return QX_ERR_NONE;
  });
}

QxErr GetFilterMenuItem(QxFilterHandle filter, QxMenuItemHandle* menuItem) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetFilterMenuItem);
    PluginHost* plugins = hostContext().plugins;
    if (!plugins || !menuItem) return QX_ERR_BAD_PARAM;
    RegisteredFilter* found = plugins->findFilter(filter);
    if (!found) return QX_ERR_BAD_PARAM;
    *menuItem = found->menuItem;
    return QX_ERR_NONE;
  });
}

const QxFilterSuite kFilterSuite = {AddFilter, GetFilterMenuItem};

// ---- "AI Menu Suite" ----
const OpId kUpdateMenuItemAutomatically = registerOp(QX_MENU_SUITE, "UpdateMenuItemAutomatically");

QxErr UpdateMenuItemAutomatically(QxMenuItemHandle item, int32_t action, int32_t ifObjectIsInArtwork,
                                  int32_t ifObjectIsNotInArtwork, int32_t ifObjectIsSelected,
                                  int32_t ifObjectIsNotSelected, int32_t ifIsTrue, int32_t ifIsNotTrue) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kUpdateMenuItemAutomatically);
    PluginHost* plugins = hostContext().plugins;
    if (!plugins) return QX_ERR_BAD_PARAM;
    RegisteredFilter* found = plugins->findFilterByMenuItem(item);
    if (!found) return QX_ERR_BAD_PARAM;
    const int32_t values[7] = {
        action,   ifObjectIsInArtwork, ifObjectIsNotInArtwork, ifObjectIsSelected, ifObjectIsNotSelected,
        ifIsTrue, ifIsNotTrue};
    found->autoUpdate = true;
    for (int i = 0; i < 7; ++i) found->autoUpdateValues[i] = values[i];
    return QX_ERR_NONE;
  });
}

const QxMenuSuite kMenuSuite = {UpdateMenuItemAutomatically};

}  // namespace

void registerFilterMenuSuites(SuiteRegistry& registry) {
  registry.add(QX_FILTER_SUITE, QX_FILTER_SUITE_VERSION, &kFilterSuite);
  registry.add(QX_MENU_SUITE, QX_MENU_SUITE_VERSION, &kMenuSuite);
}

}  // namespace qx::host
