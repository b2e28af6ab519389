#include "host/paint/stamp_cache.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include <QPainter>

namespace qx::paint {
namespace {

// Sub-pixel places a stamp is made for, per pixel and axis.
constexpr int kSteps = 64;

int32_t bitsOf(float v) {
  int32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

uint64_t hashOf(std::span<const int32_t> words) {
  uint64_t h = 0x9e3779b97f4a7c15ull;
  for (int32_t w : words) {
    h ^= static_cast<uint32_t>(w);
    h *= 0x100000001b3ull;
    h ^= h >> 29;
  }
  return h;
}

// Qt's premultiplied "multiply by alpha/255" on all four channels at once.
inline uint32_t byteMul(uint32_t x, uint32_t a) {
  uint32_t t = (x & 0xff00ffu) * a;
  t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
  x = ((x >> 8) & 0xff00ffu) * a;
  x = (x + ((x >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
  return x | t;
}

// The stamp's mask: a bit for every pixel its image paints.
void markPainted(StampCache::Stamp& made) {
  const int width = made.image.width(), height = made.image.height();
  made.maskWords = (width + 63) / 64;
  made.mask.assign(static_cast<size_t>(made.maskWords) * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const uint32_t*>(made.image.constScanLine(y));
    for (int x = 0; x < width; ++x)
      if (line[x] != 0) made.mask[static_cast<size_t>(y * made.maskWords + x / 64)] |= uint64_t{1} << (x % 64);
  }
}

}  // namespace

struct StampCache::Placement {
  QxRealPoint origin{};        // the first anchor (artwork)
  int wholeX = 0, wholeY = 0;  // its whole pixel
  int subX = 0, subY = 0;      // and its place within it, in 1/kSteps pixels
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

bool StampCache::makeKey(const host::ArtGlance& glance, const QTransform& toPixels, qreal opacity, Placement* place) {
  const std::span<const QxPathSegment> seg = glance.segments;
  if (seg.empty() || seg.size() > kMaxSegments || !glance.base || toPixels.type() > QTransform::TxScale) return false;
  const double sx = toPixels.m11(), sy = toPixels.m22();
  const QPointF first = toPixels.map(QPointF(seg[0].p.x, seg[0].p.y));
  const double qx = std::round(first.x() * kSteps), qy = std::round(first.y() * kSteps);
  if (!(std::abs(qx) < 1e9 && std::abs(qy) < 1e9)) return false;
  place->wholeX = static_cast<int>(std::floor(qx / kSteps));
  place->wholeY = static_cast<int>(std::floor(qy / kSteps));
  place->subX = static_cast<int>(qx) - place->wholeX * kSteps;
  place->subY = static_cast<int>(qy) - place->wholeY * kSteps;

  key_.clear();
  key_.insert(key_.end(),
              {bitsOf(static_cast<float>(sx)), bitsOf(static_cast<float>(sy)), bitsOf(static_cast<float>(opacity)),
               bitsOf(glance.opacity), glance.closed ? 1 : 0, place->subX, place->subY, bitsOf(glance.strokeWidth)});
  const auto base = reinterpret_cast<uintptr_t>(glance.base);
  key_.push_back(static_cast<int32_t>(base & 0xffffffffu));
  key_.push_back(static_cast<int32_t>(static_cast<uint64_t>(base) >> 32));
  for (int i = 0; i < 4; ++i) key_.push_back(static_cast<int32_t>(glance.fillWords[i]));
  for (int i = 0; i < 4; ++i) key_.push_back(static_cast<int32_t>(glance.strokeWords[i]));
  // The outline relative to its first anchor, in 1/64 pixels.
  place->origin = seg[0].p;
  for (const QxPathSegment& s : seg)
    for (const QxRealPoint& p : {s.p, s.in, s.out}) {
      const double dx = (p.x - place->origin.x) * sx, dy = (p.y - place->origin.y) * sy;
      if (!(std::abs(dx) < kMaxSide && std::abs(dy) < kMaxSide)) return false;
      key_.push_back(static_cast<int32_t>(std::lround(dx * 64)));
      key_.push_back(static_cast<int32_t>(std::lround(dy * 64)));
      place->minX = std::min(place->minX, dx), place->maxX = std::max(place->maxX, dx);
      place->minY = std::min(place->minY, dy), place->maxY = std::max(place->maxY, dy);
    }
  return true;
}

const StampCache::Stamp* StampCache::stamp(const host::ArtGlance& glance, const QTransform& toPixels, qreal opacity,
                                           QPoint* at, const std::function<double()>& reach,
                                           const std::function<void(QPainter&)>& draw) {
  Placement place;
  if (!makeKey(glance, toPixels, opacity, &place)) return nullptr;
  const uint64_t hash = hashOf(key_);
  const Stamp* found = nullptr;
  if (auto kept = stamps_.find(hash); kept != stamps_.end()) {
    // Another shape with the same hash, or one too large to stamp: paint it as it is.
    if (kept->second.key != key_ || kept->second.image.isNull()) return nullptr;
    found = &kept->second;
  } else {
    found = addStamp(hash, place, toPixels, opacity, reach, draw);
    if (!found) return nullptr;
  }
  *at = QPoint(place.wholeX, place.wholeY) + found->offset;
  return found;
}

const StampCache::Stamp* StampCache::addStamp(uint64_t hash, const Placement& place, const QTransform& toPixels,
                                              qreal opacity, const std::function<double()>& reach,
                                              const std::function<void(QPainter&)>& draw) {
  const double sx = toPixels.m11(), sy = toPixels.m22();
  // Two pixels to spare: antialiasing and the sub-pixel shift.
  const double outside = reach();
  const double spread = std::isfinite(outside) ? outside * std::max(std::abs(sx), std::abs(sy)) : HUGE_VAL;
  const double left = std::floor(place.minX - spread) - 2, top = std::floor(place.minY - spread) - 2;
  const double right = std::ceil(place.maxX + spread) + 3, bottom = std::ceil(place.maxY + spread) + 3;
  // Shapes of a few pixels are painted as they are: where hundreds of them
  // pile up in a pixel, the rounding of each stamp's own blend would add up.
  const bool tiny = place.maxX - place.minX + 2 * spread < kMinSide && place.maxY - place.minY + 2 * spread < kMinSide;
  if (tiny || !(right - left <= kMaxSide && bottom - top <= kMaxSide)) {
    stamps_.emplace(hash, Stamp{key_, QImage(), QPoint(), {}, 0});  // remembered, so it is measured once
    return nullptr;
  }
  const QPoint offset(static_cast<int>(left), static_cast<int>(top));
  const int width = static_cast<int>(right - left), height = static_cast<int>(bottom - top);
  Stamp made{key_, QImage(width, height, QImage::Format_ARGB32_Premultiplied), offset, {}, 0};
  if (made.image.isNull()) return nullptr;
  made.image.fill(Qt::transparent);
  {
    QPainter painter(&made.image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity);
    // The first anchor lands at its quantised sub-pixel place.
    painter.setTransform(QTransform(sx, 0, 0, sy, place.subX / double(kSteps) - offset.x() - sx * place.origin.x,
                                    place.subY / double(kSteps) - offset.y() - sy * place.origin.y));
    draw(painter);
  }
  markPainted(made);
  const size_t size = static_cast<size_t>(made.image.sizeInBytes()) + made.mask.size() * sizeof(uint64_t);
  if (bytes_ + size > kMaxBytes) {
    stamps_.clear();
    bytes_ = 0;
  }
  bytes_ += size;
  return &stamps_.emplace(hash, std::move(made)).first->second;
}

namespace {

// The 64 bits of a mask row from column `start` on (columns off the row are 0).
uint64_t maskBits(const uint64_t* row, int words, int start) {
  const int w = start >= 0 ? start / 64 : -((-start + 63) / 64);
  const int shift = start - 64 * w;
  const uint64_t low = w >= 0 && w < words ? row[w] >> shift : 0;
  const uint64_t high = shift != 0 && w + 1 >= 0 && w + 1 < words ? row[w + 1] << (64 - shift) : 0;
  return low | high;
}

}  // namespace

void stampUnder(QImage& image, const QImage& stamp, const std::vector<uint64_t>& mask, int maskWords, QPoint at,
                OcclusionMap& map) {
  const QRect area = QRect(at, stamp.size()) & image.rect();
  if (area.isEmpty() || maskWords <= 0) return;
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* s = reinterpret_cast<const uint32_t*>(stamp.constScanLine(y - at.y()));
    auto* d = reinterpret_cast<uint32_t*>(bits + stride * y);
    const uint64_t* maskRow = &mask[static_cast<size_t>((y - at.y()) * maskWords)];
    const uint64_t* opaque = map.rowBits(y);
    // Only the pixels the stamp paints that are not opaque yet.
    for (int w = area.left() / 64; w <= area.right() / 64; ++w) {
      uint64_t todo = maskBits(maskRow, maskWords, w * 64 - at.x()) & ~opaque[w];
      while (todo != 0) {
        const int x = w * 64 + std::countr_zero(todo);
        todo &= todo - 1;
        const uint32_t dst = d[x];
        const uint32_t room = 255 - (dst >> 24);
        const uint32_t src = s[x - at.x()];
        const uint32_t out = dst + (room == 255 ? src : byteMul(src, room));
        d[x] = out;
        if ((out >> 24) >= OcclusionMap::kSettledAlpha) map.mark(x, y);
      }
    }
  }
}

}  // namespace qx::paint
