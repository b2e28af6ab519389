#include "host/plot/page_layout.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace qx::plot {
namespace {

bool parseMillimetres(std::string_view text, double* value) {
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || !(v > 0) || v > 100000) return false;
  *value = v;
  return true;
}

// The largest scale at which `art` fits inside `room`; infinite for art
// without extent in either direction.
double fitScale(const Box& art, double roomW, double roomH) {
  const double sx = art.width() > 0 ? roomW / art.width() : INFINITY;
  const double sy = art.height() > 0 ? roomH / art.height() : INFINITY;
  return std::min(sx, sy);
}

}  // namespace

bool parsePaper(std::string_view text, Paper* paper, std::string* error) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  static const struct {
    const char* name;
    Paper size;
  } kNamed[] = {{"a4", {210, 297}}, {"a3", {297, 420}}, {"letter", {215.9, 279.4}}};
  for (const auto& named : kNamed)
    if (lower == named.name) {
      *paper = named.size;
      return true;
    }
  std::string_view size = lower;
  if (size.ends_with("mm")) size.remove_suffix(2);
  const size_t x = size.find('x');
  Paper p;
  if (x == std::string_view::npos || !parseMillimetres(size.substr(0, x), &p.widthMm) ||
      !parseMillimetres(size.substr(x + 1), &p.heightMm)) {
    *error = "--paper " + std::string(text) + ": not a4, a3, letter or a size such as 300x200mm";
    return false;
  }
  *paper = p;
  return true;
}

bool placeArt(const Box& art, const PageOptions& options, Placement* placement, std::string* error) {
  Placement p;
  p.artOrigin = art.empty() ? Point{} : Point{art.x0, art.y0};
  if (!options.paper) {
    if (options.fit) {
      *error = "--fit needs a --paper to fit the art to";
      return false;
    }
    p.sheet = {art.width() * kMmPerPoint, art.height() * kMmPerPoint};
    *placement = p;
    return true;
  }
  const Paper upright = *options.paper;
  const Paper turned{upright.heightMm, upright.widthMm};
  const double margin = options.fit ? options.marginMm : 0;
  if (options.fit && (2 * margin >= upright.widthMm || 2 * margin >= upright.heightMm)) {
    *error = "--margin " + std::to_string(margin) + ": leaves no room on the paper";
    return false;
  }
  const auto scaleOn = [&](const Paper& sheet) {
    if (!options.fit) return kMmPerPoint;
    const double s = fitScale(art, sheet.widthMm - 2 * margin, sheet.heightMm - 2 * margin);
    return std::isfinite(s) ? s : kMmPerPoint;
  };
  // Landscape fits better when it takes a larger scale, or, at 1:1, when the
  // art's longer side is its width.
  bool turn = false;
  if (options.rotate)
    turn = options.fit ? scaleOn(turned) > scaleOn(upright) * (1 + 1e-12) : art.width() > art.height();
  p.rotated = turn;
  p.sheet = turn ? turned : upright;
  p.mmPerPoint = scaleOn(p.sheet);
  p.offsetMm = {(p.sheet.widthMm - art.width() * p.mmPerPoint) / 2,
                (p.sheet.heightMm - art.height() * p.mmPerPoint) / 2};
  *placement = p;
  return true;
}

}  // namespace qx::plot
