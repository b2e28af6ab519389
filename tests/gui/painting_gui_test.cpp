// Painting heavy and off-screen art: paths outside the picture are skipped
// without losing a pixel, and a heavy preview is painted over many turns of
// the event loop while input is handled between them.
#include <cstring>

#include <QKeyEvent>
#include <QPainter>

#include "gui_fixture.h"
#include "host/document/document.h"
#include "host/gui/art_painter.h"
#include "tests/host/test_io_documents.h"

namespace qx::test {
namespace {

using gui::ModalDialog;
using gui::SpinEdit;

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
  p.setTransform(gui::artworkToDevice(QxRealPoint{static_cast<QxReal>(left - margin),
                                                  static_cast<QxReal>(top + margin)},
                                      1));
  gui::ArtPainter(doc.art()).paint(p);
  p.end();
  return image.copy(margin, margin, w, h);
}

TEST(ArtPainter, PathsJustOutsideThePictureStillPaintWhatReachesIn) {
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
TEST(ArtPainter, PaintingStepByStepMatchesPaintingAtOnce) {
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
  gui::ArtPainter painter(art);
  int calls = 0;
  for (bool done = false; !done; ++calls) {
    QPainter p(&stepped);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(gui::artworkToDevice(QxRealPoint{0, 100}, 1));
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
  gui::ArtPainter stopped(art);
  QImage scratch = stepped;
  QPainter p(&scratch);
  EXPECT_FALSE(stopped.paint(p, 0));
  ASSERT_EQ(art.disposeArt(outer), QX_ERR_NONE);
  EXPECT_FALSE(stopped.paint(p));
  EXPECT_TRUE(stopped.lost());
}

template <class T>
void setField(std::vector<uint8_t>& block, size_t offset, T value) {
  static_assert(sizeof(T) == 4);
  std::memcpy(block.data() + offset, &value, 4);
}

TEST_F(GuiHost, HeavyPreviewIsPaintedWhileInputIsHandled) {
  // The heaviest drawing the dialog allows, kept as the filter's settings:
  // the dialog opens with its preview.
  runFilter([](ModalDialog& d) { d.cancel(); });  // the plug-in makes its defaults
  host::RegisteredFilter* filter = session_->plugins().findFilterByTitle("Quelvix...");
  ASSERT_NE(filter, nullptr);
  std::vector<uint8_t> block = session_->plugins().filterParameters(*filter).value_or(std::vector<uint8_t>{});
  ASSERT_EQ(block.size(), sizeof(FilterParameters));
  setField<int32_t>(block, offsetof(FilterParameters, preview), 1);
  setField<int32_t>(block, offsetof(FilterParameters, lineSets), 200);
  setField<int32_t>(block, offsetof(FilterParameters, pointsMin), 3000);
  setField<int32_t>(block, offsetof(FilterParameters, pointsMax), 3000);
  setField<int32_t>(block, offsetof(FilterParameters, lockPoints), 1);
  setField<QxReal>(block, offsetof(FilterParameters, shapeSizeMin), 20);
  setField<QxReal>(block, offsetof(FilterParameters, shapeSizeMax), 20);
  setField<int32_t>(block, offsetof(FilterParameters, tileMode), 1);
  ASSERT_EQ(session_->plugins().setFilterParameters(*filter, block), 0);

  gui::DocumentView* view = window_->view();
  bool sawBusy = false;
  QObject::connect(view, &gui::DocumentView::busyChanged, view, [&](bool busy) { sawBusy |= busy; });
  runFilter([&](ModalDialog& d) {
    EXPECT_GT(session_->document().art().liveArtCount(), 1000000u) << "the preview is the heavy drawing";
    ASSERT_FALSE(view->renderComplete()) << "a drawing this heavy cannot be painted in one turn";

    // A key typed into a value arrives while the painting goes on.
    auto* sets = widget<SpinEdit>(d, 6);
    sets->setFocus();
    sets->selectAll();
    QApplication::postEvent(sets, new QKeyEvent(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7"));
    QApplication::processEvents();
    EXPECT_EQ(sets->text(), "7");
    EXPECT_FALSE(view->renderComplete()) << "the key did not wait for the painting";

    // The painting goes on turn by turn; past a fifth of a second it says so.
    for (int turn = 0; turn < 100000 && !sawBusy && !view->renderComplete(); ++turn) QApplication::processEvents();
    EXPECT_TRUE(sawBusy);
    d.cancel();
  });
  // Cancelled: the preview is gone, and so is the busy indicator.
  EXPECT_EQ(artCount(), 0u);
  view->finishRender();
  EXPECT_TRUE(view->renderComplete());
  EXPECT_FALSE(view->busy());
}

}  // namespace
}  // namespace qx::test
