#include "host/paint/contact_sheet_image.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>

#include "host/paint/offscreen_app.h"
#include "host/io/atomic_file.h"

namespace qx::paint {
namespace {

constexpr QRgb kFrame = 0xffd0d0d0;  // around a thumbnail, so white art shows its edge
constexpr QRgb kLabel = 0xff202020;
constexpr QRgb kFailedLabel = 0xffb00020;

void paintCell(QPainter& painter, const host::ContactSheetCell& cell, const QRect& box, const QRect& band) {
  QImage thumb;
  if (!cell.thumbnailPath.empty()) thumb.load(QString::fromStdString(cell.thumbnailPath), "PNG");
  painter.setBrush(Qt::NoBrush);
  if (thumb.isNull()) {
    // Nothing to show: the empty square, so the grid keeps its rhythm.
    painter.setPen(QPen(QColor(kFrame), 1, Qt::DashLine));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
  } else {
    if (thumb.width() > box.width() || thumb.height() > box.height())
      thumb = thumb.scaled(box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QRect placed(QPoint(0, 0), thumb.size());
    placed.moveCenter(box.center());
    painter.drawImage(placed.topLeft(), thumb);
    painter.setPen(QPen(QColor(kFrame), 1));
    painter.drawRect(placed.adjusted(-1, -1, 0, 0));
  }
  const bool failed = cell.label.ends_with("failed");
  painter.setPen(QColor(failed ? kFailedLabel : kLabel));
  const QString text = QString::fromStdString(cell.label);
  painter.drawText(band, Qt::AlignCenter, painter.fontMetrics().elidedText(text, Qt::ElideRight, band.width()));
}

}  // namespace

QImage contactSheetImage(const host::ContactSheet& sheet) {
  const host::ContactSheetSize size = host::contactSheetSize(sheet.cells.size(), sheet.columns, sheet.thumb);
  if (sheet.columns < 1 || sheet.thumb < 1 ||
      static_cast<double>(size.width) * static_cast<double>(size.height) > host::kMaxContactSheetPixels)
    return {};
  QImage image(static_cast<int>(size.width), static_cast<int>(size.height), QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QFont font = painter.font();
  font.setPixelSize(14);
  painter.setFont(font);
  constexpr int gap = host::kContactSheetGap;
  for (size_t i = 0; i < sheet.cells.size(); ++i) {
    const int column = static_cast<int>(i % static_cast<size_t>(sheet.columns));
    const int row = static_cast<int>(i / static_cast<size_t>(sheet.columns));
    const int left = gap + column * (sheet.thumb + gap);
    const int top = gap + row * (sheet.thumb + host::kContactSheetLabelHeight + gap);
    paintCell(painter, sheet.cells[i], QRect(left, top, sheet.thumb, sheet.thumb),
              QRect(left, top + sheet.thumb, sheet.thumb, host::kContactSheetLabelHeight));
  }
  return image;
}

bool writeContactSheet(const host::ContactSheet& sheet, const std::string& path, std::string* error) {
  ensureOffscreenApplication();  // text needs the font database of an application
  QImage image = contactSheetImage(sheet);
  if (image.isNull()) {
    const host::ContactSheetSize size = host::contactSheetSize(sheet.cells.size(), sheet.columns, sheet.thumb);
    *error = "the sheet of " + std::to_string(size.width) + " x " + std::to_string(size.height) +
             " pixels cannot be made (at most 100000000 pixels)";
    return false;
  }
  image.setText("Software", "Quelvix");
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    *error = "the sheet could not be encoded as PNG";
    return false;
  }
  return host::writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}

}  // namespace qx::paint
