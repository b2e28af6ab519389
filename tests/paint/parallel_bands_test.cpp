// The band painters (top down, occlusion, stamps, bands on threads) against
// the reference painter they stand in for: the same drawings at the
// same views must give the same pictures, within what two ways of blending
// the same coverage in 8 bits can differ by. Both are put on white and
// compared channel by channel (picture_agreement.h): at least 99.5 % of all
// pixels within 8 levels, and none more than 64 levels off away from the
// antialiased edges.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <random>

#include <QPainter>

#include "host/document/document.h"
#include "host/io/document_input.h"
#include "host/paint/occlusion_map.h"
#include "host/paint/outline_paint.h"
#include "host/paint/parallel_bands.h"
#include "host/paint/reference_painter.h"
#include "tests/host/test_io_documents.h"
#include "tests/paint/picture_agreement.h"
#include "tests/paint/qt_app.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;
using host::iotest::corner;

// A view: the artwork point at pixel (0, 0) and pixels per point.
struct View {
  QxRealPoint origin;
  double scale;
};

// The page centred in a 1200 x 900 window, magnified by `zoom`.
View pageView(const host::Document& doc, double zoom, int width = 1200, int height = 900) {
  const double fit = std::min((width - 40) / doc.pageWidth(), (height - 40) / doc.pageHeight()) * zoom;
  const double cx = doc.pageWidth() / 2, cy = doc.pageHeight() / 2;
  return {{static_cast<QxReal>(cx - width / 2.0 / fit), static_cast<QxReal>(cy + height / 2.0 / fit)}, fit};
}

QImage reference(const host::Document& doc, const View& view, QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setTransform(paint::artworkToDevice(view.origin, view.scale));
  paint::ReferencePainter(doc.art()).paint(painter);
  return image;
}

// `budgetMs` 0 paints a step at a time, as a window slice that is over at once.
QImage banded(const host::Document& doc, const View& view, QSize size, int threads = 0, qint64 budgetMs = -1) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  paint::ParallelBands painting(doc.art(), &image, paint::artworkToDevice(view.origin, view.scale), threads);
  while (!painting.paint(budgetMs)) {
  }
  QPainter ground(&image);
  ground.setCompositionMode(QPainter::CompositionMode_DestinationOver);
  ground.fillRect(image.rect(), Qt::white);
  return image;
}

void expectAgreement(const host::Document& doc, const View& view, const std::string& what,
                     QSize size = QSize(1200, 900)) {
  const Agreement a = compare(reference(doc, view, size).convertToFormat(QImage::Format_RGB32),
                              banded(doc, view, size).convertToFormat(QImage::Format_RGB32));
  EXPECT_GE(a.within8, 0.995) << what;
  EXPECT_EQ(a.farOffEdges, 0) << what;
}

class BandPainterAgreement : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ensureApp(); }
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("qx-bands-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A drawing made by the command line with these actions, read back.
  std::unique_ptr<host::Document> drawing(const QStringList& actions) {
    const QString out = QString::fromStdString((dir_ / "drawing.json").string());
    QStringList args{"render", "--fresh", "--state", QString::fromStdString((dir_ / "state.bin").string()),
                     "--seed", "7",       "-o",      out};
    args += actions;
    QString why;
    EXPECT_TRUE(runProgram(QX_QUELVIX_EXE, args, &why)) << why.toStdString();
    std::string error;
    auto doc = host::readDocumentFile(out.toStdString(), &error);
    EXPECT_TRUE(doc) << error;
    return doc;
  }

  fs::path dir_;
};

TEST_F(BandPainterAgreement, EveryPresetAtFitPage) {
  for (int preset = 0; preset < 16; ++preset) {
    auto doc = drawing({"--preset", QString::number(preset)});
    ASSERT_TRUE(doc);
    expectAgreement(*doc, pageView(*doc, 1), "preset " + std::to_string(preset));
  }
}

// Thousands of circles stacked on the lattice's points and long walks
// beneath them, mirrored four ways: what occlusion and stamps are for.
TEST_F(BandPainterAgreement, TiledLatticeFromFarAwayToClose) {
  auto doc = drawing({"--no-preview", "--set", "lineSets=12", "--set", "pointsMin=600", "--set", "pointsMax=600",
                      "--set", "lockPoints=1", "--set", "shapeSizeMin=20", "--set", "shapeSizeMax=20", "--set",
                      "tileMode=1"});
  ASSERT_TRUE(doc);
  for (double zoom : {0.05, 0.3, 1.0, 4.0, 40.0})
    expectAgreement(*doc, pageView(*doc, zoom), "zoom " + std::to_string(zoom));
}

TEST_F(BandPainterAgreement, RandomOpacityAndRotatedShapes) {
  auto doc = drawing({"--no-preview", "--set", "lineSets=6", "--set", "randomOpacity=1", "--set", "randomShapeAngle=1",
                      "--set", "shapeKind=Stars 2", "--set", "shapeSizeMin=10", "--set", "shapeSizeMax=40"});
  ASSERT_TRUE(doc);
  expectAgreement(*doc, pageView(*doc, 1), "opacity");
  expectAgreement(*doc, pageView(*doc, 3), "opacity, magnified");
}

