#include "host/plot/dashes.h"

#include <cmath>

namespace qx::plot {
namespace {

// A pattern shorter than this many units (the flattening tolerance is 64)
// cannot be told from a solid line on paper, and would only make dots.
constexpr double kShortestPeriod = 256;

}  // namespace

std::vector<double> dashPattern(const QxDashStyle& dash, double scale, double* offset) {
  std::vector<double> pattern;
  *offset = 0;
  if (dash.length <= 0 || dash.length > QX_DASH_MAX) return pattern;
  double sum = 0;
  for (int i = 0; i < dash.length; ++i) {
    const double v = dash.array[i];
    if (!std::isfinite(v) || v < 0) return {};
    pattern.push_back(v * scale);
    sum += v;
  }
  if (!(sum > 0)) return {};
  if (pattern.size() % 2 == 1) pattern.insert(pattern.end(), pattern.begin(), pattern.end());
  double period = 0;
  for (double v : pattern) period += v;
  if (period < kShortestPeriod) return {};
  if (std::isfinite(dash.offset)) *offset = std::fmod(std::fmod(dash.offset * scale, period) + period, period);
  return pattern;
}

void dashPath(const IntPath& path, const std::vector<double>& pattern, double offset, IntPaths& out) {
  if (path.size() < 2 || pattern.empty()) return;
  // Where in the pattern the path starts: entry `k`, `left` units of it to go.
  size_t k = 0;
  double left = pattern[0];
  while (offset >= left) {
    offset -= left;
    k = (k + 1) % pattern.size();
    left = pattern[k];
  }
  left -= offset;
  const auto on = [&] { return k % 2 == 0; };
  IntPath dash;
  if (on()) dash.push_back(path[0]);
  for (size_t i = 1; i < path.size(); ++i) {
    const IntPoint a = path[i - 1], b = path[i];
    const double length = std::hypot(static_cast<double>(b.X - a.X), static_cast<double>(b.Y - a.Y));
    double along = 0;
    while (length - along > left) {
      along += left;
      const double t = along / length;
      const IntPoint cut{a.X + std::llround(t * static_cast<double>(b.X - a.X)),
                         a.Y + std::llround(t * static_cast<double>(b.Y - a.Y))};
      if (on()) {
        dash.push_back(cut);
        if (dash.size() > 1) out.push_back(std::move(dash));
        dash.clear();
      } else {
        dash.push_back(cut);
      }
      k = (k + 1) % pattern.size();
      left = pattern[k];
    }
    left -= length - along;
    if (on()) dash.push_back(b);
  }
  if (on() && dash.size() > 1) out.push_back(std::move(dash));
}

}  // namespace qx::plot
