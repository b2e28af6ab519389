// The PNG as the strip painter writes it: the same picture as one image
// painted whole, straight (not premultiplied) colours on a transparent
// ground, the limits, and failures that leave the target as it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <QImage>

#include "host/document/document.h"
#include "host/paint/png_picture.h"
#include "host/paint/png_stream.h"
#include "tests/host/test_io_documents.h"
#include "tests/paint/qt_app.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;
using host::iotest::corner;

class PngExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApp();
    dir_ = fs::temp_directory_path() / ("qx-png-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path dir_;
};

// A page of 612 x 792 points whose art crosses the strips' edges (rows 256,
// 512 and 768 at 72 dpi): a thick diagonal stroke over the whole page, a
// circle on a strip edge, a half-transparent red square astride another, and
// a stroke that reaches past the page, so the art area is larger than it.
std::unique_ptr<host::Document> crossingDrawing() {
  auto doc = std::make_unique<host::Document>(612, 792);
  doc->setSeed(42);
  QxPathStyle diagonal = host::iotest::paintStyle(host::iotest::grayColor(1), host::iotest::rgbColor(0.1, 0.3, 0.8), 9);
  diagonal.fillPaint = 0;
  host::iotest::addPath(*doc, {corner(20, 20), corner(590, 770), corner(300, 10)}, false, &diagonal);
  QxPathStyle ring = host::iotest::paintStyle(host::iotest::rgbColor(0.9, 0.8, 0.1), host::iotest::grayColor(0), 3);
  host::iotest::addPath(*doc, host::iotest::circle(300, 792 - 256, 60), true, &ring);
  QxPathStyle red = host::iotest::paintStyle(host::iotest::rgbColor(1, 0, 0), host::iotest::grayColor(0), 1);
  red.strokePaint = 0;
  const QxArtHandle square =
      host::iotest::addPath(*doc, {corner(100, 250), corner(200, 250), corner(200, 310), corner(100, 310)}, true, &red);
  EXPECT_EQ(doc->art().setOpacity(square, 0.5), QX_ERR_NONE);
  QxPathStyle beyond = diagonal;
  beyond.stroke.width = 4;
  host::iotest::addPath(*doc, {corner(500, 600), corner(700, 900)}, false, &beyond);
  return doc;
}

// Largest difference of any channel, both pictures premultiplied.
int largestDifference(const QImage& a, const QImage& b) {
  const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  int worst = 0;
  for (int y = 0; y < pa.height(); ++y) {
    const auto* ra = reinterpret_cast<const QRgb*>(pa.constScanLine(y));
    const auto* rb = reinterpret_cast<const QRgb*>(pb.constScanLine(y));
    for (int x = 0; x < pa.width(); ++x)
      for (int shift : {0, 8, 16, 24})
        worst = std::max(worst, std::abs(int((ra[x] >> shift) & 0xff) - int((rb[x] >> shift) & 0xff)));
  }
  return worst;
}

TEST_F(PngExport, StripsPaintTheSamePictureAsOneImage) {
  const auto doc = crossingDrawing();
  for (bool transparent : {false, true}) {
    for (host::PaintedArea area : {host::PaintedArea::Art, host::PaintedArea::Page}) {
      SCOPED_TRACE(std::string(transparent ? "transparent" : "white") +
                   (area == host::PaintedArea::Art ? ", art" : ", page"));
      host::PaintOptions options;
      options.dpi = 72;
      options.transparent = transparent;
      options.area = area;
      std::string why;
      ASSERT_EQ(paint::writePng(*doc, path("strips.png"), options, &why), host::WriteResult::Written) << why;
      const QImage written(QString::fromStdString(path("strips.png")));
      const QImage whole = paint::paintedImage(*doc, options);
      ASSERT_FALSE(written.isNull());
      ASSERT_EQ(written.size(), whole.size());
      EXPECT_GT(written.height(), 3 * paint::kPngStripRows) << "the picture takes several strips";
      // Qt's fast path for straight strokes rounds a level or three
      // differently where a strip's edge cuts it; a seam would be far more.
      EXPECT_LE(largestDifference(written, whole), 4);
      EXPECT_EQ(written.hasAlphaChannel(), transparent);
      if (area == host::PaintedArea::Page) EXPECT_EQ(written.size(), QSize(612, 792));
      else EXPECT_GT(written.width(), 612);

      // An empty corner inside the page: the ground shows, as white or as nothing.
      const QColor corner = written.pixelColor(3, 3);
      if (transparent) EXPECT_EQ(corner.alpha(), 0);
      else EXPECT_EQ(corner, QColor(255, 255, 255));
      EXPECT_EQ(written.text("Seed"), "42");
      EXPECT_EQ(written.text("Software"), "Quelvix");
    }
  }
}

