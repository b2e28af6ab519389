#include "host/plot/line_merge.h"

#include "host/plot/key_set.h"

#include <algorithm>
#include <vector>

namespace qx::plot {
namespace {

constexpr uint32_t kNone = KeyMap::kNone;

// The ends of pieces as vertex ids: an end at the same coordinates as an
// earlier end, or within `weld` of one (in both coordinates), is that end's
// vertex. Only ends join, so inner points need none.
class Welder {
 public:
  Welder(int64_t weld, size_t ends) : weld_(std::max<int64_t>(weld, 1)), exact_(ends), cells_(ends) {
    while ((int64_t{1} << shift_) < 4 * weld_) ++shift_;  // cells of 4 welds: most ends look in one
  }
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

// A piece in a stroke, and whether it is walked backwards.
struct Step {
  uint32_t piece;
  bool reversed;
};
using Chain = std::vector<Step>;

// Pieces chained where their welded ends meet: each piece's ends are ids
// 2i (its start) and 2i + 1 (its end), listed at their vertex.
std::vector<Chain> join(const std::vector<const IntPath*>& pieces, Welder& welder) {
  std::vector<uint32_t> vertexOf(pieces.size() * 2);
  for (size_t i = 0; i < pieces.size(); ++i) {
    vertexOf[2 * i] = welder.end(pieces[i]->front());
    vertexOf[2 * i + 1] = welder.end(pieces[i]->back());
  }
  std::vector<uint32_t> head(welder.size(), kNone), next(pieces.size() * 2, kNone);
  for (uint32_t e = 0; e < vertexOf.size(); ++e) {
    next[e] = head[vertexOf[e]];
    head[vertexOf[e]] = e;
  }
  std::vector<uint8_t> used(pieces.size(), 0);
  // The first unused piece end at vertex v (used ones unlinked lazily), taken.
  const auto take = [&](uint32_t v) -> uint32_t {
    while (head[v] != kNone && used[head[v] / 2]) head[v] = next[head[v]];
    if (head[v] == kNone) return kNone;
    used[head[v] / 2] = 1;
    return head[v];
  };
  std::vector<Chain> chains;
  Chain back;  // steps found from the first piece's start, nearest first
  for (uint32_t i = 0; i < pieces.size(); ++i) {
    if (used[i]) continue;
    used[i] = 1;
    Chain chain{{i, false}};
    // Forward from the first piece's end: a piece met at its end is walked backwards.
    for (uint32_t e, at = vertexOf[2 * i + 1]; (e = take(at)) != kNone;) {
      chain.push_back({e / 2, (e & 1) != 0});
      at = vertexOf[e ^ 1];
    }
    // Then from its start the other way, each of those walked the other way round.
    back.clear();
    for (uint32_t e, at = vertexOf[2 * i]; (e = take(at)) != kNone;) {
      back.push_back({e / 2, (e & 1) == 0});
      at = vertexOf[e ^ 1];
    }
    chain.insert(chain.begin(), back.rbegin(), back.rend());
    chains.push_back(std::move(chain));
  }
  return chains;
}

}  // namespace

IntPaths mergePieces(const IntPaths& pieces, int64_t weld) {
  // A piece of one point, or of one point repeated, draws nothing.
  std::vector<const IntPath*> kept;
  kept.reserve(pieces.size());
  for (const IntPath& piece : pieces)
    if (std::any_of(piece.begin(), piece.end(), [&](const IntPoint& p) { return !(p == piece.front()); }))
      kept.push_back(&piece);
  Welder welder(weld, 2 * kept.size());
  const std::vector<Chain> chains = join(kept, welder);
  IntPaths strokes;
  strokes.reserve(chains.size());
  for (const Chain& chain : chains) {
    IntPath& stroke = strokes.emplace_back();
    for (const Step& step : chain) {
      const IntPath& piece = *kept[step.piece];
      // Where pieces meet the first one's end stands for both.
      const size_t skip = stroke.empty() ? 0 : 1;
      if (step.reversed) stroke.insert(stroke.end(), piece.rbegin() + static_cast<ptrdiff_t>(skip), piece.rend());
      else stroke.insert(stroke.end(), piece.begin() + static_cast<ptrdiff_t>(skip), piece.end());
    }
  }
  return strokes;
}

}  // namespace qx::plot
