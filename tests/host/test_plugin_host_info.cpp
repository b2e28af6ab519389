// `quelvix info` and `quelvix about`, run as a person would run them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct CommandRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string slurp(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class InfoCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("qx-info-" + std::to_string(getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "plugins");
  }
  void TearDown() override { fs::remove_all(dir_); }

  CommandRun quelvix(const std::string& args) {
    const fs::path out = dir_ / "out.txt", err = dir_ / "err.txt";
    const std::string command = std::string(QX_QUELVIX_EXE) + " " + args + " >" + out.string() + " 2>" + err.string();
    CommandRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    return run;
  }
  fs::path dir_;
};

TEST_F(InfoCommand, ListsTheFilterAndThePropertyList) {
  CommandRun run = quelvix("info --plugins " + std::string(QX_PLUGIN_DIR));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("filter: Torvik <Create> > Quelvix... (name \"Quelvix\")"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("kind SPEA, interface version 2, entry point PluginMain"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Lines / lattices"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST_F(InfoCommand, NamesTheFileAndTheReasonForEveryRefusal) {
  CommandRun empty = quelvix("info --plugins " + (dir_ / "plugins").string());
  EXPECT_NE(empty.status, 0);
  EXPECT_NE(empty.err.find("no plug-in"), std::string::npos) << empty.err;

  CommandRun missing = quelvix("info --plugins " + (dir_ / "nowhere").string());
  EXPECT_NE(missing.status, 0);
  EXPECT_NE(missing.err.find("no such folder"), std::string::npos) << missing.err;

  const fs::path bad = dir_ / "plugins" / "broken.aip";
  std::ofstream(bad) << "not a library";
  fs::copy_file(QX_PLUGIN_FILE, dir_ / "plugins" / "Quelvix.aip");
  CommandRun mixed = quelvix("info --plugins " + (dir_ / "plugins").string());
  EXPECT_NE(mixed.status, 0) << "one bad file fails the run";
  EXPECT_EQ(mixed.err.rfind("quelvix: " + bad.string() + ": ", 0), 0u) << mixed.err;
  EXPECT_EQ(std::count(mixed.err.begin(), mixed.err.end(), '\n'), 1) << mixed.err;
  EXPECT_NE(mixed.out.find("Quelvix..."), std::string::npos) << "the good plug-in is still listed";
}

TEST_F(InfoCommand, AboutPrintsTheAboutBox) {
  CommandRun run = quelvix("about --plugins " + std::string(QX_PLUGIN_DIR));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Quelvix"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Version"), std::string::npos) << run.out;
}

}  // namespace
