#include "host/io/color_convert.h"

namespace qx::host {
namespace {

uint8_t toByte(float unit) {
  // unit is already in 0..1, so the sum stays in 0.5..255.5.
  return static_cast<uint8_t>(clampUnit(unit) * 255.0f + 0.5f);
}

constexpr Srgb8 kMidGray{128, 128, 128};

}  // namespace

float clampUnit(float v) {
  if (v > 0.0f) return v < 1.0f ? v : 1.0f;
  return 0.0f;  // negative, zero and NaN
}

std::optional<Srgb8> toSrgb8(const QxColor& color) {
  switch (color.kind) {
    case QX_COLOR_GRAY: {
      const uint8_t v = toByte(1.0f - clampUnit(color.c.gray));
      return Srgb8{v, v, v};
    }
    case QX_COLOR_PROCESS: {
      const float k = 1.0f - clampUnit(color.c.process.black);
      return Srgb8{toByte((1.0f - clampUnit(color.c.process.cyan)) * k),
                   toByte((1.0f - clampUnit(color.c.process.magenta)) * k),
                   toByte((1.0f - clampUnit(color.c.process.yellow)) * k)};
    }
    case QX_COLOR_RGB: return Srgb8{toByte(color.c.rgb.red), toByte(color.c.rgb.green), toByte(color.c.rgb.blue)};
    case QX_COLOR_PATTERN:
    case QX_COLOR_GRADIENT:
    case QX_COLOR_SPOT: return kMidGray;
    default: return std::nullopt;
  }
}

void formatHexColor(Srgb8 color, char out[8]) {
  static const char kDigits[] = "0123456789abcdef";
  out[0] = '#';
  out[1] = kDigits[color.r >> 4];
  out[2] = kDigits[color.r & 15];
  out[3] = kDigits[color.g >> 4];
  out[4] = kDigits[color.g & 15];
  out[5] = kDigits[color.b >> 4];
  out[6] = kDigits[color.b & 15];
  out[7] = '\0';
}

}  // namespace qx::host
