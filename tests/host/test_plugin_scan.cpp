// Plug-ins scanned in a child process: each way a scan can end (an answer,
// a crash, a hang, a wrong answer, a program that cannot run) gives its
// verdict, and verdicts worth keeping are cached by the file's size and time.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/session/plugin_scan.h"

namespace qx::host {
namespace {

namespace fs = std::filesystem;

class PluginScan : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("qx_scan_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    const char* old = std::getenv("XDG_CACHE_HOME");
    oldCache_ = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("XDG_CACHE_HOME", (dir_ / "cache").c_str(), 1);
    std::ofstream(dir_ / "lib.aip") << "a library";
  }
  void TearDown() override {
    if (oldCache_) ::setenv("XDG_CACHE_HOME", oldCache_->c_str(), 1);
    else ::unsetenv("XDG_CACHE_HOME");
    fs::remove_all(dir_);
  }
  // A stand-in for the scan mode: a shell script doing `body`.
  std::string program(const std::string& name, const std::string& body) {
    const fs::path path = dir_ / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << '\n';
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
  }
  std::string library() const { return (dir_ / "lib.aip").string(); }
  std::string cacheText() const {
    std::ifstream in(dir_ / "cache" / "quelvix" / "plugin-scan.tsv");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  std::optional<std::string> oldCache_;
};

TEST_F(PluginScan, EachWayAScanEndsGivesItsVerdict) {
  ScanVerdict v = scanPlugin(program("good", "echo 'filter\tA\tB\tC'; echo ok"), library());
  EXPECT_TRUE(v.passed) << v.reason;

  fs::remove_all(dir_ / "cache");
  v = scanPlugin(program("crash", "kill -SEGV $$"), library());
  EXPECT_FALSE(v.passed);
  EXPECT_EQ(v.reason.rfind("crashed while loading (signal 11", 0), 0u) << v.reason;

  fs::remove_all(dir_ / "cache");
  v = scanPlugin(program("hang", "exec sleep 30"), library(), 300);
  EXPECT_FALSE(v.passed);
  EXPECT_NE(v.reason.find("hung while loading"), std::string::npos) << v.reason;

  fs::remove_all(dir_ / "cache");
  v = scanPlugin(program("chatter", "echo hello"), library());
  EXPECT_FALSE(v.passed);
  EXPECT_EQ(v.reason, "answered the scan wrongly");

  fs::remove_all(dir_ / "cache");
  v = scanPlugin(program("refuse", "printf 'error\\tnot an ELF library\\n'; exit 1"), library());
  EXPECT_EQ(v.reason, "not an ELF library");

  fs::remove_all(dir_ / "cache");
  v = scanPlugin(program("loader", "exit 127"), library());
  EXPECT_EQ(v.reason, "failed while loading (exit status 127)");

  fs::remove_all(dir_ / "cache");
  v = scanPlugin((dir_ / "no-such-program").string(), library());
  EXPECT_FALSE(v.passed);
  EXPECT_EQ(v.reason.rfind("cannot start the scan", 0), 0u) << v.reason;
}

TEST_F(PluginScan, VerdictsAreCachedUntilTheFileChanges) {
  const std::string crash = program("crash", "kill -SEGV $$");
  EXPECT_FALSE(scanPlugin(crash, library()).cached);
  EXPECT_NE(cacheText().find("\tfailed\tcrashed while loading"), std::string::npos) << cacheText();
  // The same file again: the cache answers, whatever the program would say now.
  ScanVerdict again = scanPlugin(program("good", "echo ok"), library());
  EXPECT_TRUE(again.cached);
  EXPECT_FALSE(again.passed);
  // A new version of the file is scanned afresh and replaces the entry.
  std::ofstream(dir_ / "lib.aip") << "a longer, newer library";
  ScanVerdict fresh = scanPlugin(program("good", "echo ok"), library());
  EXPECT_FALSE(fresh.cached);
  EXPECT_TRUE(fresh.passed);
  EXPECT_EQ(cacheText().find("crashed"), std::string::npos) << "one entry per file";

  // A hang or a program that cannot run is not kept: the next start tries again.
  fs::remove_all(dir_ / "cache");
  (void)scanPlugin(program("hang", "exec sleep 30"), library(), 200);
  EXPECT_EQ(cacheText(), "");
}

}  // namespace
}  // namespace qx::host
