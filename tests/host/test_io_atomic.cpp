// Atomic file writing and the buffered sink in front of it: a target is
// either replaced whole or left as it was, and no temporary file survives.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/io/atomic_file.h"
#include "host/io/text_sink.h"

namespace qx::host {
namespace {

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = ::testing::TempDir() + "qx_io_XXXXXX";
    path_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
  }
  ~TempFolder() {
    ::chmod(path_.c_str(), 0700);
    std::string cmd = "rm -rf '" + path_ + "'";
    (void)std::system(cmd.c_str());
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path_.c_str())) {
      while (dirent* e = readdir(dir))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
      closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void writePlain(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

using Names = std::vector<std::string>;

TEST(AtomicFile, WritesANewFileAndReplacesAnOldOneWhole) {
  TempFolder dir;
  const std::string target = dir.file("out.svg");
  std::string error;
  ASSERT_TRUE(writeFileAtomically(target, "first", &error)) << error;
  EXPECT_EQ(readFile(target), "first");

  ASSERT_TRUE(writeFileAtomically(target, std::string(100000, 'x'), &error)) << error;
  EXPECT_EQ(readFile(target), std::string(100000, 'x'));
  ASSERT_TRUE(writeFileAtomically(target, "", &error)) << error;
  EXPECT_EQ(readFile(target), "");
  EXPECT_EQ(dir.entries(), Names{"out.svg"});
}

TEST(AtomicFile, ReplacingKeepsTheTargetsPermissions) {
  TempFolder dir;
  const std::string target = dir.file("state.bin");
  writePlain(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  std::string error;
  ASSERT_TRUE(writeFileAtomically(target, "new", &error)) << error;
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, MissingFolderIsAClearErrorAndCreatesNothing) {
  TempFolder dir;
  const std::string target = dir.file("no/such/folder/out.json");
  std::string error;
  EXPECT_FALSE(writeFileAtomically(target, "text", &error));
  EXPECT_NE(error.find(target), std::string::npos) << error;
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
  EXPECT_TRUE(dir.entries().empty());

  EXPECT_FALSE(writeFileAtomically("", "text", &error));
  EXPECT_FALSE(writeFileAtomically(dir.path() + "/", "text", &error));
}

TEST(AtomicFile, ReadOnlyFolderLeavesTheOldFile) {
  TempFolder dir;
  const std::string target = dir.file("out.svg");
  writePlain(target, "old");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
  if (::access(dir.path().c_str(), W_OK) == 0) GTEST_SKIP() << "this user writes into read-only folders";
  std::string error;
  EXPECT_FALSE(writeFileAtomically(target, "new", &error));
  EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(dir.entries(), Names{"out.svg"});
}

// A write that fails half-way (here: the file size limit) must not touch the
// target, and the partial temporary file must go.
TEST(AtomicFile, FailedWriteLeavesNoPartialFile) {
  TempFolder dir;
  const std::string target = dir.file("big.svg");
  writePlain(target, "old");

  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

  std::string error;
  bool ok;
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(target, &error)) << error;
    TextSink sink(file);
    for (int i = 0; i < 100000; ++i) sink.number(static_cast<double>(i) / 7);
    EXPECT_FALSE(sink.flush());
    EXPECT_TRUE(sink.failed());
    ok = file.commit(&error);
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(ok);
  EXPECT_NE(error.find(target), std::string::npos) << error;
  EXPECT_NE(error.find("File too large"), std::string::npos) << error;
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(dir.entries(), Names{"big.svg"});
}

TEST(AtomicFile, RenameOntoAFolderFailsAndCleansUp) {
  TempFolder dir;
  const std::string target = dir.file("taken");
  ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
  std::string error;
  EXPECT_FALSE(writeFileAtomically(target, "text", &error));
  EXPECT_NE(error.find(target), std::string::npos) << error;
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(dir.entries(), Names{"taken"});
}

TEST(AtomicFile, UncommittedFileIsRemovedAndTargetUntouched) {
  TempFolder dir;
  const std::string target = dir.file("out.json");
  writePlain(target, "old");
  std::string error;
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(target, &error)) << error;
    EXPECT_TRUE(file.write("new text"));
    EXPECT_EQ(dir.entries().size(), 2u);  // the temporary file sits beside the target
  }
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(dir.entries(), Names{"out.json"});

  AtomicFile never;
  EXPECT_FALSE(never.write("x"));
  EXPECT_FALSE(never.commit(&error));
}

TEST(TextSink, ChunksReachTheStringInOrderAndNumbersReadBack) {
  std::string text;
  std::string expected;
  {
    TextSink sink(text);
    // Far past one buffer, with pieces that straddle its end and one larger
    // than the whole buffer.
    for (int i = 0; i < 60000; ++i) {
      const float f = static_cast<float>(i) / 3.0f;
      sink.number(f);
      sink.put(' ');
      expected += std::to_string(i % 10);
      sink.append(std::to_string(i % 10));
      sink.put('\n');
    }
    sink.append(std::string(600000, 'z'));
    EXPECT_TRUE(sink.flush());
    EXPECT_EQ(sink.size(), text.size());
  }
  // Every float comes back exactly, in order.
  std::istringstream in(text);
  for (int i = 0; i < 60000; ++i) {
    std::string number, digit;
    in >> number >> digit;
    ASSERT_EQ(std::strtof(number.c_str(), nullptr), static_cast<float>(i) / 3.0f) << number;
    ASSERT_EQ(digit, expected.substr(static_cast<size_t>(i), 1));
  }
  ASSERT_GE(text.size(), 600000u);
  EXPECT_EQ(text.substr(text.size() - 600000), std::string(600000, 'z'));
}

TEST(TextSink, ShortestTextOfFloatsAndDoubles) {
  std::string text;
  {
    TextSink sink(text);
    sink.number(0.1f);
    sink.put(' ');
    sink.number(0.1);
    sink.put(' ');
    sink.number(-3.0f);
    sink.put(' ');
    sink.number(1e-7f);
    sink.put(' ');
    sink.integer(18446744073709551615ull);
    sink.put(' ');
    sink.integer(-42ll);
  }
  EXPECT_EQ(text, "0.1 0.1 -3 1e-07 18446744073709551615 -42");
}

// Whole floats take a short cut; the text must still be the library's own,
// at the edges of the short cut too.
TEST(TextSink, WholeFloatsReadAsTheLibraryWritesThem) {
  std::vector<float> values = {0.0f, -0.0f,       99999.0f, -99999.0f, 100000.0f, -100000.0f, 99999.5f,
                               1e6f, 16777216.0f, 0.5f,     -0.25f,    1e-30f,    3e38f};
  for (int i = -120000; i <= 120000; i += 7) values.push_back(static_cast<float>(i));
  std::string text;
  std::string expected;
  {
    TextSink sink(text);
    char buf[32];
    for (float v : values) {
      sink.number(v);
      sink.put(' ');
      expected.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
      expected += ' ';
    }
  }
  EXPECT_EQ(text, expected);
  EXPECT_TRUE(text.starts_with("0 -0 99999 -99999 1e+05 -1e+05 99999.5 1e+06 ")) << text.substr(0, 60);
}

}  // namespace
}  // namespace qx::host
