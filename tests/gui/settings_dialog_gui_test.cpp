// The settings dialog as real widgets: values typed, ticked and picked reach
// the record and the preview; enabling follows; OK, Cancel and the keys.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "gui_fixture.h"
#include "host/document/document.h"

namespace qx::test {
namespace {

using gui::ModalDialog;
using gui::SpinEdit;

void type(SpinEdit* spin, const QString& text) {
  spin->setFocus();
  spin->selectAll();
  GuiHost::typeText(spin, text);
}

TEST_F(GuiHost, WidgetsChangeTheRecordAndThePreview) {
  runFilter([&](ModalDialog& d) {
    EXPECT_EQ(d.width(), 530);
    EXPECT_EQ(d.height(), 325);
    EXPECT_TRUE(d.windowTitle().contains("Plug-in"));
    FilterParameters& p = record(d);
    EXPECT_GT(artCount(), 0u) << "the first preview is drawn on opening";

    // Typing commits only on Return; one Return commits, the next would confirm.
    auto* points = widget<SpinEdit>(d, 4);
    type(points, "25");
    EXPECT_NE(p.pointsMin, 25);
    key(points, Qt::Key_Return);
    EXPECT_EQ(p.pointsMin, 25);
    EXPECT_FALSE(d.model().ended());
    EXPECT_EQ(points->decimals(), 0);
    EXPECT_EQ(points->maximum(), 3000);

    // Limits and arrow steps: the arrow key commits at once.
    auto* step = widget<SpinEdit>(d, 10);
    EXPECT_EQ(step->decimals(), 2);
    const double before = p.stepX;
    step->setFocus();
    key(step, Qt::Key_Up);
    EXPECT_FLOAT_EQ(p.stepX, before + 1);
    type(step, "5000");
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);  // focus loss commits too
    QApplication::sendEvent(step, &leave);
    EXPECT_LE(p.stepX, 1000.0f);

    // The lock box disables the second value.
    auto* lock = widget<QCheckBox>(d, 44);
    click(lock, QPoint(5, lock->height() / 2));
    EXPECT_EQ(p.lockPoints, 1);
    EXPECT_FALSE(widget<SpinEdit>(d, 5)->isEnabled());

    // " To swatch" enables the swatch and the steps of the lines' stroke.
    auto* mode = widget<QComboBox>(d, 18);
    EXPECT_EQ(mode->count(), 16);
    mode->setCurrentIndex(6);
    emit mode->activated(6);
    EXPECT_EQ(p.lineStrokeMode, 6);
    EXPECT_TRUE(widget<SpinEdit>(d, 19)->isEnabled());
    EXPECT_TRUE(widget<SpinEdit>(d, 20)->isEnabled());
    mode->setCurrentIndex(3);
    emit mode->activated(3);
    EXPECT_FALSE(widget<SpinEdit>(d, 19)->isEnabled());

    // Shuffle draws a new variation of the same settings.
    const auto redraws = session_->document().redrawCount();
    click(widget<QPushButton>(d, 60));
    EXPECT_GT(session_->document().redrawCount(), redraws);

    // Preview off leaves the art standing and draws nothing more.
    auto* preview = widget<QCheckBox>(d, 3);
    click(preview, QPoint(5, preview->height() / 2));
    EXPECT_EQ(p.preview, 0);
    EXPECT_EQ(p.previewDrawn, 0);
    click(preview, QPoint(5, preview->height() / 2));
    EXPECT_EQ(p.previewDrawn, 1);

    key(&d, Qt::Key_Return);
    EXPECT_TRUE(d.model().ended());
  });
  EXPECT_GT(artCount(), 0u) << "OK keeps the preview's art";
  ASSERT_EQ(saves_, 1) << "the settings are kept after OK";
  FilterParameters kept;
  ASSERT_EQ(saved_.size(), sizeof kept);
  std::memcpy(&kept, saved_.data(), sizeof kept);
  EXPECT_EQ(kept.pointsMin, 25);
  EXPECT_EQ(kept.lockPoints, 1);
  EXPECT_EQ(kept.lineStrokeMode, 3);

