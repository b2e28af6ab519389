// Painting whatever a file holds in bounded work: an outline reaching
// millions of points beyond the picture is cut to it first, and shows the
// same pixels as one that stays near.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include "host/document/document.h"
#include "host/paint/outline_clip.h"
#include "host/paint/outline_paint.h"
#include "host/paint/png_picture.h"
#include "host/paint/reference_painter.h"
#include "tests/host/test_io_documents.h"
#include "tests/paint/qt_app.h"

namespace qx::test {
namespace {

using host::iotest::corner;

// On a 100 x 100 pt page: a filled quadrilateral whose two far corners run
// `reach` steps down two rays out of the page, and a thick open stroke
// straight down out of it. Inside the page both look the same for any reach
// that takes the far ends well outside.
std::unique_ptr<host::Document> rays(double reach) {
  auto doc = std::make_unique<host::Document>(100, 100);
  auto far = [reach](double x, double y, double dx, double dy) {
    return corner(static_cast<QxReal>(x + reach * dx), static_cast<QxReal>(y + reach * dy));
  };
  QxPathStyle fill = host::iotest::paintStyle(host::iotest::rgbColor(1, 0, 0), host::iotest::grayColor(0), 3);
  host::iotest::addPath(*doc, {corner(20, 80), corner(80, 80), far(80, 80, 1, -2), far(20, 80, -1, -2)}, true, &fill);
  QxPathStyle stroke = host::iotest::paintStyle(host::iotest::grayColor(0), host::iotest::rgbColor(0, 0, 1), 12);
  stroke.fillPaint = 0;
  host::iotest::addPath(*doc, {corner(50, 60), corner(50, 30), far(50, 30, 0, -1)}, false, &stroke);
  QxPathStyle dashed = stroke;
  dashed.stroke.width = 2;
  dashed.stroke.dash.length = 2;
  dashed.stroke.dash.array[0] = 5;
  dashed.stroke.dash.array[1] = 3;
  // Dashes that start far below and run up into the page: their phase
  // inside depends on the length outside, which the cut has to keep.
  host::iotest::addPath(*doc, {far(90, 0, 0, -1), corner(90, 95)}, false, &dashed);
  return doc;
}

QImage pagePicture(const host::Document& doc) {
  host::PaintOptions options;
  options.area = host::PaintedArea::Page;
  options.dpi = 144;
  return paint::paintedImage(doc, options);
}

// The largest difference of one channel over all pixels.
int largestDifference(const QImage& a, const QImage& b) {
  int most = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                       std::abs(qBlue(p) - qBlue(q))});
    }
  return most;
}

TEST(PaintingFarArt, AnOutlineMillionsOfPointsOutShowsWhatANearOneShows) {
  ensureApp();
  const QImage nearPicture = pagePicture(*rays(60));
  ASSERT_FALSE(nearPicture.isNull());
  // Reaches that keep the dashes' phase: the dashed line's length differs
  // from the near one's by whole patterns of 8 points.
  for (double reach : {800'060.0, 5'111'140.0}) {
    SCOPED_TRACE(reach);
    const QImage farPicture = pagePicture(*rays(reach));
    ASSERT_EQ(farPicture.size(), nearPicture.size());
    EXPECT_LE(largestDifference(farPicture, nearPicture), 2);
  }
  // The picture is not blank: the fill, the stroke and the dashes are there.
  EXPECT_EQ(nearPicture.pixel(60, 80), qRgb(255, 0, 0));
  EXPECT_EQ(nearPicture.pixel(100, 150), qRgb(0, 0, 255));
}

// A device of 100 x 100 pixels whose engine keeps the box of every outline
// it is handed (painter coordinates), and how many elements they had.
class RecordingEngine : public QPaintEngine {
 public:
  RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState&) override {}
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawPath(const QPainterPath& path) override {
    box = box.united(path.controlPointRect());
    elements += static_cast<size_t>(path.elementCount());
  }
  Type type() const override { return QPaintEngine::User; }
  QRectF box;
  size_t elements = 0;
};

class RecordingDevice : public QPaintDevice {
 public:
  QPaintEngine* paintEngine() const override { return &engine; }
  mutable RecordingEngine engine;

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth:
      case PdmHeight: return 100;
      case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
      case PdmDevicePixelRatio: return 1;
      case PdmDepth: return 32;
      default: return 72;
    }
  }
};

TEST(PaintingFarArt, QtIsHandedOnlyGeometryNearThePicture) {
  ensureApp();
  for (double reach : {60.0, 5'111'140.0, 1e30}) {
    SCOPED_TRACE(reach);
    const auto doc = rays(reach);
    RecordingDevice device;
    {
      QPainter painter(&device);
      painter.setTransform(paint::artworkToDevice(QxRealPoint{0, 100}, 1));
      paint::ReferencePainter(doc->art()).paint(painter);
    }
    const QRectF box = device.engine.box;
    EXPECT_GE(box.top(), -500);
    EXPECT_LE(box.bottom(), 600);
    EXPECT_GE(box.left(), -500);
    EXPECT_LE(box.right(), 600);
    EXPECT_GT(device.engine.elements, 0u);
    EXPECT_LE(device.engine.elements, 3000u);
  }
}

TEST(PaintingFarArt, TheCutOutlineIsSmallWhateverItsReachAndKeepsTheWinding) {
  const QRectF near(0, 0, 100, 100);
  for (double reach : {1e3, 5'111'140.0, 1e30}) {
    SCOPED_TRACE(reach);
    const auto y = static_cast<QxReal>(-reach);
    // A five-sided shape around the picture, one corner far out below:
    // every point of the picture is inside it once.
    const std::vector<QxPathSegment> ring = {corner(-10, -10), corner(50, y), corner(110, -10), corner(110, 110),
                                             corner(-10, 110)};
    paint::ClippedOutline cut(near);
    cut.add(ring, true);
    EXPECT_LE(cut.elementCount(), 2000u);
    QPainterPath fill = cut.fill();
    fill.setFillRule(Qt::WindingFill);
    EXPECT_TRUE(fill.contains(QPointF(5, 95)));
    EXPECT_TRUE(fill.contains(QPointF(95, 5)));
    EXPECT_TRUE(fill.contains(QPointF(50, 50)));
    // No coordinate handed on is far from the picture.
    const QRectF box = fill.controlPointRect();
    EXPECT_GE(box.top(), -250);
    EXPECT_LE(box.bottom(), 350);
  }
}

}  // namespace
}  // namespace qx::test
