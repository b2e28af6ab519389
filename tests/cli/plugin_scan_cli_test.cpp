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

  // The next start takes the verdicts from the cache and says the same. A
  // copy that ran out of time is not kept (on a busy machine a slow failure
  // looks like a hang), so it is scanned again and may end differently; it
  // must still be skipped with one line.
  const ProcessResult second = box.run({"info", "--plugins", box.path("plugins")});
  EXPECT_EQ(second.status, first.status);
  const auto settled = [](const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines)
      kept.push_back(line.find(": hung while loading (") != std::string::npos
                         ? line.substr(0, line.find(": hung while loading ("))
                         : line);
    return kept;
  };
  auto firstLines = settled(first.errLines());
  auto secondLines = second.errLines();
  ASSERT_EQ(secondLines.size(), firstLines.size()) << second.describe();
  for (size_t i = 0; i < secondLines.size(); ++i) {
    if (firstLines[i] == secondLines[i]) continue;
    // Only a copy that hung the first time may give another verdict.
    EXPECT_EQ(secondLines[i].rfind(firstLines[i] + ": ", 0), 0u) << secondLines[i] << "\nwas\n" << firstLines[i];
    EXPECT_TRUE(secondLines[i].ends_with("; skipped")) << secondLines[i];
  }
  EXPECT_NE(second.out.find("  scan: passed (cached)\n"), std::string::npos);
}

}  // namespace
}  // namespace qx::test
