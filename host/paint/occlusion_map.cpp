#include "host/paint/occlusion_map.h"

#include <algorithm>
#include <bit>

#include <QImage>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qx::paint {
namespace {

// Bits lo..hi (inclusive) of a word.
uint64_t bitsBetween(int lo, int hi) {
  const uint64_t upTo = hi >= 63 ? ~uint64_t{0} : (uint64_t{1} << (hi + 1)) - 1;
  return upTo & ~((uint64_t{1} << lo) - 1);
}

// Bit i set when pixel from + i (up to `to`, at most 64 of them) is at
// least kSettledAlpha opaque. Four pixels at a time where SSE2 is there.
uint64_t opaqueBits(const uint32_t* line, int from, int to) {
  uint64_t found = 0;
  int x = from;
#if defined(__SSE2__)
  // Unsigned "alpha >= settled" as a signed compare of the pixels flipped in their top bit.
  const __m128i flip = _mm_set1_epi32(static_cast<int>(0x80000000u));
  const __m128i below = _mm_set1_epi32(static_cast<int>(((OcclusionMap::kSettledAlpha << 24) - 1) ^ 0x80000000u));
  for (; x + 3 <= to; x += 4) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
    const __m128i settled = _mm_cmpgt_epi32(_mm_xor_si128(pixels, flip), below);
    found |= static_cast<uint64_t>(_mm_movemask_ps(_mm_castsi128_ps(settled))) << (x - from);
  }
#endif
  for (; x <= to; ++x)
    if ((line[x] >> 24) >= OcclusionMap::kSettledAlpha) found |= uint64_t{1} << (x - from);
  return found;
}

}  // namespace

void OcclusionMap::reset(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  words_ = (width_ + 63) / 64;
  opaque_ = 0;
  bits_.assign(static_cast<size_t>(words_) * static_cast<size_t>(height_), 0);
  // The columns past the right edge count as opaque, so no test needs the edge.
  if (width_ % 64 != 0)
    for (int y = 0; y < height_; ++y) row(y)[words_ - 1] = bitsBetween(width_ % 64, 63);
}

bool OcclusionMap::covered(const QRect& rect) const {
  const QRect r = rect & QRect(0, 0, width_, height_);
  if (r.isEmpty()) return true;
  const int w0 = r.left() / 64, w1 = r.right() / 64;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const uint64_t* bits = row(y);
    for (int w = w0; w <= w1; ++w) {
      const uint64_t want = bitsBetween(w == w0 ? r.left() % 64 : 0, w == w1 ? r.right() % 64 : 63);
      if ((bits[w] & want) != want) return false;
    }
  }
  return true;
}

bool OcclusionMap::covered(std::span<const uint64_t> mask, int wordsPerRow, QPoint at) const {
  if (wordsPerRow <= 0) return true;
  const int rows = static_cast<int>(mask.size()) / wordsPerRow;
  for (int r = 0; r < rows; ++r) {
    const int y = at.y() + r;
    if (y < 0 || y >= height_) continue;
    const uint64_t* bits = row(y);
    for (int k = 0; k < wordsPerRow; ++k) {
      const uint64_t m = mask[static_cast<size_t>(r * wordsPerRow + k)];
      if (m == 0) continue;
      // The word's pixels start at column x: they straddle two words of the map.
      const int x = at.x() + 64 * k;
      const int w = x >= 0 ? x / 64 : -((-x + 63) / 64);
      const int shift = x - 64 * w;
      const uint64_t low = m << shift;
      const uint64_t high = shift == 0 ? 0 : m >> (64 - shift);
      if (w >= 0 && w < words_ && (low & ~bits[w]) != 0) return false;
      if (w + 1 >= 0 && w + 1 < words_ && (high & ~bits[w + 1]) != 0) return false;
    }
  }
  return true;
}

void OcclusionMap::update(const QImage& image, const QRect& rect) {
  if (image.width() != width_ || image.height() != height_ || image.depth() != 32) return;
  const QRect r = rect & QRect(0, 0, width_, height_);
  if (r.isEmpty()) return;
  const int w0 = r.left() / 64, w1 = r.right() / 64;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    uint64_t* bits = row(y);
    const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    for (int w = w0; w <= w1; ++w) {
      if (bits[w] == ~uint64_t{0}) continue;
      const int from = std::max(r.left(), w * 64), to = std::min(r.right(), w * 64 + 63);
      const uint64_t found = opaqueBits(line, from, to) << (from - w * 64);
      opaque_ += std::popcount(found & ~bits[w]);
      bits[w] |= found;
    }
  }
}

}  // namespace qx::paint
