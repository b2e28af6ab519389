#include "host/plot/occluders.h"

#include <iterator>
#include <utility>

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

namespace qx::plot {
namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using BoxPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using RBox = bg::model::box<BoxPoint>;
using Entry = std::pair<RBox, uint32_t>;

// The integer units are exact in a double up to 2^53, far past the clamp.
RBox toRBox(const IntBox& b) {
  return RBox(BoxPoint(static_cast<double>(b.x0), static_cast<double>(b.y0)),
              BoxPoint(static_cast<double>(b.x1), static_cast<double>(b.y1)));
}

}  // namespace

struct Occluders::Index {
  bgi::rtree<Entry, bgi::quadratic<16>> tree;
};

Occluders::Occluders() : index_(std::make_unique<Index>()) {}
Occluders::~Occluders() = default;

void Occluders::add(IntPaths area, const IntBox& box) {
  if (area.empty() || box.empty()) return;
  index_->tree.insert({toRBox(box), static_cast<uint32_t>(areas_.size())});
  areas_.push_back(std::move(area));
}

bool Occluders::noneTouch(const IntBox& box) const {
  return index_->tree.qbegin(bgi::intersects(toRBox(box))) == index_->tree.qend();
}

void Occluders::touching(const IntBox& box, std::vector<uint32_t>& out) const {
  for (auto it = index_->tree.qbegin(bgi::intersects(toRBox(box))); it != index_->tree.qend(); ++it)
    out.push_back(it->second);
}

void Occluders::clip(const IntPath& line, const std::vector<uint32_t>& which, IntPaths& out) {
  if (line.size() < 2) return;
  if (which.empty()) {
    out.push_back(line);
    return;
  }
  clipper_.Clear();
  clipper_.AddPath(line, ClipperLib::ptSubject, false);
  for (uint32_t i : which) clipper_.AddPaths(areas_[i], ClipperLib::ptClip, true);
  solution_.Clear();
  clipper_.Execute(ClipperLib::ctDifference, solution_, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  for (ClipperLib::PolyNode* node = solution_.GetFirst(); node; node = node->GetNext())
    if (node->IsOpen() && node->Contour.size() >= 2) out.push_back(std::move(node->Contour));
}

}  // namespace qx::plot
