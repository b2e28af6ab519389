// Stamps: most of a lattice's shapes are copies of one another moved about
// the page. A shape is painted once into a small image for each sub-pixel
// position (quantised to 1/64 pixel) and then only stamped under the
// picture, which costs a few hundred pixel blends instead of a trip through
// the stroker. Shapes are equal when their outlines relative to their first
// anchor (to 1/64 pixel), their style, their opacity and the device scale
// are; a lookup reads no style.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <unordered_map>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QTransform>

#include "host/document/art_store.h"
#include "host/paint/occlusion_map.h"

class QPainter;

namespace qx::paint {

class StampCache {
 public:
  struct Stamp {
    std::vector<int32_t> key;
    QImage image;
    QPoint offset;               // from the first anchor's whole pixel to the stamp's (0, 0)
    std::vector<uint64_t> mask;  // the pixels it paints, as OcclusionMap::covered() reads a mask
    int maskWords = 0;           // per row
  };

  // The largest stamp, in pixels a side, the smallest shape stamped, and the
  // most segments a stamped shape has; others are painted as they are.
  static constexpr int kMaxSide = 160;
  static constexpr double kMinSide = 4;
  static constexpr size_t kMaxSegments = 32;
  // Stamps kept at most; past this the cache starts again.
  static constexpr size_t kMaxBytes = size_t{96} << 20;

  // The stamp of the path `glance` tells, seen through `toPixels` (scale and
  // move only) with the painter's `opacity`. When the stamp is new, `reach`
  // tells how far the path's paint reaches beyond its outline (artwork
  // units) and `draw` paints the path onto a painter already set up for the
  // stamp (transform, antialiasing, opacity). Null when the shape cannot be
  // stamped; otherwise *at is where the stamp's pixel (0, 0) goes.
  const Stamp* stamp(const host::ArtGlance& glance, const QTransform& toPixels, qreal opacity, QPoint* at,
                     const std::function<double()>& reach, const std::function<void(QPainter&)>& draw);

  size_t bytes() const { return bytes_; }

 private:
  // Where a shape lies on the picture, and how far its outline spreads from
  // its first anchor (pixels).
  struct Placement;
  // Builds key_ for the shape; false when it cannot be stamped.
  bool makeKey(const host::ArtGlance& glance, const QTransform& toPixels, qreal opacity, Placement* place);
  // Paints and keeps the stamp of a shape not seen before; null when it is
  // too small or too large to stamp.
  const Stamp* addStamp(uint64_t hash, const Placement& place, const QTransform& toPixels, qreal opacity,
                        const std::function<double()>& reach, const std::function<void(QPainter&)>& draw);

  std::unordered_map<uint64_t, Stamp> stamps_;
  std::vector<int32_t> key_;  // the key being built, reused
  size_t bytes_ = 0;
};

// Puts `stamp` under what `image` shows, its pixel (0, 0) at `at`, as a
// QPainter in destination-over mode would: where the picture is opaque
// nothing changes. Both are ARGB32 premultiplied; `mask` tells the stamp's
// painted pixels (StampCache::Stamp). Pixels `map` (which follows `image`)
// holds opaque are passed over, and those the stamp makes opaque are marked.
void stampUnder(QImage& image, const QImage& stamp, const std::vector<uint64_t>& mask, int maskWords, QPoint at,
                OcclusionMap& map);

}  // namespace qx::paint
