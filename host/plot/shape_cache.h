// Shapes flattened once: a lattice repeats the same few shapes thousands of
// times, moved. Each object's outlines are keyed by their points relative to
// the object's first anchor (on the integer grid), and the flattened
// polylines and normalised fill area are kept for every later copy.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/plot/art_source.h"
#include "host/plot/plot_geometry.h"

namespace qx::plot {

struct Shape {
  Polyline points;              // every outline flattened, relative to the anchor, one after another
  std::vector<uint32_t> ends;   // where each outline ends in `points`
  std::vector<uint8_t> closed;  // whether each outline is closed
  // The fill area in integer units from the anchor, under its fill rule:
  // outer rings counter-clockwise, holes clockwise, so that it winds once
  // inside and not at all outside, and fills the same with any rule.
  IntPaths fill;
  bool fillReady = false;
};

class ShapeCache {
 public:
  // `tolerance` in points: how far a flattened chord may stray from its curve.
  ShapeCache(const IntFrame& frame, double tolerance) : frame_(frame), tolerance_(tolerance) {}

  // The shape of `object`, its anchor (the first anchor of its first
  // outline) in *anchor and a 64-bit digest of its form (the same for every
  // copy, moved or not) in *form. The reference is valid until the next call.
  Shape& shape(const PlotObject& object, Point* anchor, uint64_t* form);
  // The shape's fill area (made on first use) with the object's fill rule.
  const IntPaths& fill(Shape& shape, bool evenOdd) const;
  size_t size() const { return shapes_.size(); }

 private:
  struct KeyHash {
    size_t operator()(const std::vector<int64_t>& key) const;
  };
  // Copies that are never met again would only fill memory: past this many
  // shapes the cache starts afresh.
  static constexpr size_t kMaxShapes = 1 << 16;

  IntFrame frame_;
  double tolerance_;
  std::vector<int64_t> key_;  // reused from object to object
  std::unordered_map<std::vector<int64_t>, Shape, KeyHash> shapes_;
};

}  // namespace qx::plot
