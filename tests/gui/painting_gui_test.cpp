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
                                                  static_cast<QxReal>(top + margin)}, 1));
  for (QxArtHandle art : doc.topLevelArt()) gui::paintArt(p, doc, art);
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
    EXPECT_GT(session_->document().liveArtCount(), 1000000u) << "the preview is the heavy drawing";
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
