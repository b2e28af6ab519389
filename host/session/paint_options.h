// What a painted picture (PNG, PDF) shows and how large it is, as the
// command line and the app's export ask for it.
#pragma once

namespace qx::host {

// The size applies to PNG alone (a PDF is measured in points); the area and
// the ground to both.
enum class PaintedArea {
  Art,   // the SVG output's view box: the page and all art with its strokes
  Page,  // the page rectangle alone
};
inline constexpr double kDefaultPaintedDpi = 150;
struct PaintOptions {
  // One of the three sets the size, the aspect ratio of the area is kept: a
  // width or height in pixels when not 0, else the resolution.
  double dpi = kDefaultPaintedDpi;
  int width = 0;
  int height = 0;
  PaintedArea area = PaintedArea::Art;
  bool transparent = false;  // no white ground and no white page, only the art and the page outline
};

}  // namespace qx::host
