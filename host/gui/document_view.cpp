#include "host/gui/document_view.h"

#include <algorithm>
#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "host/document/art_walk.h"
#include "host/document/document.h"
#include "host/gui/art_selection.h"
#include "host/paint/outline_paint.h"
#include "host/session/selection.h"

namespace qx::gui {
namespace {

constexpr double kMinZoom = 0.01, kMaxZoom = 64;
constexpr qint64 kSliceMs = 20;
constexpr qint64 kBusyAfterMs = 200;
constexpr int kFitMargin = 20;
constexpr double kPickPixels = 3;  // how near the pointer must come to art to pick it
constexpr int kBandAfterPixels = 4;
// Beyond these many selected objects only their boxes are outlined, then
// only one box around all: outlining millions would stall the window.
constexpr size_t kOutlineShapesUpTo = 300, kOutlineBoxesUpTo = 5000;

// Every path of `art` and its members, as one outline.
void appendArtOutline(const host::ArtStore& art, QxArtHandle object, QPainterPath& outline) {
  host::ArtWalk walk(art, object);
  host::ArtStep step;
  while (walk.next(&step))
    if (step.kind == host::ArtStep::kArt && step.type == QX_ART_PATH)
      paint::appendOutline(outline, step.view.segments, step.view.closed);
}

}  // namespace

DocumentView::DocumentView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(200, 150);
  sliceTimer_.setSingleShot(true);
  sliceTimer_.setInterval(0);
  connect(&sliceTimer_, &QTimer::timeout, this, [this] { paintSlice(kSliceMs); });
}

void DocumentView::setDocument(host::Document* document) {
  painting_.reset();  // it reads the art of the document shown so far
  document_ = document;
  shown_ = Picture{};
  if (document_) {
    lastZoom_ = document_->zoom();
    fitPending_ = true;
    fitPage();
  } else {
    restartRender();
  }
  selectionChanged();
}

void DocumentView::selectionChanged() {
  selection_.clear();
  if (document_) {
    for (QxArtHandle art : host::selectedArt(document_->art())) {
      QxRealRect b{};
      if (document_->art().bounds(art, &b) == QX_ERR_NONE) selection_.push_back({art, b});
    }
  }
  update();
}

double DocumentView::zoom() const { return document_ ? document_->zoom() : 1.0; }

QxRealPoint DocumentView::toArtwork(QPoint pixel) const {
  if (document_) return document_->viewToArtwork(QxPoint{pixel.x(), pixel.y()});
  return {static_cast<QxReal>(pixel.x()), static_cast<QxReal>(-pixel.y())};
}

QPointF DocumentView::toPixel(QxRealPoint artwork) const {
  const double s = zoom();
  return {(artwork.x - origin_.x) * s, (origin_.y - artwork.y) * s};
}

void DocumentView::applyView() {
  if (document_) document_->setViewTransform(host::ViewTransform{origin_, 1});
  restartRender();
}

void DocumentView::documentChanged() {
  if (document_ && document_->zoom() != lastZoom_) {
    // The plug-in zoomed: keep the artwork point at the window's centre.
    zoomedAbout(QPointF(width() / 2.0, height() / 2.0), lastZoom_);
  } else {
    restartRender();
  }
  selectionChanged();
}

void DocumentView::fitRect(double left, double bottom, double right, double top) {
  if (!document_) return;
  const double w = std::max(right - left, 1.0), h = std::max(top - bottom, 1.0);
  const double availW = std::max(width() - 2 * kFitMargin, 10), availH = std::max(height() - 2 * kFitMargin, 10);
  const double z = std::clamp(std::min(availW / w, availH / h), kMinZoom, kMaxZoom);
  (void)document_->setZoom(static_cast<QxReal>(z));
  lastZoom_ = document_->zoom();
  const double cx = (left + right) / 2, cy = (bottom + top) / 2;
  origin_ = {static_cast<QxReal>(cx - width() / 2.0 / lastZoom_), static_cast<QxReal>(cy + height() / 2.0 / lastZoom_)};
  emit zoomChanged(lastZoom_);
  applyView();
}

void DocumentView::fitPage() {
  if (!document_) return;
  fitRect(0, 0, document_->pageWidth(), document_->pageHeight());
}

