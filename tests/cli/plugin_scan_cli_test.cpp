// Broken plug-ins in the folder: `quelvix info` scans each library in a
// child process, lists every one that fails with one line, and never falls
// over itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "quelvix_process.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PluginScanCli, CorruptedCopiesNeverCrashInfoAndEachBadOneGetsOneLine) {
  QuelvixSandbox box;
  const std::string original = readAll(QX_PLUGIN_FILE);
  ASSERT_FALSE(original.empty());
  fs::create_directories(box.path("plugins"));
  std::mt19937 random(20261209);
  constexpr int kCopies = 60;
  for (int i = 0; i < kCopies; ++i) {
    std::string bytes = original;
    for (int flip = 0; flip < 4; ++flip) bytes[random() % bytes.size()] ^= static_cast<char>(1u << (random() % 8));
    std::ofstream(box.path("plugins/copy" + std::to_string(100 + i) + ".aip"), std::ios::binary) << bytes;
  }
  // The original too, so the folder always has a plug-in that works.
  std::ofstream(box.path("plugins/good.aip"), std::ios::binary) << original;

  const ProcessResult first = box.run({"info", "--plugins", box.path("plugins")});
  ASSERT_TRUE(first.status == 0 || first.status == 1) << first.describe();
  EXPECT_NE(first.out.find("good.aip ("), std::string::npos) << first.describe();
  for (int i = 0; i < kCopies; ++i) {
    const std::string name = "copy" + std::to_string(100 + i) + ".aip";
    const bool listed = first.out.find(name + " (") != std::string::npos;
    const auto lines = first.errLines();
    const auto complaints = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.find(name) != std::string::npos && line.ends_with("; skipped");
    });
    EXPECT_TRUE(listed != (complaints == 1))
        << name << " is listed " << listed << " and skipped " << complaints << " times\n"
        << first.describe();
  }
  EXPECT_NE(first.out.find("  scan: passed\n"), std::string::npos);

  // The next start takes the verdicts from the cache and says the same.
  const ProcessResult second = box.run({"info", "--plugins", box.path("plugins")});
  EXPECT_EQ(second.status, first.status);
  EXPECT_EQ(second.err, first.err);
  EXPECT_NE(second.out.find("  scan: passed (cached)\n"), std::string::npos);
}

}  // namespace
}  // namespace qx::test
