#include "host/plot/line_order.h"

#include <algorithm>
#include <cstdint>
#include <utility>

// GCC 12 takes the R-tree's nearest-neighbour heap for uninitialised where
// it is not (the heap only reads what it pushed).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

namespace qx::plot {
namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using RPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using End = std::pair<RPoint, uint32_t>;  // stroke index * 2, + 1 for its last point
using EndTree = bgi::rtree<End, bgi::rstar<16>>;

RPoint rpoint(Point p) { return RPoint(p.x, p.y); }

EndTree endTree(const std::vector<Polyline>& strokes) {
  std::vector<End> ends;
  ends.reserve(strokes.size() * 2);
  for (size_t i = 0; i < strokes.size(); ++i) {
    ends.push_back({rpoint(strokes[i].front()), static_cast<uint32_t>(2 * i)});
    ends.push_back({rpoint(strokes[i].back()), static_cast<uint32_t>(2 * i + 1)});
  }
  return EndTree(ends.begin(), ends.end());  // packed at once: quicker than one at a time
}

void greedy(std::vector<Polyline>& strokes, Point from) {
  EndTree tree = endTree(strokes);
  std::vector<Polyline> ordered;
  ordered.reserve(strokes.size());
  Point at = from;
  while (!tree.empty()) {
    End nearest;
    tree.query(bgi::nearest(rpoint(at), 1), &nearest);
    const uint32_t i = nearest.second / 2;
    Polyline& stroke = strokes[i];
    tree.remove(End{rpoint(stroke.front()), 2 * i});
    tree.remove(End{rpoint(stroke.back()), 2 * i + 1});
    if (nearest.second & 1) std::reverse(stroke.begin(), stroke.end());
    at = stroke.back();
    ordered.push_back(std::move(stroke));
  }
  strokes = std::move(ordered);
}

// 2-opt on the order: position 0 is the fixed start, a stroke of one point.
class TwoOpt {
 public:
  TwoOpt(std::vector<Polyline>& strokes, Point from) : strokes_(strokes) {
    const size_t n = strokes.size() + 1;
    start_.resize(n), end_.resize(n), order_.resize(n), flipped_.assign(n, 0), pos_.resize(n);
    start_[0] = end_[0] = from;
    for (size_t k = 1; k < n; ++k) {
      start_[k] = strokes[k - 1].front(), end_[k] = strokes[k - 1].back();
      order_[k] = static_cast<uint32_t>(k), pos_[k] = static_cast<uint32_t>(k);
    }
    findNeighbours();
  }

  // Passes over the order while a pass gains and the deadline is ahead.
  void run(std::chrono::steady_clock::time_point deadline) {
    for (int pass = 0; pass < 50; ++pass) {
      double gained = 0;
      for (size_t i = 0; i + 2 < order_.size(); ++i) {
        if ((i & 255) == 0 && std::chrono::steady_clock::now() >= deadline) return finish();
        gained += improveAt(i);
      }
      if (!(gained > 1e-9)) break;
    }
    finish();
  }

 private:
  static constexpr size_t kNeighbours = 6;
  static constexpr size_t kLongestTurn = 50000;  // positions one move may turn round

  void findNeighbours() {
    EndTree tree = endTree(strokes_);
    neighbours_.assign(order_.size() * kNeighbours, 0);
    std::vector<End> found;
    for (size_t k = 1; k < order_.size(); ++k) {
      found.clear();
      tree.query(bgi::nearest(rpoint(end_[k]), kNeighbours + 2), std::back_inserter(found));
      size_t taken = 0;
      for (const End& e : found) {
        const uint32_t q = e.second / 2 + 1;
        if (q == k || taken == kNeighbours) continue;
        if (std::find(&neighbours_[k * kNeighbours], &neighbours_[k * kNeighbours] + taken, q) !=
            &neighbours_[k * kNeighbours] + taken)
          continue;
        neighbours_[k * kNeighbours + taken++] = q;
      }
    }
  }
  Point s(size_t p) const { return flipped_[order_[p]] ? end_[order_[p]] : start_[order_[p]]; }
  Point e(size_t p) const { return flipped_[order_[p]] ? start_[order_[p]] : end_[order_[p]]; }

  // The best move that turns round positions i + 1 .. j, j the place of a
  // stroke near the end of the one at i; its gain once made.
  double improveAt(size_t i) {
    const size_t n = order_.size();
    const Point ei = e(i), si1 = s(i + 1);
    double best = 1e-9;
    size_t bestJ = 0;
    for (size_t m = 0; m < kNeighbours; ++m) {
      const uint32_t q = neighbours_[order_[i] * kNeighbours + m];
      if (q == 0) break;
      const size_t j = pos_[q];
      if (j <= i || j - i > kLongestTurn) continue;
      double gain = distance(ei, si1) - distance(ei, e(j));
      if (j + 1 < n) gain += distance(e(j), s(j + 1)) - distance(si1, s(j + 1));
      if (gain > best) best = gain, bestJ = j;
    }
    if (bestJ == 0) return 0;
    std::reverse(order_.begin() + static_cast<ptrdiff_t>(i + 1), order_.begin() + static_cast<ptrdiff_t>(bestJ + 1));
    for (size_t p = i + 1; p <= bestJ; ++p) {
      flipped_[order_[p]] ^= 1;
      pos_[order_[p]] = static_cast<uint32_t>(p);
    }
    return best;
  }

  void finish() {
    std::vector<Polyline> ordered;
    ordered.reserve(strokes_.size());
    for (size_t p = 1; p < order_.size(); ++p) {
      Polyline& stroke = strokes_[order_[p] - 1];
      if (flipped_[order_[p]]) std::reverse(stroke.begin(), stroke.end());
      ordered.push_back(std::move(stroke));
    }
    strokes_ = std::move(ordered);
  }

  std::vector<Polyline>& strokes_;
  std::vector<Point> start_, end_;  // of each stroke as it came, index 0 the start
  std::vector<uint32_t> order_, pos_, neighbours_;
  std::vector<uint8_t> flipped_;
};

}  // namespace

double penUpTravel(const std::vector<Polyline>& strokes, Point from, Point* end) {
  double travel = 0;
  for (const Polyline& stroke : strokes) {
    if (stroke.empty()) continue;
    travel += distance(from, stroke.front());
    from = stroke.back();
  }
  if (end) *end = from;
  return travel;
}

void orderStrokes(std::vector<Polyline>& strokes, Point from, std::chrono::steady_clock::time_point deadline) {
  std::erase_if(strokes, [](const Polyline& s) { return s.empty(); });
  if (strokes.size() < 2) return;
  greedy(strokes, from);
  if (std::chrono::steady_clock::now() >= deadline) return;
  TwoOpt(strokes, from).run(deadline);
}

}  // namespace qx::plot
