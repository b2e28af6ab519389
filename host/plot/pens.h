// Pens: one layer of the plot each. Without a pen file every stroke colour
// is a pen of its own (colours a step apart share one); a pen file names the
// pens the plotter holds, and every colour goes to the nearest.
//
// A pen file has one pen a line: its number (the plotter's slot, 1 to 99),
// a one-word name, its colour as #rrggbb and its line width in millimetres.
// Blank lines and lines starting with # are passed over:
//
//   # number  name   colour   width
//   1         black  #000000  0.3
//   2         red    #c81e1e  0.5
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/io/color_convert.h"

namespace qx::plot {

struct Pen {
  int number = 1;
  std::string name;
  host::Srgb8 color;
  double widthMm = 0.3;
};

// The pens of a pen file's text; false and a one-line reason naming the
// line in *error when a line is not a pen or a number is taken twice.
bool parsePens(std::string_view text, std::vector<Pen>* pens, std::string* error);
// parsePens on the file at `path` (at most 1 MB); the reason starts with the path.
bool readPenFile(const std::string& path, std::vector<Pen>* pens, std::string* error);

// How far apart two colours look, 0 for the same (a weighted RGB distance
// that follows the eye better than the plain one); about 270 at most.
double colorDistance(host::Srgb8 a, host::Srgb8 b);

class PenMap {
 public:
  // With `fixed` pens every colour goes to the nearest of them; with none,
  // a colour that is not near an earlier pen's starts a pen of `widthMm`
  // named after it.
  PenMap(std::vector<Pen> fixed, double widthMm);
  // The index into pens() of the pen that draws `color`.
  size_t penFor(host::Srgb8 color);
  const std::vector<Pen>& pens() const { return pens_; }
  bool fixed() const { return fixed_; }

  // Colours closer than this are one pen when the pens follow the drawing.
  static constexpr double kNear = 24;

 private:
  std::vector<Pen> pens_;
  bool fixed_;
  double widthMm_;
  std::unordered_map<uint32_t, size_t> known_;
};

}  // namespace qx::plot
