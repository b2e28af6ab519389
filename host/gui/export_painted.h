// PNG and PDF pictures of a document, painted with the same routine as the
// window. Both show the area the SVG output shows (the page and all art with
// its strokes), on a white ground with the page's outline, and are written
// atomically: a failed write leaves the target as it was.
#pragma once

#include <string>

#include <QImage>

namespace qx::host {
class Document;
}

namespace qx::gui {

inline constexpr double kDefaultPngDpi = 150;
inline constexpr double kMinPngDpi = 10, kMaxPngDpi = 2400;
// The most pixels a PNG may hold (about 400 million), so a huge page at a
// high resolution is refused instead of exhausting memory.
inline constexpr double kMaxPngPixels = 4e8;

// The picture at `dpi` pixels per inch; a null image when it would exceed
// kMaxPngPixels or `dpi` is outside kMinPngDpi..kMaxPngDpi.
QImage paintedImage(const host::Document& document, double dpi);

// False and a one-line reason in *error on failure.
bool writePng(const host::Document& document, const std::string& path, double dpi, std::string* error);
bool writePdf(const host::Document& document, const std::string& path, std::string* error);

}  // namespace qx::gui
