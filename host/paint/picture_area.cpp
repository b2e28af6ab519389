#include "host/paint/picture_area.h"

#include <algorithm>

#include "host/document/document.h"
#include "host/io/svg_write/svg_writer.h"
#include "host/paint/outline_paint.h"

namespace qx::paint {

PictureArea pictureArea(const host::Document& document, host::PaintedArea which) {
  if (which == host::PaintedArea::Page)
    return {0, document.pageHeight(), std::max<double>(document.pageWidth(), 1.0),
            std::max<double>(document.pageHeight(), 1.0)};
  const host::SvgBox box = host::svgViewBox(document);
  // SVG boxes run y down from the page's top edge.
  return {box.x, document.pageHeight() - box.y, std::max(box.width, 1.0), std::max(box.height, 1.0)};
}

QTransform areaToRows(const PictureArea& area, double scale, int firstRow) {
  // A strip is the picture moved up by its first row.
  return artworkToDevice(QxRealPoint{static_cast<QxReal>(area.left), static_cast<QxReal>(area.top)}, scale) *
         QTransform::fromTranslate(0, -firstRow);
}

}  // namespace qx::paint
