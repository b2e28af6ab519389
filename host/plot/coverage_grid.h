// What is certainly hidden, as a grid of bits: a cell is set once a fill
// above covers all of it. It answers "is this box hidden?" in a few word
// reads, which is how most of a heavy drawing's objects, buried under the
// shapes above them, are passed over without clipping anything.
#pragma once

#include <cstdint>
#include <vector>

#include "host/plot/plot_geometry.h"

namespace qx::plot {

class CoverageGrid {
 public:
  // Cells of `cell` units (at least 1) covering `area` of the integer plane;
  // outside it nothing counts as covered.
  CoverageGrid(const IntBox& area, int64_t cell);

  // True when every cell the box touches is covered: all of the box is
  // hidden. False for a box reaching outside the grid.
  bool covered(const IntBox& box) const;
  // Set the cells that lie wholly inside `area` (rings wound once inside,
  // as ShapeCache makes them), whose bounds are `box`.
  void cover(const IntPaths& area, const IntBox& box);
  int64_t cellSize() const { return cell_; }

 private:
  bool cellRange(const IntBox& box, int64_t* c0, int64_t* r0, int64_t* c1, int64_t* r1) const;
  void setRun(int64_t row, int64_t c0, int64_t c1);
  void markEdge(const IntPoint& a, const IntPoint& b, int64_t c0, int64_t r0, int64_t c1, int64_t r1);

  int64_t x0_ = 0, y0_ = 0, cell_ = 1, cols_ = 0, rows_ = 0, words_ = 0;  // words a row
  std::vector<uint64_t> bits_;
  // Scratch for cover(): the box's cells an edge passes through, and one
  // row's crossings.
  std::vector<uint8_t> edge_;
  std::vector<std::pair<double, int>> crossings_;
};

}  // namespace qx::plot
