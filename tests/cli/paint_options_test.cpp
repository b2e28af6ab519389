// The PNG and PDF options of `quelvix render` and `quelvix export`: size,
// area and ground, the picture limits and the seed in the file, run as the
// real program. The painting itself is checked in tests/paint.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>

#include "quelvix_process.h"

namespace qx::test {
namespace {

using Args = std::vector<std::string>;

#if QX_HAVE_PAINT

// What a PNG's chunks before the pixels say.
struct PngFacts {
  bool valid = false;
  uint32_t width = 0, height = 0;
  int colorType = -1;
  uint32_t pixelsPerMeter = 0;
  std::map<std::string, std::string> text;
};

uint32_t be32(const std::string& s, size_t at) {
  return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) | (uint32_t(uint8_t(s[at + 2])) << 8) |
         uint32_t(uint8_t(s[at + 3]));
}

PngFacts readPng(const std::string& bytes) {
  PngFacts f;
  if (bytes.size() < 8 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return f;
  size_t at = 8;
  bool ended = false;
  while (at + 12 <= bytes.size()) {
    const uint32_t length = be32(bytes, at);
    const std::string type = bytes.substr(at + 4, 4);
    if (at + 12 + length > bytes.size()) return f;
    const std::string body = bytes.substr(at + 8, length);
    if (type == "IHDR") {
      f.width = be32(body, 0);
      f.height = be32(body, 4);
      f.colorType = uint8_t(body[9]);
    } else if (type == "pHYs") {
      f.pixelsPerMeter = be32(body, 0);
    } else if (type == "tEXt") {
      const size_t nul = body.find('\0');
      f.text[body.substr(0, nul)] = body.substr(nul + 1);
    } else if (type == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  f.valid = ended && f.width > 0;
  return f;
}

// The view box of an SVG the program wrote: x y width height.
std::vector<double> viewBox(const std::string& svg) {
  const size_t at = svg.find("viewBox=\"");
  std::istringstream in(svg.substr(at + 9));
  std::vector<double> box(4);
  for (double& v : box) in >> v;
  return box;
}

// The default drawing of seed 7 reaches beyond the page, so the art area and
// the page differ.
class PaintOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    auto r = box_.run({"render", "--fresh", "--seed", "7", "--state", "s.bin", "-o", "art.svg"});
    ASSERT_EQ(r.status, 0) << r.describe();
    art_ = viewBox(box_.read("art.svg"));
    ASSERT_GT(art_[2], 612) << "the drawing should reach beyond the page";
  }
  ProcessResult render(Args extra, const std::string& out) const {
    Args args = {"render", "--fresh", "--seed", "7", "--state", "s.bin", "-o", out};
    args.insert(args.end(), extra.begin(), extra.end());
    return box_.run(args);
  }
  PngFacts png(const std::string& name) const { return readPng(box_.read(name)); }

  QuelvixSandbox box_;
  std::vector<double> art_;
};

TEST_F(PaintOptions, WidthHeightAndDpiSizeThePictureAndKeepItsAspect) {
  const double w = art_[2], h = art_[3];
  struct Case {
    Args args;
    uint32_t width, height;
    double dpi;
  } cases[] = {
      {{}, uint32_t(std::ceil(w * 150 / 72)), uint32_t(std::ceil(h * 150 / 72)), 150},
      {{"--dpi", "72"}, uint32_t(std::ceil(w)), uint32_t(std::ceil(h)), 72},
      {{"--dpi", "36.5"}, uint32_t(std::ceil(w * 36.5 / 72)), uint32_t(std::ceil(h * 36.5 / 72)), 36.5},
      {{"--width", "400"}, 400, uint32_t(std::lround(400 * h / w)), 400 / w * 72},
      {{"--height", "300"}, uint32_t(std::lround(300 * w / h)), 300, 300 / h * 72},
      {{"--area", "page", "--dpi", "72"}, 612, 792, 72},
      {{"--area", "page", "--width", "306"}, 306, 396, 36},
      {{"--area", "page", "--height", "1"}, 1, 1, 72.0 / 792},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    auto r = render(c.args, "out.png");
    ASSERT_EQ(r.status, 0) << shown << r.describe();
    const PngFacts f = png("out.png");
    ASSERT_TRUE(f.valid) << shown;
    EXPECT_EQ(f.width, c.width) << shown;
    EXPECT_EQ(f.height, c.height) << shown;
    EXPECT_NEAR(f.pixelsPerMeter, c.dpi / 0.0254, 1) << shown;
  }

  // export takes the same options, and an SVG of our own keeps the seed.
  auto r = box_.run({"export", "art.svg", "-o", "again.png", "--width", "400"});
  ASSERT_EQ(r.status, 0) << r.describe();
  const PngFacts again = png("again.png");
  EXPECT_EQ(again.width, 400u);
  EXPECT_EQ(again.height, uint32_t(std::lround(400 * h / w)));
  EXPECT_EQ(again.text.at("Seed"), "7");
}

TEST_F(PaintOptions, TheSeedAndTheGroundAreInTheFile) {
  ASSERT_EQ(render({"--width", "200"}, "white.png").status, 0);
  ASSERT_EQ(render({"--width", "200", "--background", "transparent"}, "clear.png").status, 0);
  const PngFacts white = png("white.png"), clear = png("clear.png");
  EXPECT_EQ(white.colorType, 2) << "RGB on white";
  EXPECT_EQ(clear.colorType, 6) << "RGBA on a transparent ground";
  for (const PngFacts* f : {&white, &clear}) {
    EXPECT_EQ(f->text.at("Seed"), "7");
    EXPECT_EQ(f->text.at("Software"), "Quelvix");
  }

  // A PDF has the area's size in points and the seed in its metadata.
  ASSERT_EQ(render({}, "art.pdf").status, 0);
  ASSERT_EQ(render({"--area", "page", "--background", "transparent"}, "page.pdf").status, 0);
  const std::string artPdf = box_.read("art.pdf"), pagePdf = box_.read("page.pdf");
  EXPECT_NE(artPdf.find("<qx:seed>7</qx:seed>"), std::string::npos);
  EXPECT_NE(pagePdf.find("/MediaBox [0 0 612.000000 792.000000]"), std::string::npos);
  EXPECT_EQ(artPdf.find("/MediaBox [0 0 612.000000 792.000000]"), std::string::npos);

  // A drawing from another program has no seed to store.
  const std::string motif = std::string(SVG_TEST_DATA) + "/motif.svg";
  ASSERT_EQ(box_.run({"export", motif, "-o", "motif.png"}).status, 0);
  ASSERT_EQ(box_.run({"export", motif, "-o", "motif.pdf"}).status, 0);
  const PngFacts foreign = png("motif.png");
  EXPECT_EQ(foreign.text.count("Seed"), 0u);
  EXPECT_EQ(foreign.text.at("Software"), "Quelvix");
  EXPECT_EQ(box_.read("motif.pdf").find("qx:seed"), std::string::npos);
}

TEST_F(PaintOptions, TooLargeAPictureIsRefusedAndNothingIsWritten) {
  const std::string motif = std::string(SVG_TEST_DATA) + "/motif.svg";  // 300 x 300 pt
  box_.write("kept.png", "the file that was here");
  const auto before = box_.files();
  struct Case {
    Args args;
    std::string message;
  } cases[] = {
      {{"render", "--fresh", "--seed", "7", "--state", "s.bin", "--dpi", "100000", "-o", "kept.png"},
       "quelvix: -o kept.png: the picture would be "},
      {{"export", motif, "-o", "kept.png", "--width", "65535", "--area", "page"},
       "quelvix: -o kept.png: the picture would be 65535 x 65535 pixels (4294836225 in all); a PNG may have at "
       "most 1000000000 pixels (a gigapixel)"},
      {{"export", motif, "-o", "new.png", "--dpi", "16000"},
       "quelvix: -o new.png: the picture would be 66667 x 66667 pixels; a PNG may have at most 65535 pixels a "
       "side"},
  };
  for (const Case& c : cases) {
    auto r = box_.run(c.args);
    EXPECT_EQ(r.status, 2) << r.describe();
    const auto lines = r.complaints();
    ASSERT_EQ(lines.size(), 1u) << r.describe();
    EXPECT_EQ(lines[0].rfind(c.message, 0), 0u) << lines[0];
    EXPECT_EQ(box_.files(), before) << "no file and no temporary file is left";
    EXPECT_EQ(box_.read("kept.png"), "the file that was here");
  }
}

#endif  // QX_HAVE_PAINT

TEST(PaintOptionsUsage, BadValuesAndOptionsTheFormatCannotTakeExitTwo) {
  QuelvixSandbox box;
  box.write("in.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"/>");
  // The option named by the message, then the arguments.
  const std::vector<std::pair<std::string, Args>> cases = {
      {"--width", {"-o", "o.png", "--width", "0"}},
      {"--width", {"-o", "o.png", "--width", "65536"}},
      {"--width", {"-o", "o.png", "--width", "12.5"}},
      {"--height", {"-o", "o.png", "--height", "-3"}},
      {"--height", {"-o", "o.png", "--height", "tall"}},
      {"--dpi", {"-o", "o.png", "--dpi", "0"}},
      {"--dpi", {"-o", "o.png", "--dpi", "-72"}},
      {"--dpi", {"-o", "o.png", "--dpi", "nan"}},
      {"--dpi", {"-o", "o.png", "--dpi", "inf"}},
      {"--dpi", {"-o", "o.png", "--dpi", "150dpi"}},
      {"--area", {"-o", "o.png", "--area", "everything"}},
      {"--background", {"-o", "o.png", "--background", "black"}},
      {"--width", {"-o", "o.png", "--width", "10", "--height", "10"}},
      {"--dpi", {"-o", "o.png", "--dpi", "10", "--height", "10"}},
      {"--dpi", {"-o", "o.svg", "--dpi", "300"}},
      {"--width", {"-o", "o.json", "--width", "300"}},
      {"--area", {"-o", "o.svg", "--area", "page"}},
      {"--background", {"-o", "o.json", "--background", "transparent"}},
      {"--height", {"-o", "o.pdf", "--height", "300"}},
  };
  const auto before = box.files();
  for (const std::string command : {"render", "export"}) {
    for (const auto& [option, args] : cases) {
      Args full = {command};
      if (command == "export") full.push_back("in.svg");
      else full.insert(full.end(), {"--fresh", "--seed", "1"});
      full.insert(full.end(), args.begin(), args.end());
      std::string shown;
      for (const std::string& a : full) shown += a + " ";
      auto r = box.run(full);
      EXPECT_EQ(r.status, 2) << shown << r.describe();
      const auto lines = r.complaints();
      ASSERT_EQ(lines.size(), 1u) << shown << r.describe();
      EXPECT_TRUE(lines[0].rfind("quelvix " + command + ": ", 0) == 0 || lines[0].rfind("quelvix: ", 0) == 0)
          << lines[0];
      EXPECT_NE(lines[0].find(option), std::string::npos) << shown << lines[0];
      EXPECT_EQ(box.files(), before) << shown;
    }
  }
}

}  // namespace
}  // namespace qx::test
