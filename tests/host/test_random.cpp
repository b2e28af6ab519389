// The random source: reproducible sequences, scripted values with clear
// errors, running out, and the log other tools read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "host/document/random_source.h"
#include "host/session/random_log.h"

namespace qx::host {
namespace {

namespace fs = std::filesystem;

class RandomFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("qx_random_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string write(const std::string& name, const std::string& body) {
    std::string p = (dir_ / name).string();
    std::ofstream(p) << body;
    return p;
  }
  static std::string slurp(const std::string& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir_;
};

TEST(RandomSource, SameSeedSameSequenceAndValuesAreFloatsBelowOne) {
  RandomSource a(7), b(7), c(8);
  bool differs = false;
  for (int i = 0; i < 10000; ++i) {
    QxReal x, y, z;
    ASSERT_EQ(a.next(&x), 0);
    ASSERT_EQ(b.next(&y), 0);
    ASSERT_EQ(c.next(&z), 0);
    ASSERT_EQ(x, y);
    ASSERT_GE(x, 0);
    ASSERT_LT(x, 1);
    ASSERT_EQ(x * 16777216.0f, std::floor(x * 16777216.0f));  // a multiple of 2^-24
    differs |= x != z;
  }
  EXPECT_TRUE(differs);
  EXPECT_EQ(a.seedUsed(), 7u);
  EXPECT_EQ(a.served(), 10000u);
  a.seed(7);
  RandomSource d(7);
  QxReal x, y;
  ASSERT_EQ(a.next(&x), 0);
  ASSERT_EQ(d.next(&y), 0);
  EXPECT_EQ(x, y);
  EXPECT_EQ(a.next(nullptr), QX_ERR_BAD_PARAM);

  RandomSource clock;
  ASSERT_TRUE(clock.seedUsed().has_value());
  RandomSource again(*clock.seedUsed());
  ASSERT_EQ(clock.next(&x), 0);
  ASSERT_EQ(again.next(&y), 0);
  EXPECT_EQ(x, y);
}

TEST_F(RandomFiles, ScriptsServeTheirValuesThenRunOut) {
  RandomSource r(1);
  std::string error;
  ASSERT_TRUE(r.loadScript(write("ok.txt", "0 0.25\n\n  0.5\t0.999\n"), &error)) << error;
  EXPECT_FALSE(r.seedUsed().has_value());
  for (QxReal want : {0.0f, 0.25f, 0.5f, 0.999f}) {
    QxReal got = -1;
    ASSERT_EQ(r.next(&got), 0);
    EXPECT_EQ(got, want);
  }
  QxReal got = -1;
  EXPECT_FALSE(r.exhausted());
  EXPECT_EQ(r.next(&got), QX_ERR_NO_RANDOM);
  EXPECT_EQ(got, -1);
  EXPECT_TRUE(r.exhausted());
  EXPECT_EQ(r.next(&got), QX_ERR_NO_RANDOM);
}

TEST_F(RandomFiles, BadScriptsNameTheLineAndValueAndChangeNothing) {
  RandomSource r(3);
  std::string error;
  const struct {
    const char* body;
    const char* mention;
  } cases[] = {
      {"0.1\n0.2 1\n", ":2: \"1\""}, {"0.1\n-0.5\n", ":2: \"-0.5\""},    {"0.5x\n", ":1: \"0.5x\""},
      {"0.3 nan\n", "\"nan\""},      {"0.99999999\n", "\"0.99999999\""},  // rounds up to 1 as a float
  };
  for (const auto& c : cases) {
    error.clear();
    EXPECT_FALSE(r.loadScript(write("bad.txt", c.body), &error)) << c.body;
    EXPECT_NE(error.find(c.mention), std::string::npos) << error;
    EXPECT_NE(error.find("bad.txt"), std::string::npos) << error;
  }
  EXPECT_FALSE(r.loadScript((dir_ / "missing.txt").string(), &error));
  EXPECT_NE(error.find("missing.txt"), std::string::npos);
  EXPECT_FALSE(r.scripted());
  EXPECT_EQ(r.seedUsed(), 3u);
  EXPECT_FALSE(r.setScript({0.5f, 1.0f}, &error));
  EXPECT_NE(error.find("value 2"), std::string::npos);
}

TEST_F(RandomFiles, LogRecordsDrawsAndUndosAndAppearsOnlyWhenClosed) {
  RandomSource r;
  ASSERT_TRUE(r.setScript({0.1f, 0.75f}));
  std::string path = (dir_ / "log.txt").string(), error;
  RandomLogFile log;
  ASSERT_TRUE(log.open(path, r, &error)) << error;
  QxReal v;
  ASSERT_EQ(r.next(&v), 0);
  r.noteUndo();
  ASSERT_EQ(r.next(&v), 0);
  EXPECT_FALSE(fs::exists(path));
  ASSERT_TRUE(log.commit(&error)) << error;
  EXPECT_EQ(slurp(path), "r 0.10000000149011612\nundo\nr 0.75\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

  RandomLogFile nowhere;
  EXPECT_FALSE(nowhere.open((dir_ / "no" / "such" / "log").string(), r, &error));
  EXPECT_FALSE(error.empty());
  {
    RandomSource abandoned(5);
    RandomLogFile abandonedLog;
    ASSERT_TRUE(abandonedLog.open((dir_ / "abandoned.txt").string(), abandoned, &error));
    ASSERT_EQ(abandoned.next(&v), 0);
  }
  EXPECT_FALSE(fs::exists(dir_ / "abandoned.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace qx::host
