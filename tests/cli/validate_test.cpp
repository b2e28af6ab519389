// `quelvix validate`: every scenario passes on our plug-in and the report
// gives its counts; a library that crashes while loading is a failure of its
// own, and the validator itself goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "quelvix_process.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

TEST(Validate, EveryScenarioPassesOnOurPlugInAndTheReportCounts) {
  QuelvixSandbox box;
  const ProcessResult r = box.run({"validate", "--plugins", QX_PLUGIN_DIR, "--strictness", "2", "--seed", "9"});
  ASSERT_EQ(r.status, 0) << r.describe();
  for (const char* scenario : {"load cycles", "messages", "dialog sessions", "fault injection", "extreme records"})
    EXPECT_NE(r.out.find(std::string("  ") + scenario + ": passed ("), std::string::npos) << scenario << '\n'
                                                                                          << r.describe();
  EXPECT_NE(r.out.find("5 scenarios, 0 failed; "), std::string::npos) << r.describe();
  EXPECT_NE(r.out.find(" injected faults, "), std::string::npos);
  EXPECT_EQ(r.out.find("dialog sessions: passed (0 messages"), std::string::npos) << "the sessions acted";
}

TEST(Validate, ABrokenLibraryFailsAndBadOptionsAreRefused) {
  QuelvixSandbox box;
  fs::create_directories(box.path("plugins"));
  std::ifstream in(QX_PLUGIN_FILE, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::string broken = bytes.str();
  broken.resize(broken.size() / 3);  // cut short: no loader takes it
  box.write("plugins/broken.aip", broken);
  box.write("plugins/good.aip", bytes.str());
  const ProcessResult r = box.run({"validate", "--plugins", box.path("plugins"), "--strictness", "1"});
  EXPECT_EQ(r.status, 1) << r.describe();
  EXPECT_NE(r.out.find("broken.aip: FAILED: "), std::string::npos) << r.describe();
  EXPECT_NE(r.out.find("  dialog sessions: passed"), std::string::npos) << "the good library is still validated";

  for (const std::vector<std::string>& args : {std::vector<std::string>{"validate", "--strictness", "11"},
                                               {"validate", "--seed", "x"},
                                               {"validate", "--plugins", box.path("nowhere")}}) {
    const ProcessResult bad = box.run(args);
    EXPECT_EQ(bad.status, 2) << bad.describe();
    EXPECT_EQ(bad.errLines().size(), 1u) << bad.describe();
  }
}

}  // namespace
}  // namespace qx::test
