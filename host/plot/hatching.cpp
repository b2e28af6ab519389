#include "host/plot/hatching.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qx::plot {

void hatchArea(const IntPaths& area, double spacing, double angle, IntPaths& out) {
  if (!(spacing > 0) || area.empty()) return;
  const double c = std::cos(angle), s = std::sin(angle);
  // Each ring's points turned so that the hatch lines run along u.
  struct Turned {
    double u, v;
  };
  std::vector<std::vector<Turned>> rings;
  double vMin = INFINITY, vMax = -INFINITY;
  for (const IntPath& ring : area) {
    std::vector<Turned>& turned = rings.emplace_back();
    for (const IntPoint& p : ring) {
      const double x = static_cast<double>(p.X), y = static_cast<double>(p.Y);
      turned.push_back({x * c + y * s, -x * s + y * c});
      vMin = std::min(vMin, turned.back().v), vMax = std::max(vMax, turned.back().v);
    }
  }
  std::vector<std::pair<double, int>> crossings;
  for (double k = std::ceil(vMin / spacing); k * spacing <= vMax; ++k) {
    const double v = k * spacing;
    crossings.clear();
    for (const std::vector<Turned>& ring : rings)
      for (size_t i = 0; i < ring.size(); ++i) {
        const Turned& a = ring[i];
        const Turned& b = ring[(i + 1) % ring.size()];
        if ((a.v <= v) == (b.v <= v)) continue;
        crossings.push_back({a.u + (v - a.v) / (b.v - a.v) * (b.u - a.u), b.v > a.v ? 1 : -1});
      }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].second;
      if (winding == 0) continue;
      const double u0 = crossings[i].first, u1 = crossings[i + 1].first;
      const IntPoint a{std::llround(u0 * c - v * s), std::llround(u0 * s + v * c)};
      const IntPoint b{std::llround(u1 * c - v * s), std::llround(u1 * s + v * c)};
      if (!(a == b)) out.push_back({a, b});
    }
  }
}

}  // namespace qx::plot
