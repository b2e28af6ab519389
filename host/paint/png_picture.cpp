#include "host/paint/png_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QImage>
#include <QPainter>

#include "host/document/document.h"
#include "host/paint/parallel_bands.h"
#include "host/paint/picture_area.h"
#include "host/paint/png_stream.h"

namespace qx::paint {
namespace {

// The rows from `firstRow` down: the art goes onto the transparent image,
// the ground under it.
void paintRows(QImage& image, const host::Document& document, const PictureArea& area, double scale, int firstRow,
               bool transparent) {
  image.fill(Qt::transparent);
  ParallelBands(document.art(), &image, areaToRows(area, scale, firstRow)).paint();
  if (transparent) return;
  QPainter ground(&image);
  ground.setCompositionMode(QPainter::CompositionMode_DestinationOver);
  ground.fillRect(image.rect(), Qt::white);
}

std::string pixels(double n) {
  char text[40];
  std::snprintf(text, sizeof text, n < 1e15 ? "%.0f" : "%.3g", n);
  return text;
}

// The area is measured once per picture: finding the art's reach walks all of it.
bool sizeOf(const PictureArea& area, const host::PaintOptions& options, PngSize* size, std::string* error) {
  double scale = 0;
  if (options.width > 0) scale = options.width / area.width;
  else if (options.height > 0) scale = options.height / area.height;
  else if (options.dpi > 0 && std::isfinite(options.dpi)) scale = options.dpi / 72.0;
  if (!(scale > 0) || !std::isfinite(scale)) {
    *error = "the resolution must be a number of pixels per inch above 0";
    return false;
  }
  // A given side is exact; the other follows the area's aspect, and a side
  // sized by resolution takes every partly covered pixel.
  const double w = options.width > 0    ? options.width
                   : options.height > 0 ? std::round(area.width * scale)
                                        : std::ceil(area.width * scale);
  const double h = options.height > 0  ? options.height
                   : options.width > 0 ? std::round(area.height * scale)
                                       : std::ceil(area.height * scale);
  const double width = std::max(w, 1.0), height = std::max(h, 1.0);
  const std::string shown = "the picture would be " + pixels(width) + " x " + pixels(height) + " pixels";
  if (!(width <= kMaxPngSide && height <= kMaxPngSide)) {
    *error = shown + "; a PNG may have at most " + std::to_string(kMaxPngSide) + " pixels a side";
    return false;
  }
  if (!(width * height <= kMaxPngPixels)) {
    *error = shown + " (" + pixels(width * height) + " in all); a PNG may have at most " + pixels(kMaxPngPixels) +
             " pixels (a gigapixel)";
    return false;
  }
  size->width = static_cast<int>(width);
  size->height = static_cast<int>(height);
  size->dpi = scale * 72.0;
  return true;
}

}  // namespace

bool pngSize(const host::Document& document, const host::PaintOptions& options, PngSize* size, std::string* error) {
  return sizeOf(pictureArea(document, options.area), options, size, error);
}

QImage paintedImage(const host::Document& document, const host::PaintOptions& options) {
  const PictureArea area = pictureArea(document, options.area);
  PngSize size;
  std::string why;
  if (!sizeOf(area, options, &size, &why)) return {};
  QImage image(size.width, size.height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return {};
  const int dotsPerMeter = static_cast<int>(std::lround(size.dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  paintRows(image, document, area, size.dpi / 72.0, 0, options.transparent);
  return image;
}

host::WriteResult writePng(const host::Document& document, const std::string& path, const host::PaintOptions& options,
                           std::string* error) {
  const PictureArea area = pictureArea(document, options.area);
  PngSize size;
  if (!sizeOf(area, options, &size, error)) return host::WriteResult::Refused;
  const int stripRows = std::clamp(static_cast<int>(kPngStripBytes / (4 * static_cast<size_t>(size.width))), 1,
                                   std::min(kPngStripRows, size.height));
  QImage strip(size.width, stripRows, QImage::Format_ARGB32_Premultiplied);
  if (strip.isNull()) {
    *error = "there is no memory for a strip of " + std::to_string(size.width) + " x " + std::to_string(stripRows) +
             " pixels";
    return host::WriteResult::Failed;
  }
  PngHeader header;
  header.width = size.width;
  header.height = size.height;
  header.alpha = options.transparent;  // on white every pixel is opaque
  header.dpi = size.dpi;
  header.text.emplace_back("Software", "Quelvix");
  if (document.seed()) header.text.emplace_back("Seed", std::to_string(*document.seed()));
  PngStream png;
  if (!png.open(path, header, error)) return host::WriteResult::Failed;
  bool writing = true;
  for (int top = 0; writing && top < size.height; top += stripRows) {
    paintRows(strip, document, area, size.dpi / 72.0, top, options.transparent);
    const int rows = std::min(stripRows, size.height - top);
    for (int y = 0; writing && y < rows; ++y)
      writing = png.writeRow(reinterpret_cast<const uint32_t*>(strip.constScanLine(y)));
  }
  return png.commit(error) ? host::WriteResult::Written : host::WriteResult::Failed;
}

}  // namespace qx::paint
