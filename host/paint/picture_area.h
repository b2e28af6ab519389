// The part of the plane a picture of a document shows (PNG and PDF alike),
// and the transform that puts it on a picture's pixels.
#pragma once

#include <QTransform>

#include "host/session/paint_options.h"

namespace qx::host {
class Document;
}

namespace qx::paint {

// In artwork coordinates: the left and top edges (y up) and the size, at
// least a point each way.
struct PictureArea {
  double left, top, width, height;
};

// The page alone, or the SVG output's view box (the page and all art with
// its strokes, which walks all of the art to measure).
PictureArea pictureArea(const host::Document& document, host::PaintedArea which);

// Artwork to the pixels of the rows from `firstRow` down of the picture
// whose pixel (0, 0) is the area's top-left corner, `scale` pixels a point.
QTransform areaToRows(const PictureArea& area, double scale, int firstRow);

}  // namespace qx::paint
