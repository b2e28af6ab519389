// The fills that hide what lies below them, found by their boxes in an
// R-tree, and the clipping of a line against some of them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/plot/plot_geometry.h"

namespace qx::plot {

class Occluders {
 public:
  Occluders();
  ~Occluders();
  Occluders(const Occluders&) = delete;
  Occluders& operator=(const Occluders&) = delete;

  // A fill area (rings wound once inside, as ShapeCache makes them) with its bounds.
  void add(IntPaths area, const IntBox& box);
  // True when no fill added so far touches `box`.
  bool noneTouch(const IntBox& box) const;
  // The fills whose boxes touch `box`, appended to `out`.
  void touching(const IntBox& box, std::vector<uint32_t>& out) const;
  // The parts of the open polyline `line` outside the fills `which`,
  // appended to `out`. Where it runs exactly along a fill's edge the
  // clipping library decides, to within a unit.
  void clip(const IntPath& line, const std::vector<uint32_t>& which, IntPaths& out);
  size_t size() const { return areas_.size(); }

 private:
  struct Index;
  std::unique_ptr<Index> index_;
  std::vector<IntPaths> areas_;
  ClipperLib::Clipper clipper_;
  ClipperLib::PolyTree solution_;
};

}  // namespace qx::plot
