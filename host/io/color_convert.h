// Document colours as screen colours. The document keeps every component as
// the plug-in computed it, out-of-range values included; only here, when a
// colour leaves for a file or a screen, are components clamped to 0..1.
#pragma once

#include <cstdint>
#include <optional>

#include "qx_sdk.h"

namespace qx::host {

struct Srgb8 {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Srgb8&, const Srgb8&) = default;
};

// A component clamped to 0..1; NaN counts as 0.
float clampUnit(float v);

// The sRGB colour that paints `color`, or nullopt when it paints nothing.
//   gray g (0 white .. 1 black):       each channel 1 - g
//   process c, m, y, k (ink amounts):  red (1 - c)(1 - k), green (1 - m)(1 - k),
//                                      blue (1 - y)(1 - k); no ink profile
//   RGB:                               the channels as they are
//   pattern, gradient, spot:           neutral mid gray (128, 128, 128), since
//                                      the document keeps no definition to draw
//   none and unknown kinds:            nothing
// Channels are rounded to the nearest of 0..255.
std::optional<Srgb8> toSrgb8(const QxColor& color);

// "#rrggbb" in lower case, written to `out` (8 bytes with the terminating 0).
void formatHexColor(Srgb8 color, char out[8]);

}  // namespace qx::host
