// Palettes a designer keeps: GIMP/Inkscape .gpl files and plain lists of
// #rrggbb lines, read into a document's swatch list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/document/document.h"

namespace qx::host {

// The largest palette file read, and the most colours it may hold.
inline constexpr size_t kMaxPaletteBytes = size_t{1} << 20;
inline constexpr size_t kMaxPaletteColours = 4096;

struct PaletteColour {
  std::string name;  // the palette's name for it; "#rrggbb" when it gives none
  QxColor color;     // RGB
};

// The colours of a palette's text. A .gpl file starts with "GIMP Palette";
// then "Name:" and "Columns:" lines and '#' comments are passed over and
// every other line is "R G B [name]" with components 0 to 255. Any other
// text is a list of "#rrggbb [name]" lines (blank lines passed over).
// nullopt and "ORIGIN:LINE: reason" in *error at the first line that is not
// a colour, or when there are no colours or too many.
std::optional<std::vector<PaletteColour>> parsePalette(std::string_view text, std::string_view origin,
                                                       std::string* error);
// The same for the file at `path` (a regular file of at most kMaxPaletteBytes).
std::optional<std::vector<PaletteColour>> readPaletteFile(const std::string& path, std::string* error);

// An RGB colour from components 0 to 255.
QxColor rgbColour(int r, int g, int b);

// The swatch list a palette makes: "[None]" and "[Registration]", then
// "White" and "Black" unless the palette holds those colours itself, then
// the palette's colours in order.
std::vector<Swatch> paletteSwatches(const std::vector<PaletteColour>& palette);

// The palette behind a swatch list, to be kept with a drawing: empty for
// the default list, else every swatch after "[None]" and "[Registration]"
// but the default "White" and "Black" (which paletteSwatches adds back).
// Colours that have no RGB form are given as their nearest sRGB.
std::vector<PaletteColour> swatchPalette(const std::vector<Swatch>& swatches);

}  // namespace qx::host
