// Which pixels of a picture painted front to back are opaque already (or
// nearly: kSettledAlpha), one bit each. Art that lands only on opaque pixels cannot show, so a painter
// working from the top of the paint order down passes over it without
// reading its style or outline: in a dense drawing most art lies under what
// was painted above it. Stacked copies of a shape hide one another exactly,
// which a test of their boxes would miss where a round shape leaves its
// box's corners open.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include <QPoint>
#include <QRect>

class QImage;

namespace qx::paint {

class OcclusionMap {
 public:
  // A pixel this opaque counts as opaque: what lies beneath can change it by
  // at most 3 levels a channel, and stacked copies of a shape would otherwise
  // keep its antialiased rim open long after it stopped changing.
  static constexpr uint32_t kSettledAlpha = 248;

  // A map of a `width` x `height` picture with nothing opaque.
  void reset(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }

  // True when every pixel of `rect` within the picture is opaque; also when
  // `rect` misses the picture.
  bool covered(const QRect& rect) const;
  // True when every pixel a mask marks is opaque or off the picture. The
  // mask holds `wordsPerRow` words per row, bit i of word k for column
  // 64k + i, and its pixel (0, 0) lies on the picture's pixel `at`.
  bool covered(std::span<const uint64_t> mask, int wordsPerRow, QPoint at) const;
  // Marks the pixels of `rect` that are opaque in `image`, an ARGB32
  // premultiplied picture of the map's size.
  void update(const QImage& image, const QRect& rect);
  // The bits of row `y` (words of 64 columns, the first at column 0).
  const uint64_t* rowBits(int y) const { return row(y); }
  // Marks one pixel of the picture as opaque.
  void mark(int x, int y) {
    uint64_t& word = row(y)[x >> 6];
    const uint64_t bit = uint64_t{1} << (x & 63);
    opaque_ += (word & bit) == 0;
    word |= bit;
  }
  // True once every pixel is opaque: nothing more can show.
  bool full() const { return opaque_ == static_cast<int64_t>(width_) * height_; }

 private:
  uint64_t* row(int y) { return &bits_[static_cast<size_t>(y) * static_cast<size_t>(words_)]; }
  const uint64_t* row(int y) const { return &bits_[static_cast<size_t>(y) * static_cast<size_t>(words_)]; }

  int width_ = 0, height_ = 0, words_ = 0;
  int64_t opaque_ = 0;
  std::vector<uint64_t> bits_;  // a row of words per pixel row; the bits past the right edge are set
};

}  // namespace qx::paint
