#include "host/plot/line_merge.h"

#include "host/plot/key_set.h"

#include <algorithm>
#include <vector>

namespace qx::plot {
namespace {

constexpr uint32_t kNone = KeyMap::kNone;

// Points to vertex ids. The ends of pieces are welded: an end at the same
// coordinates as an earlier end, or within `weld` of one (in both
// coordinates), is that end's vertex. Inner points are vertices of their own:
// only ends join.
class Welder {
 public:
  Welder(int64_t weld, size_t ends) : weld_(std::max<int64_t>(weld, 1)), exact_(ends), cells_(ends) {
    while ((int64_t{1} << shift_) < 4 * weld_) ++shift_;  // cells of 4 welds: most ends look in one
  }
  uint32_t inner(const IntPoint& p) { return make(p); }
  uint32_t end(const IntPoint& p) {
    uint32_t& exact = exact_.at(pointKey(p));
    if (exact != kNone) return exact;
    const uint32_t found = nearEnd(p);
    exact = found != kNone ? found : make(p);
    if (found == kNone) {
      uint32_t& head = cells_.at(cellKey(p.X >> shift_, p.Y >> shift_));
      nextEnd_.resize(points_.size(), kNone);
      nextEnd_[exact] = head;
      head = exact;
    }
    return exact;
  }
  const IntPoint& point(uint32_t id) const { return points_[id]; }
  size_t size() const { return points_.size(); }

 private:
  uint32_t make(const IntPoint& p) {
    points_.push_back(p);
    return static_cast<uint32_t>(points_.size() - 1);
  }
  // An earlier end within the weld distance of `p`: in p's cell, and in the
  // neighbours p lies within the weld distance of.
  uint32_t nearEnd(const IntPoint& p) const {
    const int64_t cx = p.X >> shift_, cy = p.Y >> shift_, size = int64_t{1} << shift_;
    const int64_t fx = p.X - (cx << shift_), fy = p.Y - (cy << shift_);
    const int64_t nx = fx < weld_ ? cx - 1 : fx >= size - weld_ ? cx + 1 : cx;
    const int64_t ny = fy < weld_ ? cy - 1 : fy >= size - weld_ ? cy + 1 : cy;
    for (int64_t x : {cx, nx}) {
      for (int64_t y : {cy, ny}) {
        for (uint32_t v = cells_.find(cellKey(x, y)); v != kNone; v = nextEnd_[v])
          if (std::abs(points_[v].X - p.X) <= weld_ && std::abs(points_[v].Y - p.Y) <= weld_) return v;
        if (ny == cy) break;
      }
      if (nx == cx) break;
    }
    return kNone;
  }
  static uint64_t pointKey(const IntPoint& p) { return mixBits(static_cast<uint64_t>(p.X)) ^ static_cast<uint64_t>(p.Y); }
  static uint64_t cellKey(int64_t x, int64_t y) { return mixBits(static_cast<uint64_t>(x) ^ 0x5bd1e995) ^ static_cast<uint64_t>(y); }

  int64_t weld_;
  int shift_ = 0;
  KeyMap exact_;  // ends by coordinates
  KeyMap cells_;  // ends by cell, each cell's listed through nextEnd_
  std::vector<IntPoint> points_;
  std::vector<uint32_t> nextEnd_;
};

using Chain = std::vector<uint32_t>;

// Pieces as vertex ids: only their ends are welded, their inner points
// stay as they are (vertices of their own).
std::vector<Chain> weldEnds(const IntPaths& pieces, Welder& welder) {
  std::vector<Chain> chains;
  chains.reserve(pieces.size());
  for (const IntPath& piece : pieces) {
    if (piece.size() < 2) continue;
    Chain& chain = chains.emplace_back();
    chain.reserve(piece.size());
    for (size_t i = 0; i < piece.size(); ++i) {
      const bool end = i == 0 || i + 1 == piece.size();
      const uint32_t v = end ? welder.end(piece[i]) : welder.inner(piece[i]);
      if (chain.empty() || chain.back() != v) chain.push_back(v);
    }
    if (chain.size() < 2) chains.pop_back();
  }
  return chains;
}

// Chains joined where their ends share a vertex.
std::vector<Chain> join(std::vector<Chain>& chains, size_t vertices) {
  // Every chain end listed at its vertex: end 2i is chain i's start, 2i + 1 its end.
  std::vector<uint32_t> head(vertices, kNone), next(chains.size() * 2, kNone);
  for (size_t i = 0; i < chains.size(); ++i)
    for (uint32_t e : {uint32_t(2 * i), uint32_t(2 * i + 1)}) {
      const uint32_t v = (e & 1) ? chains[i].back() : chains[i].front();
      next[e] = head[v];
      head[v] = e;
    }
  std::vector<uint8_t> used(chains.size(), 0);
  const auto take = [&](uint32_t v) -> uint32_t {
    while (head[v] != kNone && used[head[v] / 2]) head[v] = next[head[v]];
    if (head[v] == kNone) return kNone;
    // The first unused end at v, unlinked lazily as above.
    const uint32_t e = head[v];
    used[e / 2] = 1;
    return e;
  };
  std::vector<Chain> joined;
  for (size_t i = 0; i < chains.size(); ++i) {
    if (used[i]) continue;
    used[i] = 1;
    Chain chain = std::move(chains[i]);
    for (int side = 0; side < 2; ++side) {
      // Forward from the end, then (turned round) forward from the start.
      for (uint32_t e; (e = take(chain.back())) != kNone;) {
        Chain& other = chains[e / 2];
        if (e & 1) std::reverse(other.begin(), other.end());  // met at its end: walk it backwards
        chain.insert(chain.end(), other.begin() + 1, other.end());
        Chain().swap(other);
      }
      std::reverse(chain.begin(), chain.end());
    }
    joined.push_back(std::move(chain));
  }
  return joined;
}

}  // namespace

IntPaths mergePieces(const IntPaths& pieces, int64_t weld) {
  Welder welder(weld, 2 * pieces.size());
  std::vector<Chain> chains = weldEnds(pieces, welder);
  std::vector<Chain> joined = join(chains, welder.size());
  IntPaths strokes;
  strokes.reserve(joined.size());
  for (const Chain& chain : joined) {
    IntPath& stroke = strokes.emplace_back();
    stroke.reserve(chain.size());
    for (uint32_t v : chain) stroke.push_back(welder.point(v));
  }
  return strokes;
}

}  // namespace qx::plot
