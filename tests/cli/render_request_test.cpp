// Output formats, page sizes, kept-settings files and the settings listing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "host/cli/render_request.h"
#include "host/session/state_file.h"

namespace qx::cli {
namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "qxcli-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (fs::path(path_) / name).string(); }

 private:
  std::string path_;
};

void writeBytes(const std::string& path, size_t size, uint8_t fill) {
  std::ofstream(path, std::ios::binary) << std::string(size, static_cast<char>(fill));
}

TEST(RenderRequest, FormatComesFromTheExtension) {
  EXPECT_EQ(formatFromPath("out.svg"), OutputFormat::Svg);
  EXPECT_EQ(formatFromPath("dir/OUT.JSON"), OutputFormat::Json);
  EXPECT_EQ(formatFromPath("a.b/c.png"), OutputFormat::Png);
  EXPECT_EQ(formatFromPath("c.Pdf"), OutputFormat::Pdf);
  EXPECT_FALSE(formatFromPath("out.svgz"));
  EXPECT_FALSE(formatFromPath("a.svg/out"));
  EXPECT_FALSE(formatFromPath(".svg"));
  EXPECT_FALSE(formatFromPath(""));
}

TEST(RenderRequest, PageSizes) {
  std::string error;
  auto letter = parsePageSize("Letter", &error);
  ASSERT_TRUE(letter);
  EXPECT_EQ(letter->width, 612);
  EXPECT_EQ(letter->height, 792);
  auto a4 = parsePageSize("a4", &error);
  ASSERT_TRUE(a4);
  EXPECT_NEAR(a4->width, 595.28, 0.01);
  EXPECT_NEAR(a4->height, 841.89, 0.01);
  auto custom = parsePageSize("300.5x200", &error);
  ASSERT_TRUE(custom);
  EXPECT_EQ(custom->width, 300.5);
  EXPECT_EQ(custom->height, 200);
  // A unit after the height applies to both sides.
  const std::tuple<const char*, double, double> units[] = {{"210x297mm", 595.2756, 841.8898},
                                                           {"8.5x11in", 612, 792},
                                                           {"612x792PT", 612, 792},
                                                           {"21x29.7cm", 595.2756, 841.8898},
                                                           {"816x1056px", 612, 792}};
  for (auto [text, w, h] : units) {
    auto page = parsePageSize(text, &error);
    ASSERT_TRUE(page) << text << ": " << error;
    EXPECT_NEAR(page->width, w, 1e-3) << text;
    EXPECT_NEAR(page->height, h, 1e-3) << text;
  }
  for (const char* bad : {"0x100", "100x-1", "100x", "x100", "100", "axb", "1e6x10", "nanx10", "a3", "10x10km", "mm",
                          "0.3x1mm", "100mmx100", "2000x10in"}) {
    EXPECT_FALSE(parsePageSize(bad, &error)) << bad;
    EXPECT_NE(error.find("letter or a4"), std::string::npos) << error;
  }
}

TEST(RenderRequest, CountsAreWholeAndInRange) {
  EXPECT_EQ(parseCount("18446744073709551615", 0, UINT64_MAX), UINT64_MAX);
  EXPECT_FALSE(parseCount("18446744073709551616", 0, UINT64_MAX));
  EXPECT_FALSE(parseCount("-1", 0, UINT64_MAX));
  EXPECT_FALSE(parseCount("7 ", 0, 10));
  EXPECT_FALSE(parseCount("0", 1, 10));
  EXPECT_EQ(parseCount("10", 1, 10), 10u);
}

TEST(RenderRequest, DefaultStateFollowsXdgThenHome) {
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  const char* oldHome = std::getenv("HOME");
  const std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";
  setenv("XDG_CONFIG_HOME", "/x/cfg", 1);
  setenv("HOME", "/h", 1);
  EXPECT_EQ(defaultStatePath(), "/x/cfg/quelvix/state.bin");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not an absolute path: ignored
  EXPECT_EQ(defaultStatePath(), "/h/.config/quelvix/state.bin");
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  EXPECT_FALSE(defaultStatePath());
  if (oldXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  if (oldHome) setenv("HOME", savedHome.c_str(), 1);
}

TEST(StateFile, OnlyABlockOfExactlyTheRightSizeLoads) {
  TempDir dir;
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_EQ(host::readStateFile(dir / "none.bin", host::kKeptBlockSize, &bytes, &error), host::StateRead::Missing);

  writeBytes(dir / "good.bin", host::kKeptBlockSize, 0x5a);
  ASSERT_EQ(host::readStateFile(dir / "good.bin", host::kKeptBlockSize, &bytes, &error), host::StateRead::Loaded)
      << error;
  EXPECT_EQ(bytes, std::vector<uint8_t>(host::kKeptBlockSize, 0x5a));

  for (size_t size : {size_t{0}, host::kKeptBlockSize - 1, host::kKeptBlockSize + 1, size_t{10000}}) {
    writeBytes(dir / "bad.bin", size, 1);
    error.clear();
    EXPECT_EQ(host::readStateFile(dir / "bad.bin", host::kKeptBlockSize, &bytes, &error), host::StateRead::Invalid)
        << size;
    EXPECT_NE(error.find("236"), std::string::npos) << error;
    EXPECT_EQ(fs::file_size(dir / "bad.bin"), size) << "left untouched";
  }
  fs::create_directory(dir / "folder.bin");
  EXPECT_EQ(host::readStateFile(dir / "folder.bin", host::kKeptBlockSize, &bytes, &error), host::StateRead::Invalid);
}

TEST(StateFile, WritingCreatesTheFolderAndReplacesWhole) {
  TempDir dir;
  const std::string path = dir / "deep/er/state.bin";
  std::string error;
  std::vector<uint8_t> block(host::kKeptBlockSize);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
  ASSERT_TRUE(host::writeStateFile(path, block, &error)) << error;
  std::vector<uint8_t> back;
  ASSERT_EQ(host::readStateFile(path, host::kKeptBlockSize, &back, &error), host::StateRead::Loaded);
  EXPECT_EQ(back, block);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "deep/er"), fs::directory_iterator()), 1)
      << "no temporary file left beside it";

  // A folder that cannot be made is a clear error.
  writeBytes(dir / "plain", 1, 0);
  EXPECT_FALSE(host::writeStateFile(dir / "plain/state.bin", block, &error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
}

}  // namespace
}  // namespace qx::cli
