// The page, view 0, redraw requests and undo texts.
#include <cmath>
#include <limits>

#include "host/document/document.h"
#include "host/document/document_impl.h"

namespace qx::host {

QxErr Document::setPageSize(QxReal width, QxReal height) {
  if (!std::isfinite(width) || !std::isfinite(height) || !(width > 0) || !(height > 0)) return QX_ERR_BAD_PARAM;
  setup_.width = width;
  setup_.height = height;
  return QX_ERR_NONE;
}

void Document::redraw() {
  ++redrawCount_;
  if (redrawCallback_) redrawCallback_();
}

void Document::setUndoText(std::string undo, std::string redo) {
  undoText_ = std::move(undo);
  redoText_ = std::move(redo);
}

QxErr Document::setZoom(QxReal zoom) {
  if (!(zoom >= 0.01f && zoom <= 64)) return QX_ERR_BAD_PARAM;
  zoom_ = zoom;
  return QX_ERR_NONE;
}

void Document::setViewTransform(const ViewTransform& view) {
  view_ = view;
  impl_->viewSet = true;
}

ViewTransform Document::viewTransform() const {
  if (impl_->viewSet) return view_;
  return ViewTransform{{0, setup_.height}, 1};
}

QxRealPoint Document::viewToArtwork(QxPoint view) const {
  const ViewTransform t = viewTransform();
  const double scale = t.pixelsPerPoint * zoom_;
  return {static_cast<QxReal>(t.origin.x + view.h / scale), static_cast<QxReal>(t.origin.y - view.v / scale)};
}

QxErr Document::artworkToView(QxRealPoint artwork, QxPoint* view) const {
  if (view == nullptr) return QX_ERR_BAD_PARAM;
  const ViewTransform t = viewTransform();
  const double scale = t.pixelsPerPoint * zoom_;
  const double h = std::round((artwork.x - double(t.origin.x)) * scale);
  const double v = std::round((double(t.origin.y) - artwork.y) * scale);
  constexpr double lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  if (!(h >= lo && h <= hi && v >= lo && v <= hi)) return QX_ERR_BAD_PARAM;
  *view = QxPoint{static_cast<int32_t>(h), static_cast<int32_t>(v)};
  return QX_ERR_NONE;
}

}  // namespace qx::host
