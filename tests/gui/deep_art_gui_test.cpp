// Art nested a hundred thousand deep is painted and picked like any other:
// neither the painter nor the hit test recurses on the depth of the tree.
#include <gtest/gtest.h>

#include <QImage>

#include "host/document/document.h"
#include "host/gui/art_selection.h"
#include "host/paint/png_picture.h"
#include "tests/gui/qt_app.h"
#include "tests/host/test_io_documents.h"
#include "tests/support/art_store_builders.h"

namespace qx::test {
namespace {

using host::iotest::corner;

TEST(PaintingDeepArt, AHundredThousandNestedGroupsArePaintedAndPicked) {
  ensureApp();
  host::Document doc(100, 100);
  QxArtHandle inner = nullptr;
  const QxArtHandle outer = host::nestGroups(doc.art(), 100'000, &inner);
  QxPathStyle style = host::iotest::paintStyle(host::iotest::rgbColor(0, 0.5, 0), host::iotest::grayColor(0), 1);
  host::iotest::addPath(doc, {corner(20, 20), corner(80, 20), corner(80, 80), corner(20, 80)}, true, &style,
                        QX_PLACE_INSIDE_ON_TOP, inner);
  host::PaintOptions options;
  options.area = host::PaintedArea::Page;
  options.dpi = 72;
  const QImage picture = paint::paintedImage(doc, options);
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.pixel(50, 50), qRgb(0, 128, 0));
  EXPECT_EQ(picture.pixel(5, 5), qRgb(255, 255, 255));
  EXPECT_EQ(gui::artAt(doc.art(), QxRealPoint{50, 50}, 1), outer);
  EXPECT_EQ(gui::artAt(doc.art(), QxRealPoint{5, 5}, 1), nullptr);
}

}  // namespace
}  // namespace qx::test
