// PNG pictures of a document, painted by the band painters
// (parallel_bands.h): the area the options choose (by default the one the
// SVG output shows: the page and all art with its strokes), on a white
// ground or on none. The file is painted and written a strip at a time, so
// memory stays near a strip's size whatever the picture's size, and written
// atomically: a failed write leaves the target as it was.
#pragma once

#include <cstddef>
#include <string>

#include "host/io/write_result.h"
#include "host/session/paint_options.h"

class QImage;

namespace qx::host {
class Document;
}

namespace qx::paint {

inline constexpr double kDefaultPngDpi = host::kDefaultPaintedDpi;
// The resolutions the window's export dialog offers.
inline constexpr double kMinPngDpi = 10, kMaxPngDpi = 2400;
// The largest PNG made: 65535 pixels a side (what most readers take) and a
// gigapixel in all.
inline constexpr int kMaxPngSide = 65535;
inline constexpr double kMaxPngPixels = 1e9;
// The picture is painted in strips of at most this many rows and bytes.
inline constexpr int kPngStripRows = 256;
inline constexpr size_t kPngStripBytes = size_t{4} << 20;

// The pixel size of a PNG of `document` and the resolution it stands for;
// false and a one-line reason naming the limit when it would be too large.
struct PngSize {
  int width = 0, height = 0;
  double dpi = 0;
};
bool pngSize(const host::Document& document, const host::PaintOptions& options, PngSize* size, std::string* error);

// The whole picture in one image (for the window and for comparison); a null
// image when pngSize() refuses it.
QImage paintedImage(const host::Document& document, const host::PaintOptions& options);

// The picture as a PNG file at `path`, with the seed in its text. Refused
// (nothing written) when the picture is too large, Failed when painting or
// writing fails; a one-line reason in *error either way.
host::WriteResult writePng(const host::Document& document, const std::string& path, const host::PaintOptions& options,
                           std::string* error);

}  // namespace qx::paint
