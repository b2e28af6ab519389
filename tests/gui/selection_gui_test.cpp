// Choosing art and colours in the window: click, shift-click, rubber band,
// Select All and Deselect, Delete and its Undo; a palette loaded as the
// swatches.
#include <filesystem>
#include <fstream>

#include <QMouseEvent>

#include "gui_fixture.h"
#include "host/document/document.h"
#include "host/gui/swatch_strip.h"
#include "host/session/selection.h"

namespace qx::test {
namespace {

class Selection : public GuiHost {
 protected:
  void SetUp() override {
    GuiHost::SetUp();
    window_->setQuietMessages(true);
    ASSERT_TRUE(window_->openFile(SVG_TEST_DATA "/motif.svg")) << window_->lastError().toStdString();
    view()->finishRender();
    star_ = doc().findArtByName("star");
    ring_ = doc().findArtByName("ring");
    ASSERT_NE(star_, nullptr);
    ASSERT_NE(ring_, nullptr);
  }
  gui::DocumentView* view() { return window_->view(); }
  host::Document& doc() { return session_->document(); }
  std::vector<QxArtHandle> selected() { return host::selectedArt(doc().art()); }

  // The window pixel of a point in the SVG file's user units (y down from
  // the top of its 400-unit page).
  QPoint pixelOf(double x, double y) {
    const double k = doc().pageWidth() / 400;
    return view()
        ->toPixel(QxRealPoint{static_cast<QxReal>(x * k), static_cast<QxReal>(doc().pageHeight() - y * k)})
        .toPoint();
  }
  void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(at), view()->mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(view(), &event);
  }
  void clickAt(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
  }
  void dragFromTo(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    mouse(QEvent::MouseButtonPress, from, button, button);
    mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button);
    mouse(QEvent::MouseMove, to, Qt::NoButton, button);
    mouse(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
  }

  QxArtHandle star_ = nullptr, ring_ = nullptr;
};

TEST_F(Selection, ClickPicksTheShapeUnderThePointerAndShiftClickAddsOrRemoves) {
  clickAt(pixelOf(200, 180));  // inside the star's fill
  EXPECT_EQ(selected(), std::vector<QxArtHandle>{star_});
  EXPECT_EQ(view()->selectedCount(), 1u);

  clickAt(pixelOf(54, 350), Qt::ShiftModifier);  // on the ring's band
  EXPECT_EQ(selected(), (std::vector<QxArtHandle>{star_, ring_}));
  clickAt(pixelOf(200, 180), Qt::ShiftModifier);
  EXPECT_EQ(selected(), std::vector<QxArtHandle>{ring_});

  // The ring's hole is no part of it; nor is the page beside the star's arms.
  clickAt(pixelOf(70, 350));
  EXPECT_TRUE(selected().empty());
  clickAt(pixelOf(120, 60));
  EXPECT_TRUE(selected().empty());
}

TEST_F(Selection, ClickFindsAThinStrokeWithinAFewPixels) {
  // The star's outline point at its tip, a pixel or two outside the art.
  const QPoint tip = pixelOf(200, 40);
  clickAt(tip - QPoint(0, 4));
  EXPECT_EQ(selected(), std::vector<QxArtHandle>{star_});
  clickAt(tip - QPoint(0, 40));
  EXPECT_TRUE(selected().empty());
}

TEST_F(Selection, RubberBandSelectsWhatItTouchesAndMiddleDragPans) {
  dragFromTo(pixelOf(10, 390), pixelOf(60, 330));  // over the ring only
  EXPECT_EQ(selected(), std::vector<QxArtHandle>{ring_});
  dragFromTo(pixelOf(5, 5), pixelOf(395, 395));
  EXPECT_EQ(selected(), (std::vector<QxArtHandle>{star_, ring_}));

  const QxRealPoint before = view()->origin();
  dragFromTo(pixelOf(10, 10), pixelOf(60, 60), Qt::MiddleButton);
  EXPECT_NE(before.x, view()->origin().x);
  EXPECT_EQ(selected().size(), 2u) << "panning leaves the selection alone";
}

TEST_F(Selection, EditMenuSelectsDeletesAndUndoBringsTheArtBack) {
  window_->selectAll();
  EXPECT_EQ(selected().size(), 2u);
  window_->deselectAll();
  EXPECT_TRUE(selected().empty());
  EXPECT_FALSE(window_->deleteAction()->isEnabled());
  EXPECT_FALSE(window_->deleteSelection()) << "nothing to delete";

  clickAt(pixelOf(200, 180));
  EXPECT_TRUE(window_->deleteAction()->isEnabled());
  ASSERT_TRUE(window_->deleteSelection());
  EXPECT_EQ(artCount(), 1u);
  EXPECT_FALSE(doc().art().isValid(star_));
  EXPECT_TRUE(window_->undoAction()->isEnabled());
  EXPECT_EQ(window_->undoAction()->text().toStdString(), "&Undo Delete");

  window_->undoAction()->trigger();
  EXPECT_EQ(artCount(), 2u);
  EXPECT_TRUE(doc().art().isValid(star_));
  EXPECT_EQ(doc().findArtByName("star"), star_);
  EXPECT_FALSE(window_->undoAction()->isEnabled());
}

TEST_F(Selection, ADeletionStaysUndoneOnlyUntilTheNextFilterRun) {
  window_->selectAll();
  ASSERT_TRUE(window_->deleteSelection());
  runFilter([](gui::ModalDialog& dialog) { key(&dialog, Qt::Key_Return); });
  ASSERT_GT(artCount(), 0u);
  // Undo now takes back the filter's art, and the deleted art stays gone.
  window_->undoAction()->trigger();
  EXPECT_EQ(artCount(), 0u);
  EXPECT_FALSE(doc().art().isValid(star_));
}

TEST_F(Selection, LoadPaletteFillsTheSwatchStripAndABadLineChangesNothing) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "qx_gui_palette";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "good.gpl") << "GIMP Palette\nName: Sea\n10 40 90 Deep\n250 200 60 Sun\n";
  std::ofstream(dir / "bad.txt") << "#0a285a Deep\nnot a colour\n";

  ASSERT_TRUE(window_->loadPalette(QString::fromStdString((dir / "good.gpl").string())));
  const auto& swatches = doc().swatches();
  ASSERT_EQ(swatches.size(), 6u);  // [None], [Registration], White, Black, Deep, Sun
  EXPECT_EQ(swatches[4].name, "Deep");
  // The strip shows each swatch in a cell of its own, left to right.
  gui::SwatchStrip* strip = window_->swatchStrip();
  strip->resize(400, strip->sizeHint().height());
  const QImage shot = strip->grab().toImage();
  int deepAt = -1;
  for (int x = 0; x < shot.width() && deepAt < 0; ++x)
    if (shot.pixel(x, shot.height() / 2) == qRgb(10, 40, 90)) deepAt = x;
  ASSERT_GE(deepAt, 0) << "the colour of swatch 4 is on the strip";
  EXPECT_EQ(strip->swatchAt(QPoint(deepAt + 2, shot.height() / 2)), 4);

  EXPECT_FALSE(window_->loadPalette(QString::fromStdString((dir / "bad.txt").string())));
  EXPECT_NE(window_->lastError().toStdString().find("bad.txt:2"), std::string::npos)
      << window_->lastError().toStdString();
  EXPECT_EQ(doc().swatches().size(), 6u) << "the palette in use is kept";
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qx::test