TEST_F(PngExport, ColoursAreStoredStraightOnATransparentGround) {
  const auto doc = crossingDrawing();
  host::PaintOptions options;
  options.dpi = 72;
  options.area = host::PaintedArea::Page;
  options.transparent = true;
  std::string why;
  ASSERT_EQ(paint::writePng(*doc, path("clear.png"), options, &why), host::WriteResult::Written) << why;
  const QImage image(QString::fromStdString(path("clear.png")));
  // Inside the half-transparent red square, away from the other art.
  const QColor red = image.pixelColor(120, 792 - 280);
  EXPECT_NEAR(red.alpha(), 128, 1);
  EXPECT_EQ(red.red(), 255) << "straight red, not red times its alpha";
  EXPECT_EQ(red.green(), 0);

  // The row conversion: nothing, opaque and partly covered pixels.
  const uint32_t row[] = {0x00000000u, 0xff102030u, 0x80400000u, 0x01010101u, 0x80808080u};
  uint8_t rgba[5 * 4], rgb[5 * 3];
  paint::straightRow(row, 5, true, rgba);
  const uint8_t expected[] = {0, 0,    0,   0,   0x10, 0x20, 0x30, 0xff, 0x80, 0,
                              0, 0x80, 255, 255, 255,  1,    255,  255,  255,  0x80};
  EXPECT_EQ(std::vector<uint8_t>(rgba, rgba + 20), std::vector<uint8_t>(expected, expected + 20));
  paint::straightRow(row + 1, 1, false, rgb);
  EXPECT_EQ(std::vector<uint8_t>(rgb, rgb + 3), (std::vector<uint8_t>{0x10, 0x20, 0x30}));
}

TEST_F(PngExport, LimitsAndFailuresLeaveTheTargetAsItWas) {
  host::Document doc(300, 300);
  std::string why;
  paint::PngSize size;
  host::PaintOptions options;
  options.width = 65535;
  options.area = host::PaintedArea::Page;
  EXPECT_FALSE(paint::pngSize(doc, options, &size, &why));
  EXPECT_EQ(why, "the picture would be 65535 x 65535 pixels (4294836225 in all); a PNG may have at most 1000000000 "
                 "pixels (a gigapixel)");
  options = {};
  options.dpi = 1e300;
  EXPECT_FALSE(paint::pngSize(doc, options, &size, &why));
  EXPECT_NE(why.find("at most 65535 pixels a side"), std::string::npos) << why;
  options.dpi = 1e-300;  // the smallest picture is a pixel
  ASSERT_TRUE(paint::pngSize(doc, options, &size, &why));
  EXPECT_EQ(size.width, 1);
  EXPECT_EQ(size.height, 1);

  { std::ofstream(path("kept.png")) << "old"; }
  options.dpi = 100000;
  EXPECT_EQ(paint::writePng(doc, path("kept.png"), options, &why), host::WriteResult::Refused);
  // A folder where the file should go: the rename fails after the whole
  // picture was streamed, and the temporary file goes with it.
  fs::create_directory(dir_ / "folder.png");
  fs::create_directory(dir_ / "folder.png" / "inside");
  options.dpi = 72;
  EXPECT_EQ(paint::writePng(doc, path("folder.png"), options, &why), host::WriteResult::Failed);
  EXPECT_NE(why.find("folder.png"), std::string::npos) << why;
  EXPECT_EQ(paint::writePng(doc, path("missing/x.png"), options, &why), host::WriteResult::Failed);
  EXPECT_EQ(files(), (std::vector<std::string>{"folder.png", "kept.png"}));
  std::ifstream in(path("kept.png"));
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, "old");

  // A stream that ends short or runs long is no PNG.
  paint::PngStream stream;
  paint::PngHeader header;
  header.width = 4;
  header.height = 2;
  ASSERT_TRUE(stream.open(path("short.png"), header, &why)) << why;
  const uint32_t row[4] = {};
  EXPECT_TRUE(stream.writeRow(row));
  EXPECT_FALSE(stream.commit(&why));
  EXPECT_NE(why.find("1 of its 2 rows"), std::string::npos) << why;
  EXPECT_FALSE(fs::exists(path("short.png")));
  EXPECT_EQ(files().size(), 2u);
}

}  // namespace
}  // namespace qx::test
