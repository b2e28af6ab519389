// Colour records to screen colours: every kind, with clamping of components
// that the document keeps out of range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/io/color_convert.h"

namespace qx::host {
namespace {

QxColor gray(float g) {
  QxColor c{};
  c.kind = QX_COLOR_GRAY;
  c.c.gray = g;
  return c;
}
QxColor process(float cy, float m, float y, float k) {
  QxColor c{};
  c.kind = QX_COLOR_PROCESS;
  c.c.process = {cy, m, y, k};
  return c;
}
QxColor rgb(float r, float g, float b) {
  QxColor c{};
  c.kind = QX_COLOR_RGB;
  c.c.rgb = {r, g, b};
  return c;
}
QxColor ofKind(int32_t kind) {
  QxColor c{};
  c.kind = kind;
  c.c.gray = 0.25f;  // must not leak into the fallback
  return c;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(ColorConvert, GrayRunsFromWhiteToBlackAndClamps) {
  EXPECT_EQ(toSrgb8(gray(0)), (Srgb8{255, 255, 255}));
  EXPECT_EQ(toSrgb8(gray(1)), (Srgb8{0, 0, 0}));
  EXPECT_EQ(toSrgb8(gray(0.5f)), (Srgb8{128, 128, 128}));
  EXPECT_EQ(toSrgb8(gray(0.2f)), (Srgb8{204, 204, 204}));
  // Out of range, as gradations past their end leave them.
  EXPECT_EQ(toSrgb8(gray(-0.4f)), (Srgb8{255, 255, 255}));
  EXPECT_EQ(toSrgb8(gray(1.6f)), (Srgb8{0, 0, 0}));
  EXPECT_EQ(toSrgb8(gray(kNaN)), (Srgb8{255, 255, 255}));
  EXPECT_EQ(toSrgb8(gray(kInf)), (Srgb8{0, 0, 0}));
}

TEST(ColorConvert, ProcessInksDarkenTheirOwnChannelAndBlackDarkensAll) {
  EXPECT_EQ(toSrgb8(process(0, 0, 0, 0)), (Srgb8{255, 255, 255}));
  EXPECT_EQ(toSrgb8(process(0, 0, 0, 1)), (Srgb8{0, 0, 0}));
  EXPECT_EQ(toSrgb8(process(1, 0, 0, 0)), (Srgb8{0, 255, 255}));
  EXPECT_EQ(toSrgb8(process(0, 1, 0, 0)), (Srgb8{255, 0, 255}));
  EXPECT_EQ(toSrgb8(process(0, 0, 1, 0)), (Srgb8{255, 255, 0}));
  // (1 - c)(1 - k): 0.8 * 0.2, 0.6 * 0.2, 0.4 * 0.2 of 255.
  EXPECT_EQ(toSrgb8(process(0.2f, 0.4f, 0.6f, 0.8f)), (Srgb8{41, 31, 20}));
  // Each component clamped on its own, black included.
  EXPECT_EQ(toSrgb8(process(-1, 2, 0.5f, -0.5f)), (Srgb8{255, 0, 128}));
  EXPECT_EQ(toSrgb8(process(0, 0, 0, 3)), (Srgb8{0, 0, 0}));
  EXPECT_EQ(toSrgb8(process(kNaN, 0, 0, kNaN)), (Srgb8{255, 255, 255}));
}

TEST(ColorConvert, RgbChannelsPassThroughClamped) {
  EXPECT_EQ(toSrgb8(rgb(1, 0, 0.5f)), (Srgb8{255, 0, 128}));
  EXPECT_EQ(toSrgb8(rgb(0.1f, 0.2f, 0.3f)), (Srgb8{26, 51, 77}));
  EXPECT_EQ(toSrgb8(rgb(2, -1, kNaN)), (Srgb8{255, 0, 0}));
}

TEST(ColorConvert, KindsWithoutComponentsFallBack) {
  EXPECT_FALSE(toSrgb8(ofKind(QX_COLOR_NONE)).has_value());
  EXPECT_FALSE(toSrgb8(ofKind(42)).has_value());
  EXPECT_FALSE(toSrgb8(ofKind(-1)).has_value());
  for (int32_t kind : {QX_COLOR_PATTERN, QX_COLOR_GRADIENT, QX_COLOR_SPOT})
    EXPECT_EQ(toSrgb8(ofKind(kind)), (Srgb8{128, 128, 128})) << "kind " << kind;
}

}  // namespace
}  // namespace qx::host