  ASSERT_TRUE(window_->undoAction()->isEnabled());
  window_->undoAction()->trigger();
  EXPECT_EQ(artCount(), 0u) << "Undo takes the filter's art back";
  EXPECT_FALSE(window_->undoAction()->isEnabled());
}

TEST_F(GuiHost, CancelAndEscapeTakeEverythingBack) {
  runFilter([&](ModalDialog& d) {
    type(widget<SpinEdit>(d, 6), "3");
    key(widget<SpinEdit>(d, 6), Qt::Key_Return);
    EXPECT_EQ(record(d).lineSets, 3);
    click(widget<QPushButton>(d, 2));
    EXPECT_EQ(d.model().itemHit(), 2);
  });
  EXPECT_EQ(artCount(), 0u);
  EXPECT_EQ(saves_, 0);
  EXPECT_FALSE(window_->undoAction()->isEnabled());

  runFilter([&](ModalDialog& d) {
    EXPECT_NE(record(d).lineSets, 3) << "Cancel restored the record";
    key(&d, Qt::Key_Escape);
    EXPECT_EQ(d.model().itemHit(), 2);
  });
  EXPECT_EQ(artCount(), 0u);
}

TEST_F(GuiHost, DialogReopensWhereItWasClosed) {
  QPoint closedAt;
  runFilter([&](ModalDialog& d) {
    d.move(d.pos() + QPoint(37, 21));
    closedAt = d.pos();
    d.confirm();
  });
  runFilter([&](ModalDialog& d) {
    EXPECT_EQ(d.pos(), closedAt);
    d.hostOkButton()->click();
    EXPECT_EQ(d.model().itemHit(), 1);
  });
}

TEST_F(GuiHost, PageButtonsSwitchPagesAndMarkTheCaption) {
  runFilter([&](ModalDialog& d) {
    EXPECT_TRUE(widget<SpinEdit>(d, 4)->isVisible());
    EXPECT_FALSE(widget<SpinEdit>(d, 21)->isVisible());
    const auto runs = session_->document().redrawCount();
    click(widget<QPushButton>(d, 92));
    EXPECT_EQ(record(d).dialogPage, 3);
    EXPECT_TRUE(widget<SpinEdit>(d, 21)->isVisible());
    EXPECT_FALSE(widget<SpinEdit>(d, 4)->isVisible());
    EXPECT_FALSE(widget<QCheckBox>(d, 26)->isVisible());
    EXPECT_TRUE(widget<QLabel>(d, 97)->font().bold());
    EXPECT_FALSE(widget<QLabel>(d, 95)->font().bold());
    EXPECT_EQ(session_->document().redrawCount(), runs) << "switching pages draws no preview";
    // The page switch survives a change on the page.
    click(widget<QPushButton>(d, 93));
    auto* split = widget<QCheckBox>(d, 26);
    click(split, QPoint(5, split->height() / 2));
    EXPECT_EQ(record(d).splitLines, 1);
    EXPECT_TRUE(split->isVisible());
    EXPECT_FALSE(widget<SpinEdit>(d, 21)->isEnabled()) << "split lines disable the shape controls";
    d.cancel();
  });
}

TEST_F(GuiHost, ZoomSpinEditZoomsTheView) {
  runFilter([&](ModalDialog& d) {
    auto* zoom = widget<SpinEdit>(d, 14);
    type(zoom, "250");
    key(zoom, Qt::Key_Return);
    EXPECT_FLOAT_EQ(session_->document().zoom(), 2.5f);
    EXPECT_DOUBLE_EQ(window_->view()->zoom(), 2.5);
    d.cancel();
  });
}

TEST_F(GuiHost, AdjusterDragFollowsThePointerOverThePage) {
  runFilter([&](ModalDialog& d) {
    FilterParameters& p = record(d);
    auto* adjuster = widget<QPushButton>(d, 162);  // stepX from the horizontal position
    gui::DocumentView* view = window_->view();
    const host::Document& doc = session_->document();
    const auto runs = doc.redrawCount();

    auto send = [&](QEvent::Type type, QPointF artwork, Qt::MouseButtons buttons, Qt::MouseButton button) {
      const QPointF global = view->mapToGlobal(view->toPixel(QxRealPoint{static_cast<QxReal>(artwork.x()),
                                                                         static_cast<QxReal>(artwork.y())}));
      const QPointF local = adjuster->mapFromGlobal(global);
      QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
      QApplication::sendEvent(adjuster, &event);
    };
    const double w = doc.pageWidth(), h = doc.pageHeight();
    send(QEvent::MouseButtonPress, {w / 2, h / 2}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_NEAR(p.stepX, 200.5, 2);
    send(QEvent::MouseMove, {w, h / 2}, Qt::LeftButton, Qt::NoButton);
    EXPECT_NEAR(p.stepX, 1, 2);
    EXPECT_NEAR(widget<SpinEdit>(d, 10)->value(), p.stepX, 0.01);
    EXPECT_GT(doc.redrawCount(), runs) << "the preview follows the drag";
    send(QEvent::MouseButtonRelease, {0, h / 2}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, {0, h / 2}, Qt::NoButton, Qt::NoButton);
    EXPECT_NEAR(p.stepX, 1, 2) << "without the button held nothing changes";
    d.cancel();
  });
}

}  // namespace
}  // namespace qx::test
