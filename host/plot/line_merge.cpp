#include "host/plot/line_merge.h"

#include <algorithm>
#include <vector>

namespace qx::plot {
namespace {

constexpr uint32_t kNone = 0xffffffffu;

uint64_t mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ull;
  return h ^ (h >> 33);
}

// An open-addressing table from 64-bit keys to 32-bit values: the merge
// makes millions of look-ups, and a node per entry would cost more than the
// work itself.
class KeyTable {
 public:
  explicit KeyTable(size_t expected) {
    size_t n = 16;
    while (n < expected * 2) n *= 2;
    keys_.assign(n, 0);
    values_.assign(n, kNone);
  }
  // The value of `key`; kNone when it has none.
  uint32_t find(uint64_t key) const {
    size_t i = mix(key) & (keys_.size() - 1);
    while (values_[i] != kNone && keys_[i] != key) i = (i + 1) & (keys_.size() - 1);
    return values_[i];
  }
  // The value slot of `key`, holding kNone when new: set it before the next call.
  uint32_t& at(uint64_t key) {
    if ((used_ + 1) * 2 > keys_.size()) grow();
    size_t i = mix(key) & (keys_.size() - 1);
    while (values_[i] != kNone && keys_[i] != key) i = (i + 1) & (keys_.size() - 1);
    if (values_[i] == kNone) keys_[i] = key, ++used_;
    return values_[i];
  }

 private:
  void grow() {
    std::vector<uint64_t> keys = std::move(keys_);
    std::vector<uint32_t> values = std::move(values_);
    keys_.assign(keys.size() * 2, 0);
    values_.assign(keys.size() * 2, kNone);
    used_ = 0;
    for (size_t i = 0; i < keys.size(); ++i)
      if (values[i] != kNone) at(keys[i]) = values[i];
  }
  std::vector<uint64_t> keys_;
  std::vector<uint32_t> values_;
  size_t used_ = 0;
};

// Points to vertex ids: a point within `weld` (in both coordinates) of a
// vertex already made is that vertex. Cells are twice the weld distance, so
// a point's matches lie in at most four of them.
class Welder {
 public:
  Welder(int64_t weld, size_t expected) : weld_(std::max<int64_t>(weld, 1)), cells_(expected) {}
  uint32_t id(const IntPoint& p) {
    const int64_t size = 2 * weld_;
    const int64_t cx = floorDiv(p.X, size), cy = floorDiv(p.Y, size);
    const int64_t nx = p.X - cx * size < weld_ ? cx - 1 : cx + 1;
    const int64_t ny = p.Y - cy * size < weld_ ? cy - 1 : cy + 1;
    for (int64_t x : {cx, nx})
      for (int64_t y : {cy, ny})
        for (uint32_t v = cells_.find(cellKey(x, y)); v != kNone; v = next_[v])
          if (std::abs(points_[v].X - p.X) <= weld_ && std::abs(points_[v].Y - p.Y) <= weld_) return v;
    uint32_t& head = cells_.at(cellKey(cx, cy));
    points_.push_back(p);
    next_.push_back(head);
    head = static_cast<uint32_t>(points_.size() - 1);
    return head;
  }
  const IntPoint& point(uint32_t id) const { return points_[id]; }
  size_t size() const { return points_.size(); }

 private:
  static int64_t floorDiv(int64_t v, int64_t d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }
  static uint64_t cellKey(int64_t x, int64_t y) { return mix(static_cast<uint64_t>(x)) ^ static_cast<uint64_t>(y); }
  int64_t weld_;
  KeyTable cells_;
  std::vector<IntPoint> points_;
  std::vector<uint32_t> next_;  // the next vertex of the same cell
};

using Chain = std::vector<uint32_t>;

// Pieces as vertex ids, each segment kept the first time it comes.
std::vector<Chain> weldAndDedupe(const IntPaths& pieces, Welder& welder) {
  size_t points = 0;
  for (const IntPath& piece : pieces) points += piece.size();
  KeyTable segments(points);
  std::vector<Chain> chains;
  Chain chain;
  const auto finish = [&] {
    if (chain.size() >= 2) chains.push_back(std::move(chain));
    chain.clear();
  };
  for (const IntPath& piece : pieces) {
    for (const IntPoint& p : piece) {
      const uint32_t v = welder.id(p);
      if (!chain.empty() && chain.back() == v) continue;
      if (!chain.empty()) {
        const uint32_t a = std::min(chain.back(), v), b = std::max(chain.back(), v);
        uint32_t& seen = segments.at(uint64_t{a} << 32 | b);
        if (seen != kNone) {
          finish();
        } else {
          seen = 1;
          chain.push_back(v);
          continue;
        }
      }
      chain.push_back(v);
    }
    finish();
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
  size_t points = 0;
  for (const IntPath& piece : pieces) points += piece.size();
  Welder welder(weld, points);
  std::vector<Chain> chains = weldAndDedupe(pieces, welder);
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