// Strokes by hand: wide ones with each cap and join, a dash, sharp turns
// that a miter limit bevels, a curve, a compound path with a hole, a
// half-transparent group, stacked copies of one shape.
std::unique_ptr<host::Document> strokesByHand() {
  auto doc = std::make_unique<host::Document>(400, 300);
  QxPathStyle wide = host::iotest::paintStyle(host::iotest::grayColor(1), host::iotest::rgbColor(0.1, 0.3, 0.8), 14);
  wide.fillPaint = 0;
  const int16_t caps[] = {QX_CAP_BUTT, QX_CAP_ROUND, QX_CAP_SQUARE};
  const int16_t joins[] = {QX_JOIN_MITER, QX_JOIN_ROUND, QX_JOIN_BEVEL};
  for (int i = 0; i < 3; ++i) {
    QxPathStyle s = wide;
    s.stroke.cap = caps[i];
    s.stroke.join = joins[i];
    std::vector<QxPathSegment> zigzag;
    for (int k = 0; k < 12; ++k)
      zigzag.push_back(corner(20 + 30 * k, 40 + 80 * i + (k % 2 ? 40 : 0) - (k % 3 ? 0 : 12)));
    host::iotest::addPath(*doc, zigzag, false, &s);
  }
  QxPathStyle dashed = wide;
  dashed.stroke.width = 5;
  dashed.stroke.dash.length = 2;
  dashed.stroke.dash.array[0] = 12;
  dashed.stroke.dash.array[1] = 6;
  std::vector<QxPathSegment> longDash;
  for (int k = 0; k < 20; ++k) longDash.push_back(corner(10 + 19 * k, 20 + (k % 2) * 260));
  host::iotest::addPath(*doc, longDash, false, &dashed);
  QxPathStyle sharp = wide;
  sharp.stroke.miterLimit = 10;
  host::iotest::addPath(*doc, {corner(50, 280), corner(60, 200), corner(70, 280), corner(75, 200), corner(300, 290)},
                        false, &sharp);
  QxPathStyle ring = host::iotest::paintStyle(host::iotest::rgbColor(0.9, 0.8, 0.1), host::iotest::grayColor(0), 3);
  for (int copy = 0; copy < 40; ++copy)
    host::iotest::addPath(*doc, host::iotest::circle(200 + (copy % 4) * 0.37, 150, 25), true, &ring);
  QxPathStyle red = host::iotest::paintStyle(host::iotest::rgbColor(1, 0, 0), host::iotest::grayColor(0), 1);
  red.strokePaint = 0;
  const QxArtHandle square =
      host::iotest::addPath(*doc, {corner(100, 100), corner(330, 100), corner(330, 160), corner(100, 160)}, true, &red);
  EXPECT_EQ(doc->art().setOpacity(square, 0.5), QX_ERR_NONE);
  return doc;
}

TEST_F(BandPainterAgreement, WideStrokesCapsJoinsDashesAndOpacity) {
  auto doc = strokesByHand();
  for (double zoom : {0.5, 1.0, 2.5, 9.0}) expectAgreement(*doc, pageView(*doc, zoom), "zoom " + std::to_string(zoom));
}

// The window paints a slice at a time; stopping after every object and the
// number of bands change nothing in the picture.
TEST_F(BandPainterAgreement, SlicesAndBandsPaintOnePicture) {
  auto doc = drawing({"--no-preview", "--set", "lineSets=3", "--set", "tileMode=1"});
  ASSERT_TRUE(doc);
  const View view = pageView(*doc, 1.5);
  const QSize size(640, 480);
  const QImage whole = banded(*doc, view, size, 1);
  EXPECT_EQ(banded(*doc, view, size, 1, 0), whole);
  const Agreement bands = compare(banded(*doc, view, size, 3).convertToFormat(QImage::Format_RGB32),
                                  whole.convertToFormat(QImage::Format_RGB32));
  EXPECT_GE(bands.within8, 0.999);
  EXPECT_EQ(bands.farOffEdges, 0);
}

// The map's tests of a box and of a stamp's mask, against pixel by pixel:
// masks at every offset (negative, across word boundaries, off the edges).
TEST(OcclusionMap, MasksAndBoxesAgreeWithPixelByPixel) {
  ensureApp();
  std::mt19937 random(5);
  QImage image(150, 40, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, (random() % 4 != 0) ? 0xff000000u : 0x40000000u);
  paint::OcclusionMap map;
  map.reset(image.width(), image.height());
  map.update(image, image.rect());
  const auto opaque = [&](int x, int y) {
    return x < 0 || y < 0 || x >= image.width() || y >= image.height() || (image.pixel(x, y) >> 24) == 0xff;
  };
  for (int trial = 0; trial < 400; ++trial) {
    const int w = 1 + static_cast<int>(random() % 100), h = 1 + static_cast<int>(random() % 5);
    const QPoint at(static_cast<int>(random() % 220) - 60, static_cast<int>(random() % 50) - 5);
    const int words = (w + 63) / 64;
    std::vector<uint64_t> mask(static_cast<size_t>(words * h), 0);
    bool expected = true;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (random() % 6 == 0) {
          mask[static_cast<size_t>(y * words + x / 64)] |= uint64_t{1} << (x % 64);
          expected = expected && opaque(at.x() + x, at.y() + y);
        }
    EXPECT_EQ(map.covered(mask, words, at), expected) << "trial " << trial;
    bool boxExpected = true;
    const QRect box(at, QSize(w, h));
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x) boxExpected = boxExpected && opaque(x, y);
    EXPECT_EQ(map.covered(box), boxExpected) << "trial " << trial;
  }
  EXPECT_FALSE(map.full());
  image.fill(0xff000000u);
  map.update(image, image.rect());
  EXPECT_TRUE(map.full());
}

}  // namespace
}  // namespace qx::test
