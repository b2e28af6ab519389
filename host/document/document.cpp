// The page, the swatch list, redraw requests and view 0.
#include "host/document/document.h"

#include <cmath>
#include <limits>
#include <utility>

#include "host/document/color_values.h"

namespace qx::host {

Document::Document(QxReal pageWidth, QxReal pageHeight) {
  setup_.showPlacedImages = 1;
  setup_.outputResolution = 800;
  if (setPageSize(pageWidth, pageHeight) != QX_ERR_NONE) {
    setup_.width = 612;
    setup_.height = 792;
  }
  setSwatches(defaultSwatches());
}

const std::string& Document::artName(QxArtHandle art) const {
  static const std::string kNone;
  auto it = names_.find(art);
  return it != names_.end() && art_.isValid(art) ? it->second : kNone;
}

QxErr Document::setArtName(QxArtHandle art, std::string name) {
  if (!art_.isValid(art)) return QX_ERR_BAD_PARAM;
  if (name.empty()) names_.erase(art);
  else names_[art] = std::move(name);
  return QX_ERR_NONE;
}

QxArtHandle Document::findArtByName(std::string_view name) const {
  for (const auto& [art, text] : names_)
    if (text == name && art_.isValid(art)) return art;
  return nullptr;
}

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

QxErr Document::setZoom(QxReal zoom) {
  if (!(zoom >= 0.01f && zoom <= 64)) return QX_ERR_BAD_PARAM;
  zoom_ = zoom;
  return QX_ERR_NONE;
}

void Document::setViewTransform(const ViewTransform& view) {
  view_ = view;
  viewSet_ = true;
}

ViewTransform Document::viewTransform() const {
  if (viewSet_) return view_;
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

// ---- Swatches ----

std::vector<Swatch> Document::defaultSwatches() {
  QxColor none{};
  none.kind = QX_COLOR_NONE;
  return {
      {"[None]", none},
      {"[Registration]", processColor(1, 1, 1, 1)},
      {"White", processColor(0, 0, 0, 0)},
      {"Black", processColor(0, 0, 0, 1)},
      {"Process Cyan", processColor(1, 0, 0, 0)},
      {"Process Magenta", processColor(0, 1, 0, 0)},
      {"Process Yellow", processColor(0, 0, 1, 0)},
      {"Poppy", processColor(0, 0.95f, 0.9f, 0)},
      {"Tangerine", processColor(0, 0.55f, 0.95f, 0)},
      {"Meadow", processColor(0.6f, 0, 1, 0)},
      {"Spruce", processColor(0.9f, 0.3f, 0.75f, 0.2f)},
      {"Lagoon", processColor(0.85f, 0.1f, 0.3f, 0)},
      {"Ink Blue", processColor(1, 0.8f, 0, 0.1f)},
      {"Grape", processColor(0.65f, 0.9f, 0, 0)},
      {"Slate", processColor(0, 0, 0, 0.6f)},
      {"Mist", processColor(0, 0, 0, 0.2f)},
      {"Signal Red", rgbColor(0.9f, 0.1f, 0.1f)},
      {"Leaf Green", rgbColor(0.2f, 0.7f, 0.25f)},
      {"Deep Blue", rgbColor(0.1f, 0.2f, 0.75f)},
      {"Sunflower", rgbColor(1, 0.8f, 0.1f)},
      {"Coral", rgbColor(1, 0.5f, 0.4f)},
      {"Sky", rgbColor(0.45f, 0.75f, 1)},
      {"Lilac", rgbColor(0.75f, 0.6f, 0.9f)},
      {"Cocoa", rgbColor(0.45f, 0.3f, 0.2f)},
  };
}

void Document::setSwatches(std::vector<Swatch> swatches) {
  swatches_ = std::move(swatches);
  if (++swatchGen_ == 0) swatchGen_ = 1;
}

QxSwatchRef Document::swatchRef(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= swatches_.size()) return nullptr;
  uint64_t v = (uint64_t{art_.handleTag()} << 56) | (uint64_t{swatchGen_} << 24) | (uint64_t(index) + 1);
  return reinterpret_cast<QxSwatchRef>(static_cast<uintptr_t>(v));
}

const Swatch* Document::swatch(QxSwatchRef ref) const {
  uint64_t v = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(ref));
  uint32_t slot = static_cast<uint32_t>(v & 0xFFFFFFu);
  if (slot == 0 || static_cast<uint8_t>(v >> 56) != art_.handleTag() || static_cast<uint32_t>(v >> 24) != swatchGen_ ||
      slot > swatches_.size())
    return nullptr;
  return &swatches_[slot - 1];
}

}  // namespace qx::host
