// The reference painter on art at the picture's edges and painted a slice
// at a time: paths just outside the picture still paint what reaches in,
// and a painting resumed call after call gives the picture painted at once.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "host/document/document.h"
#include "host/paint/outline_paint.h"
#include "host/paint/reference_painter.h"
#include "tests/host/test_io_documents.h"

namespace qx::test {
namespace {

using host::iotest::corner;

void addStroke(host::Document& doc, std::vector<QxPathSegment> points, QxReal width, int32_t cap, int32_t join) {
  QxPathStyle style = host::iotest::paintStyle(host::iotest::grayColor(0), host::iotest::grayColor(1), width);
  style.fillPaint = 0;
  style.stroke.cap = cap;
  style.stroke.join = join;
  style.stroke.miterLimit = 10;
  host::iotest::addPath(doc, points, false, &style);
}

// The document painted into a w x h picture whose top-left corner shows
// artwork point (left, top), with `margin` pixels more on every side.
QImage painted(const host::Document& doc, int w, int h, double left, double top, int margin) {
  QImage image(w + 2 * margin, h + 2 * margin, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setTransform(paint::artworkToDevice(QxRealPoint{static_cast<QxReal>(left - margin),
                                                    static_cast<QxReal>(top + margin)},
                                        1));
  paint::ReferencePainter(doc.art()).paint(p);
  p.end();
  return image.copy(margin, margin, w, h);
}

TEST(ReferencePainter, PathsJustOutsideThePictureStillPaintWhatReachesIn) {
  host::Document doc;
  // Anchors left of the picture; the sharp miter's tip reaches 30 px in.
  addStroke(doc, {corner(-68, 60), corner(-20, 75), corner(-68, 90)}, 30, QX_CAP_BUTT, QX_JOIN_MITER);
  // Below the picture; only the square caps' and the stroke's edge reach in.
  addStroke(doc, {corner(40, -5), corner(120, -5)}, 12, QX_CAP_SQUARE, QX_JOIN_ROUND);
  // Right of the picture, by less than a round cap.
  addStroke(doc, {corner(205, 20), corner(205, 40)}, 14, QX_CAP_ROUND, QX_JOIN_ROUND);
  // Far away: nothing of it can show.
  addStroke(doc, {corner(5000, 5000), corner(5100, 5000)}, 10, QX_CAP_SQUARE, QX_JOIN_MITER);

  const QImage direct = painted(doc, 200, 150, 0, 150, 0);
  const QImage roomy = painted(doc, 200, 150, 0, 150, 300);  // every path lies on this one
  int differing = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x)
      if (direct.pixel(x, y) != roomy.pixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
  EXPECT_NE(direct.pixel(20, 75), qRgb(255, 255, 255)) << "the miter's tip";
  EXPECT_NE(direct.pixel(80, 149), qRgb(255, 255, 255)) << "the edge of the stroke below";
  EXPECT_NE(direct.pixel(199, 120), qRgb(255, 255, 255)) << "the round end on the right";
}

// Nested groups with opacity around paths and a compound path, painted at
// once and one step per call on a new QPainter each time, as the window's
// slices do: the pictures agree pixel for pixel.
TEST(ReferencePainter, PaintingStepByStepMatchesPaintingAtOnce) {
  host::Document doc;
  host::ArtStore& art = doc.art();
  const QxPathStyle red = host::iotest::paintStyle(host::iotest::rgbColor(1, 0, 0), host::iotest::grayColor(1), 2);
  QxArtHandle outer = nullptr, inner = nullptr, compound = nullptr;
  ASSERT_EQ(art.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &outer), QX_ERR_NONE);
  ASSERT_EQ(art.setOpacity(outer, 0.6f), QX_ERR_NONE);
  host::iotest::addPath(doc, {corner(10, 10), corner(90, 10), corner(90, 90)}, true, &red, QX_PLACE_INSIDE_ON_TOP,
                        outer);
  ASSERT_EQ(art.newArt(QX_ART_GROUP, QX_PLACE_INSIDE_ON_TOP, outer, &inner), QX_ERR_NONE);
  ASSERT_EQ(art.setOpacity(inner, 0.5f), QX_ERR_NONE);
  ASSERT_EQ(art.newArt(QX_ART_COMPOUND_PATH, QX_PLACE_INSIDE_ON_TOP, inner, &compound), QX_ERR_NONE);
  QxPathStyle evenOdd = red;
  evenOdd.evenOdd = 1;
  ASSERT_EQ(art.setPathStyle(compound, evenOdd), QX_ERR_NONE);
  host::iotest::addPath(doc, {corner(20, 20), corner(80, 20), corner(80, 80), corner(20, 80)}, true, nullptr,
                        QX_PLACE_INSIDE_ON_TOP, compound);
  host::iotest::addPath(doc, {corner(40, 40), corner(60, 40), corner(60, 60), corner(40, 60)}, true, nullptr,
                        QX_PLACE_INSIDE_ON_TOP, compound);
  host::iotest::addPath(doc, {corner(0, 50), corner(100, 50)}, false, &red, QX_PLACE_INSIDE_ON_TOP, inner);
  host::iotest::addPath(doc, {corner(50, 0), corner(50, 100)}, false, &red, QX_PLACE_INSIDE_ON_TOP, outer);
  host::iotest::addPath(doc, {corner(5, 95), corner(95, 95)}, false, &red);

  const QImage whole = painted(doc, 100, 100, 0, 100, 0);
  QImage stepped(100, 100, QImage::Format_ARGB32_Premultiplied);
  stepped.fill(Qt::white);
  paint::ReferencePainter painter(art);
  int calls = 0;
  for (bool done = false; !done; ++calls) {
    QPainter p(&stepped);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(paint::artworkToDevice(QxRealPoint{0, 100}, 1));
    done = painter.paint(p, 0);
    EXPECT_EQ(p.opacity(), 1.0) << "left as it was found";
    ASSERT_FALSE(painter.lost());
    ASSERT_LT(calls, 100);
  }
  EXPECT_GT(calls, 5);
  EXPECT_EQ(stepped, whole);
  // The compound's hole shows the triangle below it; its ring adds to it.
  EXPECT_NE(whole.pixel(55, 55), qRgb(255, 255, 255));
  EXPECT_NE(whole.pixel(55, 55), whole.pixel(30, 75));

  // Art taken away under a painting stops it.
  paint::ReferencePainter stopped(art);
  QImage scratch = stepped;
  QPainter p(&scratch);
  EXPECT_FALSE(stopped.paint(p, 0));
  ASSERT_EQ(art.disposeArt(outer), QX_ERR_NONE);
  EXPECT_FALSE(stopped.paint(p));
  EXPECT_TRUE(stopped.lost());
}

}  // namespace
}  // namespace qx::test
