// CSS colours as SVG files write them, and paint values (none, a colour,
// currentColor, url(#id) with a fallback).
#pragma once

#include <optional>
#include <string_view>

namespace qx::host::svg {

struct Rgba {
  double r = 0, g = 0, b = 0, a = 1;  // 0..1
};

// #rgb, #rgba, #rrggbb, #rrggbbaa, rgb()/rgba() with numbers or percentages
// (comma or space separated, "/ alpha" allowed), hsl()/hsla(), the named
// colours and transparent. A trailing icc-color(...) is ignored: the sRGB
// value before it is the one every reader understands. Not currentColor.
std::optional<Rgba> parseColor(std::string_view text);

// The SVG 1.1 named colours (147), sorted; for tests and lookups.
struct NamedColor {
  std::string_view name;
  unsigned rgb;  // 0xRRGGBB
};
extern const NamedColor kNamedColors[];
extern const size_t kNamedColorCount;

struct PaintValue {
  enum Kind { None, Color, CurrentColor, Url };
  Kind kind = None;
  Rgba color;            // Color
  std::string_view ref;  // Url: the id after '#', pointing into the caller's text
  Kind fallback = None;  // Url: used when the id names no paint server
  Rgba fallbackColor;
  bool hasFallback = false;
};

// nullopt for a value that is none of the above.
std::optional<PaintValue> parsePaint(std::string_view text);

}  // namespace qx::host::svg
