// The document window: the painted page and art, the view the plug-in sees,
// files in and out, and a screenshot with the dialog open.
#include <filesystem>
#include <fstream>

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QImage>
#include <QMenu>

#include "gui_fixture.h"
#include "host/document/document.h"
#include "host/io/svg_write/svg_writer.h"
#include "host/paint/png_picture.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name) {
  fs::path dir = fs::temp_directory_path() / "qx_gui_tests";
  fs::create_directories(dir);
  return dir / name;
}

// Pixels inside `area` that are neither white nor the window's gray.
int inkPixels(const QImage& image, QRect area) {
  int ink = 0;
  area = area.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (c != qRgb(255, 255, 255) && qGray(c) != 0x70) ++ink;
    }
  return ink;
}

TEST_F(GuiHost, FilterMenuHasTheCategorySubmenu) {
  // The category's submenu, then the seed commands below a separator.
  QMenu* menu = window_->filterMenu();
  ASSERT_EQ(menu->actions().size(), 4);
  EXPECT_TRUE(menu->actions()[1]->isSeparator());
  EXPECT_EQ(menu->actions()[2]->text(), "Set Seed...");
  EXPECT_EQ(menu->actions()[3]->text(), "Variations...");
  QMenu* category = menu->actions()[0]->menu();
  ASSERT_NE(category, nullptr);
  EXPECT_EQ(category->title(), "Torvik <Create>");
  ASSERT_EQ(category->actions().size(), 1);
  EXPECT_EQ(category->actions()[0]->text(), "Quelvix...");
}

TEST_F(GuiHost, ViewAndDocumentAgreeOnCoordinates) {
  gui::DocumentView* view = window_->view();
  host::Document& doc = session_->document();
  view->fitPage();
  const QPointF corner = view->toPixel(QxRealPoint{0, 0});  // the page's bottom-left corner
  const QxRealPoint back = doc.viewToArtwork(QxPoint{int(std::lround(corner.x())), int(std::lround(corner.y()))});
  EXPECT_NEAR(back.x, 0, 1.5);
  EXPECT_NEAR(back.y, 0, 1.5);
  EXPECT_GT(corner.y(), view->toPixel(QxRealPoint{0, doc.pageHeight()}).y()) << "artwork y runs up";

  view->actualSize();
  EXPECT_FLOAT_EQ(doc.zoom(), 1.0f);
  view->zoomBy(2, QPointF(100, 100));
  EXPECT_FLOAT_EQ(doc.zoom(), 2.0f);
  const QxRealPoint under = view->toArtwork(QPoint(100, 100));
  view->zoomBy(1.5, QPointF(100, 100));
  const QxRealPoint still = view->toArtwork(QPoint(100, 100));
  EXPECT_NEAR(under.x, still.x, 1) << "zooming keeps the point under the pointer";
  EXPECT_NEAR(under.y, still.y, 1);
  view->panBy(QPointF(30, 0));
  EXPECT_NEAR(view->toArtwork(QPoint(130, 100)).x, still.x, 1);
}

