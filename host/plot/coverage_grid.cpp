#include "host/plot/coverage_grid.h"

#include <algorithm>

namespace qx::plot {

CoverageGrid::CoverageGrid(const IntBox& area, int64_t cell) : cell_(std::max<int64_t>(cell, 1)) {
  if (area.empty()) return;
  x0_ = area.x0, y0_ = area.y0;
  cols_ = (area.x1 - area.x0) / cell_ + 1;
  rows_ = (area.y1 - area.y0) / cell_ + 1;
  words_ = (cols_ + 63) / 64;
  bits_.assign(static_cast<size_t>(words_ * rows_), 0);
}

bool CoverageGrid::cellRange(const IntBox& box, int64_t* c0, int64_t* r0, int64_t* c1, int64_t* r1) const {
  if (box.empty() || rows_ == 0) return false;
  // Floor division: cells left of or below the grid come out negative.
  const auto cellOf = [&](int64_t v, int64_t base) {
    const int64_t d = v - base;
    return d >= 0 ? d / cell_ : -((-d + cell_ - 1) / cell_);
  };
  *c0 = cellOf(box.x0, x0_), *c1 = cellOf(box.x1, x0_);
  *r0 = cellOf(box.y0, y0_), *r1 = cellOf(box.y1, y0_);
  return true;
}

bool CoverageGrid::covered(const IntBox& box) const {
  int64_t c0, r0, c1, r1;
  if (!cellRange(box, &c0, &r0, &c1, &r1)) return false;
  if (c0 < 0 || r0 < 0 || c1 >= cols_ || r1 >= rows_) return false;
  for (int64_t r = r0; r <= r1; ++r) {
    const uint64_t* row = bits_.data() + r * words_;
    for (int64_t w = c0 / 64; w <= c1 / 64; ++w) {
      const int64_t lo = std::max(c0, w * 64) - w * 64, hi = std::min(c1, w * 64 + 63) - w * 64;
      const uint64_t mask = (hi == 63 ? ~uint64_t{0} : ((uint64_t{1} << (hi + 1)) - 1)) & ~((uint64_t{1} << lo) - 1);
      if ((row[w] & mask) != mask) return false;
    }
  }
  return true;
}

void CoverageGrid::setRun(int64_t row, int64_t c0, int64_t c1) {
  uint64_t* bits = bits_.data() + row * words_;
  for (int64_t w = c0 / 64; w <= c1 / 64; ++w) {
    const int64_t lo = std::max(c0, w * 64) - w * 64, hi = std::min(c1, w * 64 + 63) - w * 64;
    bits[w] |= (hi == 63 ? ~uint64_t{0} : ((uint64_t{1} << (hi + 1)) - 1)) & ~((uint64_t{1} << lo) - 1);
  }
}

// The cells of the window (c0, r0)..(c1, r1) an edge from a to b passes
// through: row by row, those its stretch across the row reaches (to the
// whole cells on either side, so never fewer than it passes through).
void CoverageGrid::markEdge(const IntPoint& a, const IntPoint& b, int64_t c0, int64_t r0, int64_t c1, int64_t r1) {
  IntBox e;
  e.add(a);
  e.add(b);
  int64_t ec0, er0, ec1, er1;
  cellRange(e, &ec0, &er0, &ec1, &er1);
  const int64_t w = c1 - c0 + 1;
  const double ax = static_cast<double>(a.X), ay = static_cast<double>(a.Y);
  const double dx = static_cast<double>(b.X - a.X), dy = static_cast<double>(b.Y - a.Y);
  for (int64_t r = std::max(er0, r0); r <= std::min(er1, r1); ++r) {
    int64_t from = ec0, to = ec1;
    if (dy != 0 && ec0 != ec1) {
      // Where the edge crosses the row's lower and upper lines, within the edge.
      const double lo = static_cast<double>(y0_ + r * cell_), hi = lo + static_cast<double>(cell_);
      const double t0 = std::clamp((lo - ay) / dy, 0.0, 1.0), t1 = std::clamp((hi - ay) / dy, 0.0, 1.0);
      const double xa = ax + t0 * dx, xb = ax + t1 * dx;
      from = static_cast<int64_t>(std::floor((std::min(xa, xb) - static_cast<double>(x0_)) / static_cast<double>(cell_))) - 1;
      to = static_cast<int64_t>(std::floor((std::max(xa, xb) - static_cast<double>(x0_)) / static_cast<double>(cell_))) + 1;
    }
    for (int64_t c = std::max({from, ec0, c0}); c <= std::min({to, ec1, c1}); ++c) edge_[(r - r0) * w + (c - c0)] = 1;
  }
}

// A cell no edge passes through lies wholly on one side of the outline: it
// is inside when its centre is.
void CoverageGrid::cover(const IntPaths& area, const IntBox& box) {
  int64_t c0, r0, c1, r1;
  if (!cellRange(box, &c0, &r0, &c1, &r1)) return;
  c0 = std::max<int64_t>(c0, 0), r0 = std::max<int64_t>(r0, 0);
  c1 = std::min(c1, cols_ - 1), r1 = std::min(r1, rows_ - 1);
  if (c0 > c1 || r0 > r1) return;
  const int64_t w = c1 - c0 + 1, h = r1 - r0 + 1;
  edge_.assign(static_cast<size_t>(w * h), 0);
  for (const IntPath& ring : area)
    for (size_t i = 0; i < ring.size(); ++i) markEdge(ring[i], ring[(i + 1) % ring.size()], c0, r0, c1, r1);
  for (int64_t r = r0; r <= r1; ++r) {
    const double y = static_cast<double>(y0_) + (static_cast<double>(r) + 0.5) * static_cast<double>(cell_);
    crossings_.clear();
    for (const IntPath& ring : area)
      for (size_t i = 0; i < ring.size(); ++i) {
        const IntPoint& a = ring[i];
        const IntPoint& b = ring[(i + 1) % ring.size()];
        const double ay = static_cast<double>(a.Y), by = static_cast<double>(b.Y);
        if ((ay <= y) == (by <= y)) continue;
        const double t = (y - ay) / (by - ay);
        crossings_.push_back({static_cast<double>(a.X) + t * static_cast<double>(b.X - a.X), by > ay ? 1 : -1});
      }
    std::sort(crossings_.begin(), crossings_.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings_.size(); ++i) {
      winding += crossings_[i].second;
      if (winding == 0) continue;
      // Cells whose centres lie between this crossing and the next.
      const double from = (crossings_[i].first - static_cast<double>(x0_)) / static_cast<double>(cell_) - 0.5;
      const double to = (crossings_[i + 1].first - static_cast<double>(x0_)) / static_cast<double>(cell_) - 0.5;
      int64_t a = std::max(c0, static_cast<int64_t>(std::ceil(from)));
      const int64_t b = std::min(c1, static_cast<int64_t>(std::floor(to)));
      while (a <= b) {
        while (a <= b && edge_[(r - r0) * w + (a - c0)]) ++a;
        int64_t e = a;
        while (e <= b && !edge_[(r - r0) * w + (e - c0)]) ++e;
        if (e > a) setRun(r, a, e - 1);
        a = e;
      }
    }
  }
}

}  // namespace qx::plot
