// Inputs are read with a stated limit: a device, a file over the limit or a
// library far too large is refused in one line naming the limit, before it
// is read whole, and nothing is written; a file nested deeper than the
// reader takes is refused the same way.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "quelvix_process.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

// A file of `size` bytes that holds no data on disk.
void sparseFile(const std::string& path, off_t size) {
  fs::create_directories(fs::path(path).parent_path());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
}

bool mentions(const ProcessResult& run, const std::string& what) {
  return run.complaints().size() == 1 && run.complaints()[0].find(what) != std::string::npos;
}

TEST(InputLimits, AScriptOrRandomFileThatIsADeviceOrTooLargeIsRefusedNamingTheLimit) {
  QuelvixSandbox box;
  sparseFile(box.path("big.txt"), off_t{200} << 20);
  struct Case {
    std::vector<std::string> args;
    std::string limit;
  } cases[] = {
      {{"--script", "/dev/zero"}, "1024 KiB"},
      {{"--script", "big.txt"}, "1024 KiB"},
      {{"--random-file", "/dev/zero"}, "64 MiB"},
      {{"--random-file", "big.txt"}, "64 MiB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    std::vector<std::string> args = {"render", "--fresh", "-o", "out.svg"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto before = box.files();
    const ProcessResult run = box.run(args);
    EXPECT_EQ(run.status, 2) << run.describe();
    EXPECT_TRUE(mentions(run, c.limit)) << run.describe();
    EXPECT_EQ(box.files(), before);
    EXPECT_LT(run.peakKb, 150 * 1024) << "the file was read";
  }
}

TEST(InputLimits, ALibraryFileIsReadOnlyAsFarAsItsResourcesNeed) {
  QuelvixSandbox box;
  // A gigabyte, past the limit: refused by its size alone.
  sparseFile(box.path("huge/x.aip"), off_t{1} << 30);
  const ProcessResult huge = box.run({"info", "--plugins", "huge"});
  EXPECT_EQ(huge.status, 1) << huge.describe();
  EXPECT_TRUE(mentions(huge, "x.aip: larger than a plug-in library may be (256 MiB)")) << huge.describe();
  EXPECT_LT(huge.peakKb, 150 * 1024);

  // Just under the limit and no library: its first bytes say so, and the
  // rest is never read.
  sparseFile(box.path("large/x.aip"), (off_t{256} << 20) - 1);
  const ProcessResult large = box.run({"info", "--plugins", "large"});
  EXPECT_EQ(large.status, 1) << large.describe();
  EXPECT_TRUE(mentions(large, "x.aip: not an ELF library")) << large.describe();
  EXPECT_LT(large.peakKb, 150 * 1024) << "the file was read whole";
}

TEST(InputLimits, AFileNestedDeeperThanTheReaderTakesIsRefusedInOneLine) {
  QuelvixSandbox box;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\">";
  for (int i = 0; i < 100'000; ++i) svg += "<g>";
  svg += "<path d=\"M10 10 L90 90\" stroke=\"black\"/>";
  for (int i = 0; i < 100'000; ++i) svg += "</g>";
  svg += "</svg>\n";
  box.write("deep.svg", svg);
  for (const char* output : {"out.svg", "out.json", "out.png"}) {
    SCOPED_TRACE(output);
    const auto before = box.files();
    const ProcessResult run = box.run({"export", "deep.svg", "-o", output});
    EXPECT_EQ(run.status, 2) << run.describe();
    EXPECT_TRUE(mentions(run, "nest deeper than 1000")) << run.describe();
    EXPECT_EQ(box.files(), before);
  }
}

}  // namespace
}  // namespace qx::test
