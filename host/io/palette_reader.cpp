#include "host/io/palette_reader.h"

#include <cctype>
#include <charconv>

#include "host/io/bounded_file.h"
#include "host/io/color_convert.h"

namespace qx::host {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string hexName(int r, int g, int b) {
  static const char* digits = "0123456789abcdef";
  std::string out = "#";
  for (int v : {r, g, b}) {
    out += digits[v >> 4];
    out += digits[v & 15];
  }
  return out;
}

// A printable excerpt of a refused line, so control bytes never reach a terminal.
std::string shown(std::string_view line) {
  std::string out;
  for (char ch : line.substr(0, 60)) {
    const auto c = static_cast<unsigned char>(ch);
    out += c >= 0x20 && c < 0x7f ? ch : '?';
  }
  return out;
}

bool component(std::string_view token, int* value) {
  auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), *value);
  return ec == std::errc() && end == token.data() + token.size() && *value >= 0 && *value <= 255;
}

// "R G B [name]".
bool gplColour(std::string_view line, PaletteColour* out) {
  int values[3];
  for (int& v : values) {
    line = trim(line);
    size_t end = 0;
    while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
    if (!component(line.substr(0, end), &v)) return false;
    line.remove_prefix(end);
  }
  out->color = rgbColour(values[0], values[1], values[2]);
  const std::string_view name = trim(line);
  out->name = name.empty() ? hexName(values[0], values[1], values[2]) : std::string(name);
  return true;
}

// "#rrggbb [name]".
bool hexColour(std::string_view line, PaletteColour* out) {
  if (line.size() < 7 || line[0] != '#') return false;
  int values[3];
  for (int i = 0; i < 3; ++i) {
    auto [end, ec] = std::from_chars(line.data() + 1 + 2 * i, line.data() + 3 + 2 * i, values[i], 16);
    if (ec != std::errc() || end != line.data() + 3 + 2 * i) return false;
  }
  if (line.size() > 7 && !std::isspace(static_cast<unsigned char>(line[7]))) return false;
  out->color = rgbColour(values[0], values[1], values[2]);
  const std::string_view name = trim(line.substr(7));
  out->name = name.empty() ? hexName(values[0], values[1], values[2]) : std::string(name);
  return true;
}

bool sameRgb(const QxColor& a, int r, int g, int b) {
  const QxColor want = rgbColour(r, g, b);
  return a.kind == QX_COLOR_RGB && a.c.rgb.red == want.c.rgb.red && a.c.rgb.green == want.c.rgb.green &&
         a.c.rgb.blue == want.c.rgb.blue;
}

}  // namespace

std::optional<std::vector<PaletteColour>> parsePalette(std::string_view text, std::string_view origin,
                                                       std::string* error) {
  auto fail = [&](int line, const std::string& why) -> std::optional<std::vector<PaletteColour>> {
    *error = std::string(origin) + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + why;
    return std::nullopt;
  };
  std::vector<PaletteColour> colours;
  bool gpl = false;
  int lineNumber = 0;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    const std::string_view raw = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    ++lineNumber;
    const std::string_view line = trim(raw);
    if (lineNumber == 1 && line == "GIMP Palette") {
      gpl = true;
      continue;
    }
    if (line.empty()) continue;
    PaletteColour colour;
    if (gpl) {
      if (line.front() == '#' || line.starts_with("Name:") || line.starts_with("Columns:")) continue;
      if (!gplColour(line, &colour))
        return fail(lineNumber, "not a colour (\"R G B name\" with 0 to 255): \"" + shown(line) + "\"");
    } else if (!hexColour(line, &colour)) {
      return fail(lineNumber, "not a colour (#rrggbb): \"" + shown(line) + "\"");
    }
    if (colours.size() == kMaxPaletteColours)
      return fail(lineNumber, "more than " + std::to_string(kMaxPaletteColours) + " colours");
    colours.push_back(std::move(colour));
  }
  if (colours.empty()) return fail(0, "the palette holds no colour");
  return colours;
}

std::optional<std::vector<PaletteColour>> readPaletteFile(const std::string& path, std::string* error) {
  std::string text, why;
  switch (readBoundedFile(path, kMaxPaletteBytes, &text, &why)) {
    case FileRead::Ok: return parsePalette(text, path, error);
    case FileRead::Missing: *error = path + ": no such file"; break;
    case FileRead::NotRegular: *error = path + ": not a regular file"; break;
    case FileRead::TooLarge:
      *error = path + ": larger than a palette may be (" + std::to_string(kMaxPaletteBytes >> 10) + " KiB)";
      break;
    case FileRead::Unreadable: *error = path + ": cannot be read"; break;
  }
  return std::nullopt;
}

QxColor rgbColour(int r, int g, int b) {
  QxColor c{};
  c.kind = QX_COLOR_RGB;
  c.c.rgb = {static_cast<QxReal>(r / 255.0), static_cast<QxReal>(g / 255.0), static_cast<QxReal>(b / 255.0)};
  return c;
}

std::vector<Swatch> paletteSwatches(const std::vector<PaletteColour>& palette) {
  const std::vector<Swatch> defaults = Document::defaultSwatches();
  std::vector<Swatch> swatches{defaults[0], defaults[1]};
  bool hasWhite = false, hasBlack = false;
  for (const PaletteColour& c : palette) {
    hasWhite = hasWhite || sameRgb(c.color, 255, 255, 255);
    hasBlack = hasBlack || sameRgb(c.color, 0, 0, 0);
  }
  if (!hasWhite) swatches.push_back(defaults[2]);
  if (!hasBlack) swatches.push_back(defaults[3]);
  for (const PaletteColour& c : palette) swatches.push_back({c.name, c.color});
  return swatches;
}

namespace {

bool sameSwatch(const Swatch& a, const Swatch& b) {
  if (a.name != b.name || a.color.kind != b.color.kind) return false;
  const auto x = toSrgb8(a.color), y = toSrgb8(b.color);
  return x.has_value() == y.has_value() && (!x || (x->r == y->r && x->g == y->g && x->b == y->b));
}

}  // namespace

std::vector<PaletteColour> swatchPalette(const std::vector<Swatch>& swatches) {
  const std::vector<Swatch> defaults = Document::defaultSwatches();
  if (swatches.size() == defaults.size() && std::equal(swatches.begin(), swatches.end(), defaults.begin(), sameSwatch))
    return {};
  std::vector<PaletteColour> palette;
  for (size_t i = 2; i < swatches.size(); ++i) {
    if (sameSwatch(swatches[i], defaults[2]) || sameSwatch(swatches[i], defaults[3])) continue;
    const Srgb8 c = toSrgb8(swatches[i].color).value_or(Srgb8{0, 0, 0});
    palette.push_back({swatches[i].name, rgbColour(c.r, c.g, c.b)});
  }
  return palette;
}

}  // namespace qx::host