void DocumentView::fitArt() {
  if (!document_) return;
  bool any = false;
  QxRealRect all{};
  for (QxArtHandle art : document_->art().topLevelArt()) {
    QxRealRect b{};
    if (document_->art().bounds(art, &b) != QX_ERR_NONE) continue;
    if (!std::isfinite(b.left) || !std::isfinite(b.right) || !std::isfinite(b.top) || !std::isfinite(b.bottom))
      continue;
    if (!any) {
      all = b;
      any = true;
    } else {
      all.left = std::min(all.left, b.left);
      all.right = std::max(all.right, b.right);
      all.bottom = std::min(all.bottom, b.bottom);
      all.top = std::max(all.top, b.top);
    }
  }
  if (!any) return fitPage();
  fitRect(all.left, std::min(all.bottom, all.top), all.right, std::max(all.bottom, all.top));
}

void DocumentView::actualSize() { zoomBy(1.0 / zoom(), QPointF(width() / 2.0, height() / 2.0)); }

void DocumentView::zoomBy(double factor, QPointF anchor) {
  if (!document_ || !std::isfinite(factor) || factor <= 0) return;
  const double before = zoom();
  const double after = std::clamp(before * factor, kMinZoom, kMaxZoom);
  if (document_->setZoom(static_cast<QxReal>(after)) != QX_ERR_NONE) return;
  zoomedAbout(anchor, before);
}

void DocumentView::zoomedAbout(QPointF anchor, double before) {
  const double after = document_->zoom();
  const QxRealPoint a{static_cast<QxReal>(origin_.x + anchor.x() / before),
                      static_cast<QxReal>(origin_.y - anchor.y() / before)};
  origin_ = {static_cast<QxReal>(a.x - anchor.x() / after), static_cast<QxReal>(a.y + anchor.y() / after)};
  lastZoom_ = after;
  emit zoomChanged(after);
  applyView();
}

void DocumentView::panBy(QPointF pixels) {
  const double s = zoom();
  origin_ = {static_cast<QxReal>(origin_.x - pixels.x() / s), static_cast<QxReal>(origin_.y + pixels.y() / s)};
  applyView();
}

// ---- Painting ----

void DocumentView::restartRender() {
  const qreal dpr = devicePixelRatioF();
  const QSize size(std::max(1, int(width() * dpr)), std::max(1, int(height() * dpr)));
  if (work_.image.size() != size) {
    work_.image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    work_.image.setDevicePixelRatio(dpr);
  }
  work_.image.fill(Qt::transparent);
  work_.origin = origin_;
  work_.scale = zoom();
  // The paint order is walked as it goes rather than copied: copying millions
  // of handles would itself keep input waiting.
  painting_.reset();
  if (document_) painting_.emplace(document_->art(), &work_.image, paint::artworkToDevice(work_.origin, work_.scale));
  stale_ = true;
  jobClock_.start();
  // The first slice runs from the event loop too: a plug-in that asks for a
  // redraw twice in a row then costs one painting, not one and a start.
  sliceTimer_.start();
}

void DocumentView::paintSlice(qint64 budgetMs) {
  if (painting_) {
    const bool done = painting_->paint(budgetMs);
    if (painting_->lost()) {
      // The art changed under the walk without a word: begin again.
      return restartRender();
    }
    if (done) painting_.reset();
  }
  if (!painting_) {
    stale_ = false;
    shown_ = work_;
    setBusy(false);
  } else {
    if (!busy_ && jobClock_.elapsed() >= kBusyAfterMs) setBusy(true);
    sliceTimer_.start();
    // The last complete picture stays on screen until this one is done.
    if (!shown_.image.isNull()) return;
  }
  update();
}

void DocumentView::finishRender() {
  if (stale_) paintSlice(-1);
}

void DocumentView::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
  emit busyChanged(busy);
}

