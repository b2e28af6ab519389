#include "host/plot/hidden_lines.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "host/io/color_convert.h"
#include "host/plot/dashes.h"
#include "host/plot/hatching.h"

namespace qx::plot {
namespace {

// The grid has at most this many cells along its longer side: fine enough
// that a lattice's shapes cover many whole cells, small enough (half a
// megabyte) to stay in the cache.
constexpr int64_t kGridCells = 2048;
// A line is clipped in runs of at most this many segments, so that each
// clipping touches only the fills near that stretch.
constexpr size_t kRunSegments = 48;

int64_t gridCell(const IntBox& area) {
  if (area.empty()) return 1;
  const int64_t extent = std::max(area.x1 - area.x0, area.y1 - area.y0);
  return std::max<int64_t>(1, extent / kGridCells + 1);
}

std::optional<host::Srgb8> strokeColor(const QxPathStyle& style) {
  if (!style.strokePaint || !std::isfinite(style.stroke.width) || !(style.stroke.width > 0)) return std::nullopt;
  return host::toSrgb8(style.stroke.color);
}

std::optional<host::Srgb8> fillColor(const QxPathStyle& style) {
  if (!style.fillPaint) return std::nullopt;
  return host::toSrgb8(style.fill.color);
}

IntBox segmentBox(const IntPoint& a, const IntPoint& b) {
  IntBox box;
  box.add(a);
  box.add(b);
  return box;
}

}  // namespace

HiddenLines::HiddenLines(const HiddenLineSettings& settings, PenMap& pens)
    : settings_(settings),
      pens_(pens),
      shapes_(settings.frame, settings.tolerance),
      grid_(settings.area, gridCell(settings.area)) {}

void HiddenLines::add(const PlotObject& object) {
  ++rank_;
  const std::optional<host::Srgb8> stroke = strokeColor(object.style);
  const std::optional<host::Srgb8> fill = fillColor(object.style);
  const bool hides = fill && object.opacity >= 1 && !settings_.keepHidden;
  const bool hatched = fill && settings_.hatchSpacing > 0;
  if (!stroke && !hides && !hatched) return;
  ++counts_.objects;
  IntBox box;
  box.add(settings_.frame.toInt({object.box.x0, object.box.y0}));
  box.add(settings_.frame.toInt({object.box.x1, object.box.y1}));
  if (!settings_.keepHidden && grid_.covered(box)) {
    ++counts_.buried;
    return;
  }
  Point anchor;
  Shape& shape = shapes_.shape(object, &anchor);
  const IntPoint at = settings_.frame.toInt(anchor);
  if (stroke) drawStroke(object, shape, at);
  if (!hides && !hatched) return;
  area_ = shapes_.fill(shape, object.style.evenOdd);
  for (IntPath& ring : area_)
    for (IntPoint& p : ring) p.X += at.X, p.Y += at.Y;
  if (hatched) {
    IntPaths hatches;
    hatchArea(area_, settings_.hatchSpacing, settings_.hatchAngle, hatches);
    const size_t pen = pens_.penFor(*fill);
    for (const IntPath& h : hatches) draw(h, pen);
  }
  if (hides) {
    const IntBox areaBox = boxOf(area_);
    grid_.cover(area_, areaBox);
    occluders_.add(std::move(area_), areaBox);
    area_.clear();
  }
}

void HiddenLines::drawStroke(const PlotObject& object, const Shape& shape, const IntPoint& at) {
  const size_t pen = pens_.penFor(*strokeColor(object.style));
  double offset = 0;
  const std::vector<double> pattern = dashPattern(object.style.stroke.dash, settings_.frame.scale, &offset);
  uint32_t start = 0;
  for (uint32_t end : shape.ends) {
    line_.clear();
    for (uint32_t i = start; i < end; ++i) {
      IntPoint p = settings_.frame.toIntDelta(shape.points[i]);
      p.X += at.X, p.Y += at.Y;
      if (line_.empty() || !(line_.back() == p)) line_.push_back(p);
    }
    start = end;
    if (line_.size() < 2) continue;
    if (pattern.empty()) {
      draw(line_, pen);
      continue;
    }
    dashes_.clear();
    dashPath(line_, pattern, offset, dashes_);
    for (const IntPath& dash : dashes_) draw(dash, pen);
  }
}

void HiddenLines::emit(IntPath&& piece, size_t pen) {
  if (drawn_.size() <= pen) drawn_.resize(pen + 1);
  drawn_[pen].pieces.push_back(std::move(piece));
  drawn_[pen].lowest = rank_;
}

void HiddenLines::draw(const IntPath& line, size_t pen) {
  const IntBox box = boxOf(line);
  if (settings_.keepHidden || occluders_.noneTouch(box)) {
    emit(IntPath(line), pen);
    return;
  }
  // Stretches over covered cells are hidden; the rest is clipped a run at a time.
  const auto flush = [&] {
    if (run_.size() >= 2) {
      ++counts_.clipped;
      parts_.clear();
      occluders_.visibleParts(run_, boxOf(run_), parts_);
      for (IntPath& part : parts_) emit(std::move(part), pen);
    }
    run_.clear();
  };
  for (size_t i = 1; i < line.size(); ++i) {
    if (grid_.covered(segmentBox(line[i - 1], line[i]))) {
      flush();
      continue;
    }
    if (run_.empty()) run_.push_back(line[i - 1]);
    run_.push_back(line[i]);
    if (run_.size() > kRunSegments) {
      const IntPoint last = run_.back();
      flush();
      run_.push_back(last);
    }
  }
  flush();
}

}  // namespace qx::plot
