#include "host/io/svg_read/svg_color.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {

const NamedColor kNamedColors[] = {
    {"aliceblue", 0xf0f8ff},
    {"antiquewhite", 0xfaebd7},
    {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4},
    {"azure", 0xf0ffff},
    {"beige", 0xf5f5dc},
    {"bisque", 0xffe4c4},
    {"black", 0x000000},
    {"blanchedalmond", 0xffebcd},
    {"blue", 0x0000ff},
    {"blueviolet", 0x8a2be2},
    {"brown", 0xa52a2a},
    {"burlywood", 0xdeb887},
    {"cadetblue", 0x5f9ea0},
    {"chartreuse", 0x7fff00},
    {"chocolate", 0xd2691e},
    {"coral", 0xff7f50},
    {"cornflowerblue", 0x6495ed},
    {"cornsilk", 0xfff8dc},
    {"crimson", 0xdc143c},
    {"cyan", 0x00ffff},
    {"darkblue", 0x00008b},
    {"darkcyan", 0x008b8b},
    {"darkgoldenrod", 0xb8860b},
    {"darkgray", 0xa9a9a9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xa9a9a9},
    {"darkkhaki", 0xbdb76b},
    {"darkmagenta", 0x8b008b},
    {"darkolivegreen", 0x556b2f},
    {"darkorange", 0xff8c00},
    {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000},
    {"darksalmon", 0xe9967a},
    {"darkseagreen", 0x8fbc8f},
    {"darkslateblue", 0x483d8b},
    {"darkslategray", 0x2f4f4f},
    {"darkslategrey", 0x2f4f4f},
    {"darkturquoise", 0x00ced1},
    {"darkviolet", 0x9400d3},
    {"deeppink", 0xff1493},
    {"deepskyblue", 0x00bfff},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1e90ff},
    {"firebrick", 0xb22222},
    {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22},
    {"fuchsia", 0xff00ff},
    {"gainsboro", 0xdcdcdc},
    {"ghostwhite", 0xf8f8ff},
    {"gold", 0xffd700},
    {"goldenrod", 0xdaa520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xadff2f},
    {"grey", 0x808080},
    {"honeydew", 0xf0fff0},
    {"hotpink", 0xff69b4},
    {"indianred", 0xcd5c5c},
    {"indigo", 0x4b0082},
    {"ivory", 0xfffff0},
    {"khaki", 0xf0e68c},
    {"lavender", 0xe6e6fa},
    {"lavenderblush", 0xfff0f5},
    {"lawngreen", 0x7cfc00},
    {"lemonchiffon", 0xfffacd},
    {"lightblue", 0xadd8e6},
    {"lightcoral", 0xf08080},
    {"lightcyan", 0xe0ffff},
    {"lightgoldenrodyellow", 0xfafad2},
    {"lightgray", 0xd3d3d3},
    {"lightgreen", 0x90ee90},
    {"lightgrey", 0xd3d3d3},
    {"lightpink", 0xffb6c1},
    {"lightsalmon", 0xffa07a},
    {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xb0c4de},
    {"lightyellow", 0xffffe0},
    {"lime", 0x00ff00},
    {"limegreen", 0x32cd32},
    {"linen", 0xfaf0e6},
    {"magenta", 0xff00ff},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66cdaa},
    {"mediumblue", 0x0000cd},
    {"mediumorchid", 0xba55d3},
    {"mediumpurple", 0x9370db},
    {"mediumseagreen", 0x3cb371},
    {"mediumslateblue", 0x7b68ee},
    {"mediumspringgreen", 0x00fa9a},
    {"mediumturquoise", 0x48d1cc},
    {"mediumvioletred", 0xc71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xf5fffa},
    {"mistyrose", 0xffe4e1},
    {"moccasin", 0xffe4b5},
    {"navajowhite", 0xffdead},
    {"navy", 0x000080},
    {"oldlace", 0xfdf5e6},
    {"olive", 0x808000},
    {"olivedrab", 0x6b8e23},
    {"orange", 0xffa500},
    {"orangered", 0xff4500},
    {"orchid", 0xda70d6},
    {"palegoldenrod", 0xeee8aa},
    {"palegreen", 0x98fb98},
    {"paleturquoise", 0xafeeee},
    {"palevioletred", 0xdb7093},
    {"papayawhip", 0xffefd5},
    {"peachpuff", 0xffdab9},
    {"peru", 0xcd853f},
    {"pink", 0xffc0cb},
    {"plum", 0xdda0dd},
    {"powderblue", 0xb0e0e6},
    {"purple", 0x800080},
    {"red", 0xff0000},
    {"rosybrown", 0xbc8f8f},
    {"royalblue", 0x4169e1},
    {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072},
    {"sandybrown", 0xf4a460},
    {"seagreen", 0x2e8b57},
    {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d},
    {"silver", 0xc0c0c0},
    {"skyblue", 0x87ceeb},
    {"slateblue", 0x6a5acd},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xfffafa},
    {"springgreen", 0x00ff7f},
    {"steelblue", 0x4682b4},
    {"tan", 0xd2b48c},
    {"teal", 0x008080},
    {"thistle", 0xd8bfd8},
    {"tomato", 0xff6347},
    {"turquoise", 0x40e0d0},
    {"violet", 0xee82ee},
    {"wheat", 0xf5deb3},
    {"white", 0xffffff},
    {"whitesmoke", 0xf5f5f5},
    {"yellow", 0xffff00},
    {"yellowgreen", 0x9acd32},
};
const size_t kNamedColorCount = std::size(kNamedColors);

namespace {

Rgba fromHex(unsigned rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1};
}