TEST_F(GuiHost, ScreenshotWithTheDialogOpenShowsPageAndArt) {
  QImage shot;
  QRect page;
  runFilter([&](gui::ModalDialog& d) {
    // Several sets from random starts on the page, so the art lands on it.
    auto* sets = d.widgetAs<gui::SpinEdit>(6);
    sets->selectAll();
    typeText(sets, "8");
    key(sets, Qt::Key_Return);
    click(d.widgetAs<QPushButton>(93));
    auto* start = d.widgetAs<QCheckBox>(27);
    click(start, QPoint(5, start->height() / 2));
    ASSERT_EQ(record(d).randomStart, 1);
    gui::DocumentView* view = window_->view();
    const host::Document& doc = session_->document();
    const QPoint offset = view->mapTo(window_.get(), QPoint(0, 0));
    page = QRectF(view->toPixel(QxRealPoint{0, doc.pageHeight()}), view->toPixel(QxRealPoint{doc.pageWidth(), 0}))
               .toRect()
               .translated(offset);
    shot = screenshot(&d);
    d.confirm();
  });
  ASSERT_FALSE(shot.isNull());
  const fs::path file = fs::current_path() / "gui_dialog_screenshot.png";
  ASSERT_TRUE(shot.save(QString::fromStdString(file.string()), "PNG"));
  EXPECT_GT(fs::file_size(file), 1000u);

  // The page's outline is drawn dark around the page, where the dialog and
  // the art leave it uncovered.
  int outline = 0;
  for (int y = page.top() + 5; y < page.bottom() - 5; ++y)
    for (int x : {page.left(), page.right()})
      if (qGray(shot.pixel(x, y)) < 0x60) ++outline;
  for (int x = page.left() + 5; x < page.right() - 5; ++x)
    for (int y : {page.top(), page.bottom()})
      if (qGray(shot.pixel(x, y)) < 0x60) ++outline;
  EXPECT_GT(outline, (page.width() + page.height()) / 2) << "page outline not visible";
  // Art on the page, and a dialog full of controls over the window.
  EXPECT_GT(inkPixels(shot, page), 200) << "no art visible on the page";
  std::set<QRgb> colours;
  for (int y = 0; y < shot.height(); y += 3)
    for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
  EXPECT_GT(colours.size(), 20u) << "the screenshot is blank";
}

TEST_F(GuiHost, ExportsShowTheSameDrawingAndFailuresLeaveNoFile) {
  runFilter([](gui::ModalDialog& d) { d.confirm(); });
  ASSERT_GT(artCount(), 0u);
  const fs::path svg = scratch("drawing.svg"), png = scratch("drawing.png"), pdf = scratch("drawing.pdf");
  ASSERT_TRUE(window_->exportFile(QString::fromStdString(svg.string()), "svg"));
  ASSERT_TRUE(window_->exportFile(QString::fromStdString(png.string()), "png", 72));
  ASSERT_TRUE(window_->exportFile(QString::fromStdString(pdf.string()), "pdf"));

  QImage image(QString::fromStdString(png.string()));
  ASSERT_FALSE(image.isNull());
  const host::SvgBox box = host::svgViewBox(session_->document());
  EXPECT_NEAR(image.width(), box.width, 1.5) << "72 pixels per inch: one pixel per point";
  EXPECT_GT(inkPixels(image, image.rect()), 200);
  host::PaintOptions at144;
  at144.dpi = 144;
  QImage fine = paint::paintedImage(session_->document(), at144);
  EXPECT_NEAR(fine.width(), 2 * image.width(), 2);

  std::ifstream in(pdf, std::ios::binary);
  std::string head(5, '\0');
  in.read(head.data(), 5);
  EXPECT_EQ(head, "%PDF-");

  // The SVG opens again as the same drawing.
  const size_t count = artCount();
  ASSERT_TRUE(window_->openFile(QString::fromStdString(svg.string())));
  EXPECT_EQ(artCount(), count);
  EXPECT_EQ(host::svgText(session_->document()).size() > 0, true);
  host::PaintOptions at72;
  at72.dpi = 72;
  QImage reopened = paint::paintedImage(session_->document(), at72);
  EXPECT_EQ(reopened.size(), image.size());

  // A folder that does not exist: a message, no file, nothing half-written.
  const fs::path bad = scratch("missing") / "x.png";
  EXPECT_FALSE(window_->exportFile(QString::fromStdString(bad.string()), "png"));
  EXPECT_FALSE(window_->lastError().isEmpty());
  EXPECT_FALSE(fs::exists(bad));
  EXPECT_FALSE(window_->exportFile(QString::fromStdString(png.string()), "png", 100000)) << "too large a picture";
}

TEST_F(GuiHost, NewDocumentTakesThePageSize) {
  ASSERT_TRUE(window_->newDocument(595.2756, 841.8898));
  EXPECT_NEAR(session_->document().pageWidth(), 595.28, 0.01);
  EXPECT_FALSE(window_->newDocument(0, 100));
  EXPECT_NEAR(session_->document().pageWidth(), 595.28, 0.01) << "a refused size keeps the document";
}

}  // namespace
}  // namespace qx::test
