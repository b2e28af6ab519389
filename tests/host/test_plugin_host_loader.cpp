// Finding and loading plug-in files: only a library whose resources carry a
// sound property list is loaded, and every refusal names the file and why.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/plugins/plugin_host.h"
#include "host/session/host_services.h"
#include "host/plugins/plugin_resources.h"
#include "host/suites/host_context.h"
#include "support/elf_file.h"

namespace qx::host {
namespace {

namespace fs = std::filesystem;

class PluginLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("qx-loader-" + std::to_string(getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    services_ = std::make_unique<HostServices>();
    host_ = &services_->plugins();
  }
  void TearDown() override {
    services_.reset();
    fs::remove_all(dir_);
  }

  // A copy of the real plug-in with one byte pattern of its resources changed.
  std::string patchedCopy(const std::string& name, const std::vector<uint8_t>& from, const std::vector<uint8_t>& to) {
    std::vector<uint8_t> bytes = test::readBytes(QX_PLUGIN_FILE);
    auto resources = test::sectionRange(bytes, ".qxres");
    EXPECT_TRUE(resources.has_value());
    if (!resources) return {};
    EXPECT_TRUE(test::patchInRange(bytes, *resources, from, to)) << name;
    std::string path = (dir_ / name).string();
    EXPECT_TRUE(test::writeBytes(path, bytes));
    return path;
  }

  // Loading `path` fails with one line that starts with the path.
  std::string refusal(const std::string& path) {
    std::string error;
    LoadedPlugin* plugin = host_->load(path, &error);
    EXPECT_EQ(plugin, nullptr) << path;
    EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
  }

  static std::vector<uint8_t> bytes(std::initializer_list<uint8_t> list) { return list; }
  static std::vector<uint8_t> text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

  fs::path dir_;
  std::unique_ptr<HostServices> services_;
  PluginHost* host_ = nullptr;
};

TEST_F(PluginLoader, LoadsTheShippedPluginByItsPropertyList) {
  std::string error;
  LoadedPlugin* plugin = host_->load(QX_PLUGIN_FILE, &error);
  ASSERT_NE(plugin, nullptr) << error;
  EXPECT_TRUE(host_->isLoaded(plugin));
  const PluginPropertyList* properties = host_->propertyList(plugin);
  ASSERT_NE(properties, nullptr);
  EXPECT_EQ(properties->kind, "SPEA");
  EXPECT_EQ(properties->interfaceVersion, 2);
  EXPECT_EQ(properties->entryPoint, "PluginMain");
  EXPECT_EQ(properties->bytes.size(), 79u);
  EXPECT_EQ(host_->fromRef(host_->ref(plugin)), plugin);
  EXPECT_EQ(host_->fromRef(reinterpret_cast<QxPluginRef>(&error)), nullptr);

  EXPECT_NE(refusal(QX_PLUGIN_FILE).find("already loaded"), std::string::npos);
}

TEST_F(PluginLoader, RefusesFilesThatAreNotPlugins) {
  refusal((dir_ / "missing.aip").string());

  std::string notLibrary = (dir_ / "notes.aip").string();
  std::ofstream(notLibrary) << "these are not the bytes of a library\n";
  refusal(notLibrary);

  // A real library, but one without resources.
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&dlopen), &info), 0);
  std::string bare = (dir_ / "bare.aip").string();
  ASSERT_TRUE(test::writeBytes(bare, test::readBytes(info.dli_fname)));
  refusal(bare);
}

TEST_F(PluginLoader, RefusesAWrongPropertyList) {
  // 'ADBE' 'kind' 0 4 'SPEA', as stored: little-endian words.
  const auto kindProperty = bytes({'E', 'B', 'D', 'A', 'd', 'n', 'i', 'k', 0, 0, 0, 0, 4, 0, 0, 0, 'A', 'E', 'P', 'S'});
  auto otherKind = kindProperty;
  otherKind[16] = 'X';
  std::string error = refusal(patchedCopy("kind.aip", kindProperty, otherKind));
  EXPECT_NE(error.find("kind"), std::string::npos) << error;

  const auto versionProperty = bytes({'E', 'B', 'D', 'A', 's', 'r', 'v', 'i', 0, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0});
  auto otherVersion = versionProperty;
  otherVersion[16] = 3;
  error = refusal(patchedCopy("version.aip", versionProperty, otherVersion));
  EXPECT_NE(error.find("interface version 3"), std::string::npos) << error;

  error = refusal(patchedCopy("entry.aip", text("PluginMain"), text("PluginMaix")));
  EXPECT_NE(error.find("PluginMaix"), std::string::npos) << error;
  EXPECT_NE(error.find("not exported"), std::string::npos) << error;
}

TEST_F(PluginLoader, FindsOnlyPluginFilesInSortedOrder) {
  for (const char* name : {"b.aip", "a.aip", "readme.txt", "c.AIPX"}) std::ofstream(dir_ / name) << "x";
  fs::create_directories(dir_ / "folder.aip");
  std::vector<std::string> expected = {(dir_ / "a.aip").string(), (dir_ / "b.aip").string()};
  EXPECT_EQ(PluginHost::findPluginFiles(dir_.string()), expected);
  EXPECT_TRUE(PluginHost::findPluginFiles((dir_ / "nowhere").string()).empty());
}

TEST(PluginLibrary, ExportsPluginMainAlone) {
  auto names = test::exportedSymbols(test::readBytes(QX_PLUGIN_FILE));
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(*names, std::vector<std::string>{"PluginMain"});
}

}  // namespace
}  // namespace qx::host