void DocumentView::paintEvent(QPaintEvent*) {
  fitPending_ = false;
  QPainter p(this);
  p.fillRect(rect(), QColor(0x70, 0x70, 0x70));
  if (!document_) return;
  const double s = zoom();
  // The page in vector form, always exact; a soft shadow sets it off.
  const QPointF topLeft = toPixel({0, document_->pageHeight()});
  const QRectF page(topLeft, QSizeF(document_->pageWidth() * s, document_->pageHeight() * s));
  p.fillRect(page.translated(3, 3), QColor(0, 0, 0, 60));
  p.fillRect(page, Qt::white);

  // The newest picture when done (or when nothing was shown yet); otherwise
  // the last complete one, moved and scaled to the current view.
  const Picture& pic = (!stale_ || shown_.image.isNull()) ? work_ : shown_;
  if (!pic.image.isNull()) {
    const double k = s / pic.scale;
    const QPointF at((pic.origin.x - origin_.x) * s, (origin_.y - pic.origin.y) * s);
    const QRectF target(at, QSizeF(pic.image.width() / pic.image.devicePixelRatio() * k,
                                   pic.image.height() / pic.image.devicePixelRatio() * k));
    p.setRenderHint(QPainter::SmoothPixmapTransform, k != 1);
    p.drawImage(target, pic.image);
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(page);
  paintSelection(p);
}

void DocumentView::paintSelection(QPainter& p) {
  const QColor accent(0x1a, 0x73, 0xe8);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setBrush(Qt::NoBrush);
  auto box = [this](const QxRealRect& b) {
    return QRectF(toPixel({b.left, b.top}), toPixel({b.right, b.bottom})).normalized();
  };
  if (selection_.size() > kOutlineBoxesUpTo) {
    QxRealRect all = selection_.front().bounds;
    for (const Selected& s : selection_) {
      all.left = std::min({all.left, s.bounds.left, s.bounds.right});
      all.right = std::max({all.right, s.bounds.left, s.bounds.right});
      all.bottom = std::min({all.bottom, s.bounds.bottom, s.bounds.top});
      all.top = std::max({all.top, s.bounds.bottom, s.bounds.top});
    }
    p.setPen(QPen(accent, 1, Qt::DashLine));
    p.drawRect(box(all).adjusted(-2, -2, 2, 2));
  } else {
    const bool shapes = selection_.size() <= kOutlineShapesUpTo;
    const QTransform toView = paint::artworkToDevice(origin_, zoom());
    for (const Selected& s : selection_) {
      if (shapes) {
        // The object's own outline, thin, then its box.
        QPainterPath outline;
        appendArtOutline(document_->art(), s.art, outline);
        p.setPen(QPen(accent, 1));
        p.drawPath(toView.map(outline));
      }
      p.setPen(QPen(accent, 1, Qt::DotLine));
      p.drawRect(box(s.bounds).adjusted(-2, -2, 2, 2));
    }
  }
  if (banding_) {
    p.setPen(QPen(accent, 1, Qt::DashLine));
    p.setBrush(QColor(0x1a, 0x73, 0xe8, 40));
    p.drawRect(QRect(pressAt_, bandTo_).normalized());
  }
}

void DocumentView::resizeEvent(QResizeEvent*) {
  // Until the page is first shown, every new size fits it again.
  if (fitPending_) return fitPage();
  if (document_) document_->setViewTransform(host::ViewTransform{origin_, 1});
  restartRender();
}

void DocumentView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  zoomBy(std::pow(1.2, steps), event->position());
  event->accept();
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_)) {
    dragging_ = true;
    dragFrom_ = at;
    setCursor(Qt::ClosedHandCursor);
  } else if (event->button() == Qt::LeftButton && document_) {
    pressed_ = true;
    banding_ = false;
    bandAdds_ = event->modifiers() & Qt::ShiftModifier;
    pressAt_ = bandTo_ = at;
  }
}

void DocumentView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint now = event->position().toPoint();
  if (dragging_) {
    panBy(now - dragFrom_);
    dragFrom_ = now;
  } else if (pressed_) {
    bandTo_ = now;
    if (!banding_ && (now - pressAt_).manhattanLength() >= kBandAfterPixels) banding_ = true;
    if (banding_) update();
  }
}

void DocumentView::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_) {
    dragging_ = false;
    if (busy_) setCursor(Qt::BusyCursor);
    else unsetCursor();
    return;
  }
  if (!pressed_ || !document_) return;
  pressed_ = false;
  if (!banding_) return clickAt(event->position().toPoint(), event->modifiers() & Qt::ShiftModifier);
  banding_ = false;
  const QxRealPoint a = toArtwork(pressAt_), b = toArtwork(bandTo_);
  const std::vector<QxArtHandle> touched = artTouching(document_->art(), QRectF(QPointF(a.x, a.y), QPointF(b.x, b.y)));
  if (bandAdds_) host::addToSelection(document_->art(), touched);
  else host::selectOnly(document_->art(), touched);
  selectionChanged();
  emit selectionEdited();
}

void DocumentView::clickAt(QPoint pixel, bool add) {
  host::ArtStore& art = document_->art();
  const QxArtHandle hit = artAt(art, toArtwork(pixel), kPickPixels / zoom());
  if (add) {
    if (!hit) return;
    host::toggleSelected(art, hit);
  } else {
    host::selectOnly(art, hit ? std::vector<QxArtHandle>{hit} : std::vector<QxArtHandle>{});
  }
  selectionChanged();
  emit selectionEdited();
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    spaceHeld_ = true;
    setCursor(Qt::OpenHandCursor);
    return;
  }
  QWidget::keyPressEvent(event);
}

void DocumentView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    spaceHeld_ = false;
    if (busy_) setCursor(Qt::BusyCursor);
    else unsetCursor();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

}  // namespace qx::gui
