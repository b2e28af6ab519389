// Hidden-line removal. Objects arrive from the top of the paint order down;
// each one's stroke is clipped against the fills already seen (all of them
// above it), then its own fill joins them. So a fill hides what lies below
// it, an object's outline stays on top of its own fill, and only the fills
// whose boxes touch a line are ever clipped against. A grid of cells known
// to be covered passes over whole buried objects, and the buried stretches
// of long lines, before any clipping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/plot/art_source.h"
#include "host/plot/coverage_grid.h"
#include "host/plot/key_set.h"
#include "host/plot/occluders.h"
#include "host/plot/pens.h"
#include "host/plot/plot_geometry.h"
#include "host/plot/shape_cache.h"

namespace qx::plot {

struct HiddenLineSettings {
  IntFrame frame;          // artwork points to the integer plane
  double tolerance = 0.1;  // points a flattened curve may stray
  IntBox area;             // what can draw, on the integer plane
  bool keepHidden = false; // no fill hides anything
  double hatchSpacing = 0; // units between hatch lines; 0 for no hatching
  double hatchAngle = 0;   // radians, counter-clockwise from the x axis
};

// What one pen draws: the visible pieces in the order they were found.
struct PenPieces {
  IntPaths pieces;
  size_t lowest = 0;  // the walk position of the lowest object that drew with the pen
};

struct HiddenLineCounts {
  size_t objects = 0;  // objects that could draw or hide
  size_t buried = 0;   // passed over whole: all of their box was hidden already
  size_t stacked = 0;  // passed over whole: under a copy of themselves
  size_t repeated = 0; // segments met before, drawn once
  size_t clipped = 0;  // runs of lines clipped against fills
};

class HiddenLines {
 public:
  HiddenLines(const HiddenLineSettings& settings, PenMap& pens);
  // The next object down the paint order.
  void add(const PlotObject& object);
  // Indexed as the pen map's pens; pens that drew nothing have no pieces.
  std::vector<PenPieces>& pens() { return drawn_; }
  const HiddenLineCounts& counts() const { return counts_; }

 private:
  void drawStroke(const PlotObject& object, const Shape& shape, Point anchor);
  // The visible parts of `line` for pen `pen`.
  void draw(const IntPath& line, size_t pen);
  // The part of a line gathered so far: clipped against the fills it
  // touches (or drawn as it is when it touches none).
  void flush(size_t pen);
  void emit(IntPath&& piece, size_t pen);

  HiddenLineSettings settings_;
  PenMap& pens_;
  ShapeCache shapes_;
  CoverageGrid grid_;
  Occluders occluders_;
  std::vector<PenPieces> drawn_;
  HiddenLineCounts counts_;
  size_t rank_ = 0;
  // Opaque fills met so far by form and place (a digest of them), and
  // whether they were stroked.
  KeyMap copies_;
  // Segments met so far, each pen's (a digest of the pen and the ends in
  // either order): a segment met again lies at or below the first, so what
  // hides the first hides it too, and it is drawn once.
  KeySet segments_;
  // The same for the segments that clipping left: lines that overlap in
  // part can leave the same piece where the same fills cut them.
  KeySet clippedSegments_;
  // Reused from object to object: the run of a line being gathered, the
  // fills it touches (each once: marked with the run's number).
  IntPath line_, run_;
  IntPaths parts_, dashes_, area_;
  std::vector<uint32_t> touching_, runFills_, marks_;
  uint32_t runNumber_ = 0;
};

}  // namespace qx::plot
