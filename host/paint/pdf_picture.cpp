#include "host/paint/pdf_picture.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "host/document/document.h"
#include "host/io/atomic_file.h"
#include "host/paint/picture_area.h"
#include "host/paint/reference_painter.h"

namespace qx::paint {
namespace {

// Readers show the title; the XMP packet holds the seed as the SVG's
// metadata does, for programs.
void describeSeed(QPdfWriter& pdf, const host::Document& document) {
  if (!document.seed()) return;
  const QString seed = QString::fromStdString(std::to_string(*document.seed()));
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

// The whole file in memory; empty with a reason in *error when it could not
// be made.
QByteArray pdfBytes(const host::Document& document, const PictureArea& area, std::string* error) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);  // one device unit per point
    pdf.setPageSize(QPageSize(QSizeF(area.width, area.height), QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setCreator(QStringLiteral("Quelvix"));
    describeSeed(pdf, document);
    QPainter painter;
    if (!painter.begin(&pdf)) {
      *error = "the PDF could not be started";
      return {};
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(areaToRows(area, 1.0, 0));
    // The page's edge is the window's guide, not part of the drawing: a
    // picture shows only the art.
    ReferencePainter(document.art()).paint(painter);
    painter.end();
  }
  if (bytes.isEmpty()) *error = "the PDF came out empty";
  return bytes;
}

}  // namespace

host::WriteResult writePdf(const host::Document& document, const std::string& path, const host::PaintOptions& options,
                           std::string* error) {
  const QByteArray bytes = pdfBytes(document, pictureArea(document, options.area), error);
  if (bytes.isEmpty()) return host::WriteResult::Failed;
  return host::writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error)
             ? host::WriteResult::Written
             : host::WriteResult::Failed;
}

}  // namespace qx::paint
