// Where the art lands on the plotter's paper. Paper coordinates are
// millimetres from the sheet's lower-left corner, y up, as the plotters'
// own units run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/plot/plot_geometry.h"

namespace qx::plot {

struct Paper {
  double widthMm = 0, heightMm = 0;
};

// "a4", "a3", "letter" (upright) or "WxHmm" ("300x200mm"); false and a
// one-line reason in *error otherwise.
bool parsePaper(std::string_view text, Paper* paper, std::string* error);

struct PageOptions {
  std::optional<Paper> paper;  // none: a sheet the size of the art
  bool fit = false;            // scale the art to fill the sheet inside the margin
  double marginMm = 10;
  bool rotate = false;  // turn the sheet landscape when the art fits better so
};

constexpr double kMmPerPoint = 25.4 / 72;

// Art to paper: a scale about the art's lower-left corner, then a move.
struct Placement {
  double mmPerPoint = kMmPerPoint;
  Point artOrigin;  // the art area's lower-left corner, in points
  Point offsetMm;   // where that corner lands on the sheet
  Paper sheet;      // as it lies, turned when rotated
  bool rotated = false;
  Point toPaper(Point art) const {
    return {offsetMm.x + (art.x - artOrigin.x) * mmPerPoint, offsetMm.y + (art.y - artOrigin.y) * mmPerPoint};
  }
};

// The placement of `art` (points) under `options`: 1:1 with the art's
// lower-left corner at the origin without a paper; 1:1 or fitted, centred on
// a paper. False and a one-line reason in *error when the margin leaves no
// room or --fit has no paper.
bool placeArt(const Box& art, const PageOptions& options, Placement* placement, std::string* error);

}  // namespace qx::plot
