#include "host/gui/export_painted.h"

#include <cmath>

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "host/document/document.h"
#include "host/gui/art_painter.h"
#include "host/io/atomic_file.h"
#include "host/io/svg_writer.h"

namespace qx::gui {
namespace {

// The SVG output's area in artwork coordinates: left, top edge (y up) and size.
struct Area {
  double left, top, width, height;
};

Area exportArea(const host::Document& document) {
  const host::SvgBox box = host::svgViewBox(document);
  // SVG boxes run y down from the page's top edge.
  return {box.x, document.pageHeight() - box.y, std::max(box.width, 1.0), std::max(box.height, 1.0)};
}

void paintDocument(QPainter& painter, const host::Document& document, const Area& area, double scale) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setTransform(artworkToDevice(QxRealPoint{static_cast<QxReal>(area.left), static_cast<QxReal>(area.top)},
                                       scale));
  paintPage(painter, document);
  ArtPainter(document.art()).paint(painter);
}

}  // namespace

QImage paintedImage(const host::Document& document, double dpi) {
  if (!(dpi >= kMinPngDpi && dpi <= kMaxPngDpi)) return {};
  const Area area = exportArea(document);
  const double scale = dpi / 72.0;
  const double w = std::ceil(area.width * scale), h = std::ceil(area.height * scale);
  if (!(w * h <= kMaxPngPixels) || w > 1e6 || h > 1e6) return {};
  QImage image(static_cast<int>(w), static_cast<int>(h), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return {};
  image.fill(Qt::white);
  const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  QPainter painter(&image);
  paintDocument(painter, document, area, scale);
  return image;
}

bool writePng(const host::Document& document, const std::string& path, double dpi, std::string* error) {
  if (!(dpi >= kMinPngDpi && dpi <= kMaxPngDpi)) {
    *error = "the resolution must lie between 10 and 2400 pixels per inch";
    return false;
  }
  QImage image = paintedImage(document, dpi);
  if (image.isNull()) {
    *error = "the picture would be too large at this resolution; choose a lower one";
    return false;
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    *error = "the PNG could not be encoded";
    return false;
  }
  return host::writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}

bool writePdf(const host::Document& document, const std::string& path, std::string* error) {
  const Area area = exportArea(document);
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);  // one device unit per point
    pdf.setPageSize(QPageSize(QSizeF(area.width, area.height), QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setCreator(QStringLiteral("Quelvix"));
    QPainter painter;
    if (!painter.begin(&pdf)) {
      *error = "the PDF could not be started";
      return false;
    }
    paintDocument(painter, document, area, 1.0);
    painter.end();
  }
  if (bytes.isEmpty()) {
    *error = "the PDF came out empty";
    return false;
  }
  return host::writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}

}  // namespace qx::gui
