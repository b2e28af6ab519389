// What the host keeps for a loaded plug-in: the globals slot across a real
// unload and reload, the filter registry, parameter blocks, and the services
// it offers to the plug-in's own identity (string lists, its file).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "host/dialogs/dialog_manager.h"
#include "host/plugins/memory_store.h"
#include "host/suites/suite_registry.h"
#include "support/test_host.h"

namespace qx::test {
namespace {

bool libraryMapped() {
  void* handle = dlopen(QX_PLUGIN_FILE, RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return false;
  dlclose(handle);  // drop the reference RTLD_NOLOAD took
  return true;
}

template <typename Suite>
const Suite* acquire(const char* name, int32_t version) {
  const void* table = nullptr;
  EXPECT_EQ(host::hostContext().suites->acquire(name, version, &table), 0) << name;
  return static_cast<const Suite*>(table);
}

using PluginHostMessages = TestHost;

TEST_F(PluginHostMessages, UnloadUnmapsTheLibraryAndReloadKeepsTheGlobals) {
  ASSERT_EQ(startup(), 0);
  ASSERT_TRUE(libraryMapped());
  EXPECT_EQ(globalsSlot(), nullptr) << "the slot is written only on Unload";

  ASSERT_EQ(unload(), 0);
  EXPECT_FALSE(libraryMapped()) << "dlclose must really unmap the plug-in";
  EXPECT_FALSE(host().isLoaded(plugin()));
  void* kept = globalsSlot();
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(host::blockLabel(kept), "globals") << "the slot holds the plug-in's globals block";
  EXPECT_EQ(send(QX_CALLER_INTERFACE, "Anything"), QX_ERR_BAD_PARAM) << "no message reaches an unmapped library";
  EXPECT_EQ(unload(), QX_ERR_BAD_PARAM);

  ASSERT_EQ(reload(), 0);
  EXPECT_TRUE(libraryMapped());
  EXPECT_EQ(reload(), QX_ERR_BAD_PARAM) << "already mapped";
  EXPECT_EQ(globalsSlot(), kept);

  // The reloaded library found its globals: Shutdown frees that very block.
  ASSERT_EQ(shutdown(), 0);
  EXPECT_EQ(host::blockLabel(kept), "");
  EXPECT_EQ(globalsSlot(), nullptr);
  EXPECT_TRUE(nothingLeaked());
}

TEST_F(PluginHostMessages, UnloadIsRefusedWhileAMessageRuns) {
  QxErr nested = 0;
  onNthCall(QX_MENU_SUITE, "UpdateMenuItemAutomatically", 1, [&] { nested = unload(); });
  ASSERT_EQ(startup(), 0);
  EXPECT_EQ(nested, QX_ERR_BAD_PARAM);
  EXPECT_TRUE(host().isLoaded(plugin()));
}

TEST_F(PluginHostMessages, TellsObserversOnlyOfTheOutermostMessage) {
  struct Counter : host::MessageObserver {
    int begins = 0, ends = 0;
    void outermostMessageBegins() noexcept override { ++begins; }
    void outermostMessageEnds() noexcept override { ++ends; }
  } counter;
  host().addObserver(&counter);
  int depthInside = 0;
  onNthCall(QX_MENU_SUITE, "UpdateMenuItemAutomatically", 1, [&] {
    EXPECT_EQ(send(QX_CALLER_MENU, QX_SELECTOR_UPDATE), 0);
    depthInside = host().messageDepth();
  });
  ASSERT_EQ(startup(), 0);
  EXPECT_EQ(counter.begins, 1);
  EXPECT_EQ(counter.ends, 1);
  EXPECT_EQ(depthInside, 1);
  EXPECT_EQ(host().messageDepth(), 0);
  ASSERT_EQ(send("Unknown Caller", "Unknown"), 0);
  EXPECT_EQ(counter.begins, 2);
  EXPECT_EQ(counter.ends, 2);
  host().removeObserver(&counter);  // the counter ends with this test, before the host's shutdown
}

TEST_F(PluginHostMessages, ShutdownDropsThePluginsFiltersAndTheirBlocks) {
  ASSERT_EQ(startup(), 0);
  ASSERT_NE(filter(), nullptr);
  const long handlesBefore = extraHandles();
  ASSERT_EQ(host().setFilterParameters(*filter(), std::vector<uint8_t>(236, 7)), 0);
  ASSERT_EQ(host().setFilterParameters(*filter(), std::vector<uint8_t>(236, 9)), 0);
  EXPECT_EQ(extraHandles(), handlesBefore + 1) << "a replaced block is disposed";
  auto bytes = host().filterParameters(*filter());
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, std::vector<uint8_t>(236, 9));

  ASSERT_EQ(shutdown(), 0);
  EXPECT_TRUE(host().filters().empty());
  EXPECT_TRUE(nothingLeaked());
}

TEST_F(PluginHostMessages, FilterSuiteValidatesAndDecodesRegistrations) {
  auto* filters = acquire<QxFilterSuite>(QX_FILTER_SUITE, QX_FILTER_SUITE_VERSION);
  auto* menus = acquire<QxMenuSuite>(QX_MENU_SUITE, QX_MENU_SUITE_VERSION);
  unsigned char category[] = "\x05Tools";
  unsigned char title[] = "\x07Lines..";
  unsigned char empty[] = "";
  QxPlatformFilterData data{category, title};
  QxFilterHandle handle = nullptr;

  EXPECT_EQ(filters->AddFilter(pluginRef(), nullptr, &data, 0, &handle), QX_ERR_BAD_PARAM);
  EXPECT_EQ(filters->AddFilter(pluginRef(), "Lines", nullptr, 0, &handle), QX_ERR_BAD_PARAM);
  EXPECT_EQ(filters->AddFilter(reinterpret_cast<QxPluginRef>(&data), "Lines", &data, 0, &handle), QX_ERR_BAD_PARAM);
  QxPlatformFilterData noTitle{category, empty};
  EXPECT_EQ(filters->AddFilter(pluginRef(), "Lines", &noTitle, 0, &handle), QX_ERR_BAD_PARAM);
  EXPECT_TRUE(host().filters().empty());

  ASSERT_EQ(filters->AddFilter(pluginRef(), "Lines", &data, 0, &handle), 0);
  host::RegisteredFilter* registered = host().findFilter(handle);
  ASSERT_NE(registered, nullptr);
  EXPECT_EQ(registered->name, "Lines");
  EXPECT_EQ(registered->category, "Tools");
  EXPECT_EQ(registered->title, "Lines..") << "exactly the length byte's count of characters";

  QxMenuItemHandle item = nullptr;
  EXPECT_EQ(filters->GetFilterMenuItem(reinterpret_cast<QxFilterHandle>(&data), &item), QX_ERR_BAD_PARAM);
  ASSERT_EQ(filters->GetFilterMenuItem(handle, &item), 0);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(menus->UpdateMenuItemAutomatically(nullptr, 1, 0, 0, 0, 0, 1, 0), QX_ERR_BAD_PARAM);
  ASSERT_EQ(menus->UpdateMenuItemAutomatically(item, 1, 2, 3, 4, 5, 6, 7), 0);
  registered = host().findFilter(handle);
  EXPECT_TRUE(registered->autoUpdate);
  EXPECT_EQ(std::vector<int32_t>(registered->autoUpdateValues, registered->autoUpdateValues + 7),
            (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));
  context().suites->release(QX_FILTER_SUITE, QX_FILTER_SUITE_VERSION);
  context().suites->release(QX_MENU_SUITE, QX_MENU_SUITE_VERSION);
}

TEST_F(PluginHostMessages, AdmBasicSuiteServesStringListsAndAlerts) {
  auto* adm = acquire<QxAdmBasicSuite>(QX_ADM_BASIC_SUITE, QX_ADM_BASIC_SUITE_VERSION);
  char buffer[65];
  ASSERT_EQ(adm->GetIndexString(pluginRef(), 16000, 1, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "Torvik <Create>");
  ASSERT_EQ(adm->GetIndexString(pluginRef(), 16000, 2, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "Quelvix...");
  ASSERT_EQ(adm->GetIndexString(pluginRef(), 16050, 9, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "!sel") << "entry i of list N is string N + i";

  std::strcpy(buffer, "stale");
  ASSERT_EQ(adm->GetIndexString(pluginRef(), 16000, 3, buffer, sizeof buffer), 0) << "a missing entry succeeds";
  EXPECT_STREQ(buffer, "");
  ASSERT_EQ(adm->GetIndexString(pluginRef(), 0x7FFFFFFF, 5, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  ASSERT_EQ(adm->GetIndexString(pluginRef(), 16000, 1, buffer, 7), 0);
  EXPECT_STREQ(buffer, "Torvik") << "cut to bufferSize - 1";
  ASSERT_EQ(adm->GetIndexString(pluginRef(), 16000, 1, buffer, 1), 0);
  EXPECT_STREQ(buffer, "");

  EXPECT_EQ(adm->GetIndexString(pluginRef(), 16000, 1, buffer, 0), QX_ERR_BAD_PARAM);
  EXPECT_EQ(adm->GetIndexString(pluginRef(), 16000, 1, nullptr, 8), QX_ERR_BAD_PARAM);
  EXPECT_EQ(adm->GetIndexString(reinterpret_cast<QxPluginRef>(buffer), 16000, 1, buffer, 8), QX_ERR_BAD_PARAM);

  host::DialogManager dialogs;
  context().dialogs = &dialogs;
  ASSERT_EQ(adm->MessageAlert("Suite Loading Error"), 0);
  EXPECT_EQ(dialogs.alerts(), std::vector<std::string>{"Suite Loading Error"});
  EXPECT_EQ(adm->MessageAlert(nullptr), QX_ERR_BAD_PARAM);
  context().dialogs = nullptr;
  context().suites->release(QX_ADM_BASIC_SUITE, QX_ADM_BASIC_SUITE_VERSION);
}

TEST_F(PluginHostMessages, AccessSuiteGivesThePluginsFile) {
  auto* access = acquire<QxAccessSuite>(QX_ACCESS_SUITE, QX_ACCESS_SUITE_VERSION);
  char path[4096];
  ASSERT_EQ(access->GetPluginFilePath(pluginRef(), path, sizeof path), 0);
  EXPECT_STREQ(path, QX_PLUGIN_FILE);
  ASSERT_EQ(access->GetPluginFilePath(pluginRef(), path, 2), 0);
  EXPECT_EQ(std::strlen(path), 1u);
  EXPECT_EQ(access->GetPluginFilePath(nullptr, path, sizeof path), QX_ERR_BAD_PARAM);
  EXPECT_EQ(access->GetPluginFilePath(pluginRef(), path, 0), QX_ERR_BAD_PARAM);
  context().suites->release(QX_ACCESS_SUITE, QX_ACCESS_SUITE_VERSION);
}

}  // namespace
}  // namespace qx::test
