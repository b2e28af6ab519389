#include "host/gui/swatch_strip.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "host/document/document.h"
#include "host/io/color_convert.h"

namespace qx::gui {
namespace {

constexpr int kCell = 18, kGap = 3, kMargin = 4;

}  // namespace

SwatchStrip::SwatchStrip(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SwatchStrip::setDocument(const host::Document* document) {
  document_ = document;
  update();
}

QSize SwatchStrip::sizeHint() const { return {400, kCell + 2 * kMargin}; }

QRect SwatchStrip::cell(int index) const { return {kMargin + index * (kCell + kGap), kMargin, kCell, kCell}; }

int SwatchStrip::swatchAt(QPoint at) const {
  if (!document_) return -1;
  const int count = static_cast<int>(document_->swatches().size());
  for (int i = 0; i < count; ++i)
    if (cell(i).contains(at)) return i;
  return -1;
}

void SwatchStrip::paintEvent(QPaintEvent*) {
  if (!document_) return;
  QPainter p(this);
  const auto& swatches = document_->swatches();
  for (size_t i = 0; i < swatches.size(); ++i) {
    const QRect r = cell(static_cast<int>(i));
    if (r.left() > width()) break;
    if (const auto c = host::toSrgb8(swatches[i].color)) {
      p.fillRect(r, QColor(c->r, c->g, c->b));
    } else {
      // No colour ([None]): white, struck through.
      p.fillRect(r, Qt::white);
      p.setPen(QPen(QColor(0xd0, 0x30, 0x30), 1.5));
      p.drawLine(r.bottomLeft(), r.topRight());
    }
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
}

bool SwatchStrip::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int index = swatchAt(help->pos());
    if (index < 0) {
      QToolTip::hideText();
    } else {
      const std::string& name = document_->swatches()[static_cast<size_t>(index)].name;
      QToolTip::showText(help->globalPos(), tr("Swatch %1: %2").arg(index).arg(QString::fromStdString(name)), this);
    }
    return true;
  }
  return QWidget::event(event);
}

}  // namespace qx::gui
