// Art made in the order a file lists it, from the bottom of the paint order
// up: each object goes on top of what the open group or compound path holds
// so far, or on top of all art when none is open. Both importers (the SVG
// scene and the JSON form) build their documents through it.
#pragma once

#include <span>
#include <vector>

#include "host/document/art_store.h"

namespace qx::host {

// The step of making an object that the store refused, so that a message
// can name what was wrong with it.
enum class ArtPart { Object, Style, Segments, Outline, Opacity };

// The object made, or the store's code and the step it refused (art is
// null then; whatever was made of the object stays in the store).
struct Built {
  QxArtHandle art = nullptr;
  QxErr code = QX_ERR_NONE;
  ArtPart refused = ArtPart::Object;
  explicit operator bool() const { return code == QX_ERR_NONE; }
};

class ArtBuilder {
 public:
  explicit ArtBuilder(ArtStore& art) : art_(art) {}

  // A group, or a compound path painted with `style`, with `opacity`; what
  // is made next goes inside it until endContainer.
  Built beginGroup(QxReal opacity);
  Built beginCompound(const QxPathStyle& style, QxReal opacity);
  // Closes the innermost open container; nothing when none is open.
  void endContainer();
  size_t openContainers() const { return open_.size(); }

  // A path with its paint, its segments (none is an empty path) and opacity.
  Built path(const QxPathStyle& style, std::span<const QxPathSegment> segments, bool closed, QxReal opacity);
  // Placed, raster, symbol or mesh art covering `box` (left, top, right, bottom).
  Built item(int16_t type, const QxRealRect& box, QxReal opacity);
  // A copy of the path or compound path `art` just above it, with another
  // paint and opacity: the stroke over a fill, say.
  Built copyAbove(QxArtHandle art, const QxPathStyle& style, QxReal opacity);

 private:
  Built place(int16_t type);

  ArtStore& art_;
  std::vector<QxArtHandle> open_;  // the containers new art goes into, innermost last
};

}  // namespace qx::host