int hexDigit(char c) {
  if (isDigit(c)) return c - '0';
  c = lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::optional<Rgba> parseHex(std::string_view h) {
  int v[8] = {};
  if (h.size() > 8) return std::nullopt;
  for (size_t i = 0; i < h.size(); ++i)
    if ((v[i] = hexDigit(h[i])) < 0) return std::nullopt;
  const auto pair = [&](size_t i) { return (v[i] * 16 + v[i + 1]) / 255.0; };
  const auto single = [&](size_t i) { return v[i] * 17 / 255.0; };
  switch (h.size()) {
    case 3: return Rgba{single(0), single(1), single(2), 1};
    case 4: return Rgba{single(0), single(1), single(2), single(3)};
    case 6: return Rgba{pair(0), pair(2), pair(4), 1};
    case 8: return Rgba{pair(0), pair(2), pair(4), pair(6)};
    default: return std::nullopt;
  }
}

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// The arguments of rgb() or hsl(): numbers, some with '%', separated by
// commas or spaces, the alpha perhaps after '/'.
struct Argument {
  double value;
  bool percent;
};

std::optional<std::vector<Argument>> functionArguments(std::string_view inside) {
  std::vector<Argument> out;
  size_t i = 0;
  skipSpace(inside, i);
  while (i < inside.size()) {
    double v = 0;
    if (!scanNumber(inside, i, v)) return std::nullopt;
    bool percent = false;
    if (i < inside.size() && inside[i] == '%') percent = true, ++i;
    else if (inside.substr(i, 3) == "deg") i += 3;  // hue
    out.push_back({v, percent});
    skipSpace(inside, i);
    if (i < inside.size() && (inside[i] == ',' || inside[i] == '/')) ++i;
    skipSpace(inside, i);
  }
  return out;
}

double hueToRgb(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

std::optional<Rgba> parseFunction(std::string_view name, std::string_view inside) {
  const auto args = functionArguments(inside);
  if (!args || (args->size() != 3 && args->size() != 4)) return std::nullopt;
  const auto& a = *args;
  const double alpha = a.size() == 4 ? clamp01(a[3].percent ? a[3].value / 100 : a[3].value) : 1;
  if (name == "rgb" || name == "rgba") {
    const auto channel = [](const Argument& x) { return clamp01(x.percent ? x.value / 100 : x.value / 255); };
    return Rgba{channel(a[0]), channel(a[1]), channel(a[2]), alpha};
  }
  if (name == "hsl" || name == "hsla") {
    const double h = std::fmod(std::fmod(a[0].value, 360) + 360, 360) / 360;
    const double s = clamp01(a[1].value / 100), l = clamp01(a[2].value / 100);
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
    return Rgba{hueToRgb(p, q, h + 1.0 / 3), hueToRgb(p, q, h), hueToRgb(p, q, h - 1.0 / 3), alpha};
  }
  return std::nullopt;
}

}  // namespace

std::optional<Rgba> parseColor(std::string_view text) {
  text = trim(text);
  // "#CD853F icc-color(acmecmyk, 0.11, 0.48, 0.83, 0.00)"
  if (const size_t icc = text.find("icc-color("); icc != std::string_view::npos && icc > 0)
    text = trim(text.substr(0, icc));
  if (text.empty()) return std::nullopt;
  if (text[0] == '#') return parseHex(text.substr(1));
  if (const size_t open = text.find('('); open != std::string_view::npos) {
    if (text.back() != ')') return std::nullopt;
    const std::string name = toLower(trim(text.substr(0, open)));
    return parseFunction(name, text.substr(open + 1, text.size() - open - 2));
  }
  const std::string name = toLower(text);
  if (name == "transparent") return Rgba{0, 0, 0, 0};
  if (name == "rebeccapurple") return fromHex(0x663399);
  const auto* end = kNamedColors + kNamedColorCount;
  const auto* it = std::lower_bound(kNamedColors, end, name,
                                    [](const NamedColor& c, const std::string& n) { return c.name < n; });
  if (it == end || it->name != name) return std::nullopt;
  return fromHex(it->rgb);
}

std::optional<PaintValue> parsePaint(std::string_view text) {
  text = trim(text);
  PaintValue p;
  if (iequals(text, "none")) return p;
  if (iequals(text, "currentColor")) {
    p.kind = PaintValue::CurrentColor;
    return p;
  }
  if (text.size() > 4 && iequals(text.substr(0, 4), "url(")) {
    const size_t close = text.find(')');
    if (close == std::string_view::npos) return std::nullopt;
    std::string_view ref = trim(text.substr(4, close - 4));
    if (ref.size() >= 2 && (ref.front() == '"' || ref.front() == '\'') && ref.back() == ref.front())
      ref = trim(ref.substr(1, ref.size() - 2));
    if (ref.empty() || ref[0] != '#') return std::nullopt;  // only paint servers of this file
    p.kind = PaintValue::Url;
    p.ref = ref.substr(1);
    const std::string_view rest = trim(text.substr(close + 1));
    if (!rest.empty()) {
      // A fallback is a plain paint, never another reference: refused before
      // it is read, so a list of references costs no depth of calls.
      if (rest.size() >= 4 && iequals(rest.substr(0, 4), "url(")) return std::nullopt;
      const auto fallback = parsePaint(rest);
      if (!fallback || fallback->kind == PaintValue::Url) return std::nullopt;
      p.hasFallback = true;
      p.fallback = fallback->kind;
      p.fallbackColor = fallback->color;
    }
    return p;
  }
  const auto color = parseColor(text);
  if (!color) return std::nullopt;
  p.kind = PaintValue::Color;
  p.color = *color;
  return p;
}

}  // namespace qx::host::svg
