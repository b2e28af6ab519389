// One vector document: its page and setup, the seed that drew it, swatches,
// redraw requests and view 0, and the art store that holds its art.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/document/art_store.h"
#include "qx_ai_art.h"
#include "qx_ai_services.h"

namespace qx::host {

struct Swatch {
  std::string name;
  QxColor color;
};

// Maps view pixels (y down) to artwork points (y up). The artwork point
// `origin` is shown at view pixel (0,0); one point spans `pixelsPerPoint` *
// zoom pixels. Headless default: origin is the page's top-left corner
// (0, page height), one pixel per point.
struct ViewTransform {
  QxRealPoint origin{0, 0};
  double pixelsPerPoint = 1;
};

class Document final {
 public:
  explicit Document(QxReal pageWidth = 612, QxReal pageHeight = 792);
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // The document's art, styles and undo.
  ArtStore& art() { return art_; }
  const ArtStore& art() const { return art_; }

  // ---- Page and setup ----
  QxReal pageWidth() const { return setup_.width; }
  QxReal pageHeight() const { return setup_.height; }
  // QX_ERR_BAD_PARAM for a non-finite or non-positive size.
  QxErr setPageSize(QxReal width, QxReal height);
  const QxDocumentSetup& setup() const { return setup_; }

  // Seed of the random numbers that drew this document, stored in exports
  // (nullopt when the numbers came from a script).
  std::optional<uint64_t> seed() const { return seed_; }
  void setSeed(std::optional<uint64_t> seed) { seed_ = seed; }

  // ---- Art names ----
  // The name a file gave an object (its id), kept beside the store's plain
  // records; "" for none or a bad handle. A name follows its handle, so art
  // an undo brings back keeps it.
  const std::string& artName(QxArtHandle art) const;
  // QX_ERR_BAD_PARAM for a bad handle; an empty name removes it.
  QxErr setArtName(QxArtHandle art, std::string name);
  // False when no object has ever been named (names of art since disposed
  // may still count).
  bool hasArtNames() const { return !names_.empty(); }
  // The live object named `name`, nullptr when none is.
  QxArtHandle findArtByName(std::string_view name) const;

  // ---- Swatches ----
  const std::vector<Swatch>& swatches() const { return swatches_; }
  // The reference handed to plug-ins for swatch `index`; nullptr out of range.
  QxSwatchRef swatchRef(int32_t index) const;
  // The swatch behind a reference; nullptr for a bad one.
  const Swatch* swatch(QxSwatchRef ref) const;
  // Replace the list (tests, documents read from files); references to the
  // old list go stale.
  void setSwatches(std::vector<Swatch> swatches);
  // "[None]", "[Registration]", "White", "Black", then our palette.
  static std::vector<Swatch> defaultSwatches();

  // ---- Redraw ----
  void redraw();
  uint64_t redrawCount() const { return redrawCount_; }
  void setRedrawCallback(std::function<void()> callback) { redrawCallback_ = std::move(callback); }

  // ---- View 0 ----
  QxReal zoom() const { return zoom_; }
  // QX_ERR_BAD_PARAM outside 0.01 .. 64.
  QxErr setZoom(QxReal zoom);
  // A front end shows the page its own way; until it sets a transform the
  // view follows the page's top-left corner at one pixel per point.
  void setViewTransform(const ViewTransform& view);
  ViewTransform viewTransform() const;
  QxRealPoint viewToArtwork(QxPoint view) const;
  // QX_ERR_BAD_PARAM when the pixel falls outside the 32-bit range or is not finite.
  QxErr artworkToView(QxRealPoint artwork, QxPoint* view) const;

 private:
  ArtStore art_;
  QxDocumentSetup setup_{};
  std::optional<uint64_t> seed_;
  std::vector<Swatch> swatches_;
  std::unordered_map<QxArtHandle, std::string> names_;
  uint32_t swatchGen_ = 1;  // bumped when the swatch list is replaced
  uint64_t redrawCount_ = 0;
  std::function<void()> redrawCallback_;
  QxReal zoom_ = 1;
  ViewTransform view_{};
  bool viewSet_ = false;  // false: the view follows the page's top-left corner
};

}  // namespace qx::host
