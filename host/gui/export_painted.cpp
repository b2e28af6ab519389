#include "host/gui/export_painted.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "host/document/document.h"
#include "host/gui/art_painter.h"
#include "host/gui/png_stream.h"
#include "host/gui/raster_engine.h"
#include "host/io/atomic_file.h"
#include "host/io/svg_write/svg_writer.h"

namespace qx::gui {
namespace {

// The area shown, in artwork coordinates: left, top edge (y up) and size.
struct Area {
  double left, top, width, height;
};

Area exportArea(const host::Document& document, host::PaintedArea which) {
  if (which == host::PaintedArea::Page)
    return {0, document.pageHeight(), std::max<double>(document.pageWidth(), 1.0),
            std::max<double>(document.pageHeight(), 1.0)};
  const host::SvgBox box = host::svgViewBox(document);
  // SVG boxes run y down from the page's top edge.
  return {box.x, document.pageHeight() - box.y, std::max(box.width, 1.0), std::max(box.height, 1.0)};
}

// Paints the rows from `firstRow` down of the picture whose pixel (0, 0) is
// the area's top-left corner; a strip is the picture moved up by its first row.
void paintDocument(QPainter& painter, const host::Document& document, const Area& area, double scale, int firstRow,
                   bool transparent) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setTransform(artworkToDevice(QxRealPoint{static_cast<QxReal>(area.left), static_cast<QxReal>(area.top)},
                                       scale) *
                       QTransform::fromTranslate(0, -firstRow));
  // The page's edge is the window's guide, not part of the drawing: a
  // picture shows only the art, on the ground the caller filled.
  (void)transparent;
  ArtPainter(document.art()).paint(painter);
}

// The rows from `firstRow` down, as paintDocument paints them, through the
// raster engine: the art goes onto the transparent image, the ground under it.
void paintRows(QImage& image, const host::Document& document, const Area& area, double scale, int firstRow,
               bool transparent) {
  image.fill(Qt::transparent);
  const QTransform toDevice = artworkToDevice(QxRealPoint{static_cast<QxReal>(area.left),
                                                          static_cast<QxReal>(area.top)},
                                              scale) *
                              QTransform::fromTranslate(0, -firstRow);
  RasterEngine(document.art(), &image, toDevice).paint();
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

std::string seedText(const host::Document& document) { return std::to_string(*document.seed()); }

// The area is measured once per picture: finding the art's reach walks all of it.
bool sizeOf(const Area& area, const host::PaintOptions& options, PngSize* size, std::string* error) {
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
  return sizeOf(exportArea(document, options.area), options, size, error);
}

QImage paintedImage(const host::Document& document, const host::PaintOptions& options) {
  const Area area = exportArea(document, options.area);
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

QImage paintedImage(const host::Document& document, double dpi) {
  host::PaintOptions options;
  options.dpi = dpi;
  return paintedImage(document, options);
}

host::PaintedWrite writePng(const host::Document& document, const std::string& path, const host::PaintOptions& options,
                            std::string* error) {
  const Area area = exportArea(document, options.area);
  PngSize size;
  if (!sizeOf(area, options, &size, error)) return host::PaintedWrite::Refused;
  const int stripRows = std::clamp(static_cast<int>(kPngStripBytes / (4 * static_cast<size_t>(size.width))), 1,
                                   std::min(kPngStripRows, size.height));
  QImage strip(size.width, stripRows, QImage::Format_ARGB32_Premultiplied);
  if (strip.isNull()) {
    *error = "there is no memory for a strip of " + std::to_string(size.width) + " x " + std::to_string(stripRows) +
             " pixels";
    return host::PaintedWrite::Failed;
  }
  PngHeader header;
  header.width = size.width;
  header.height = size.height;
  header.alpha = options.transparent;  // on white every pixel is opaque
  header.dpi = size.dpi;
  header.text.emplace_back("Software", "Quelvix");
  if (document.seed()) header.text.emplace_back("Seed", seedText(document));
  PngStream png;
  if (!png.open(path, header, error)) return host::PaintedWrite::Failed;
  bool writing = true;
  for (int top = 0; writing && top < size.height; top += stripRows) {
    paintRows(strip, document, area, size.dpi / 72.0, top, options.transparent);
    const int rows = std::min(stripRows, size.height - top);
    for (int y = 0; writing && y < rows; ++y)
      writing = png.writeRow(reinterpret_cast<const uint32_t*>(strip.constScanLine(y)));
  }
  return png.commit(error) ? host::PaintedWrite::Written : host::PaintedWrite::Failed;
}

host::PaintedWrite writePdf(const host::Document& document, const std::string& path, const host::PaintOptions& options,
                            std::string* error) {
  const Area area = exportArea(document, options.area);
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);  // one device unit per point
    pdf.setPageSize(QPageSize(QSizeF(area.width, area.height), QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setCreator(QStringLiteral("Quelvix"));
    if (document.seed()) {
      // Readers show the title; the XMP packet holds the seed as the SVG's
      // metadata does, for programs.
      const QString seed = QString::fromStdString(seedText(document));
      pdf.setTitle(QStringLiteral("Quelvix drawing, seed ") + seed);
      pdf.setDocumentXmpMetadata(
          QStringLiteral("<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                         "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                         "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                         "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
                         " xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:qx=\"urn:quelvix:document#\">\n"
                         "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">Quelvix drawing, seed %1</rdf:li>"
                         "</rdf:Alt></dc:title>\n"
                         "<xmp:CreatorTool>Quelvix</xmp:CreatorTool>\n"
                         "<qx:seed>%1</qx:seed>\n"
                         "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>")
              .arg(seed)
              .toUtf8());
    }
    QPainter painter;
    if (!painter.begin(&pdf)) {
      *error = "the PDF could not be started";
      return host::PaintedWrite::Failed;
    }
    paintDocument(painter, document, area, 1.0, 0, options.transparent);
    painter.end();
  }
  if (bytes.isEmpty()) {
    *error = "the PDF came out empty";
    return host::PaintedWrite::Failed;
  }
  return host::writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error)
             ? host::PaintedWrite::Written
             : host::PaintedWrite::Failed;
}

bool writePng(const host::Document& document, const std::string& path, double dpi, std::string* error) {
  host::PaintOptions options;
  options.dpi = dpi;
  return writePng(document, path, options, error) == host::PaintedWrite::Written;
}

bool writePdf(const host::Document& document, const std::string& path, std::string* error) {
  return writePdf(document, path, host::PaintOptions{}, error) == host::PaintedWrite::Written;
}

}  // namespace qx::gui
