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
// A line is clipped in runs of at most this many segments, touching at most
// so many fills, so that each clipping takes only the fills near it.
constexpr size_t kRunSegments = 48;
constexpr size_t kRunFills = 12;

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

// The same for a segment either way round.
uint64_t segmentKey(const IntPoint& a, const IntPoint& b, size_t pen) {
  const bool ordered = a.X < b.X || (a.X == b.X && a.Y <= b.Y);
  const IntPoint& p = ordered ? a : b;
  const IntPoint& q = ordered ? b : a;
  uint64_t h = mixBits(static_cast<uint64_t>(pen) ^ static_cast<uint64_t>(p.X));
  h = mixBits(h ^ static_cast<uint64_t>(p.Y));
  h = mixBits(h ^ static_cast<uint64_t>(q.X));
  return mixBits(h ^ static_cast<uint64_t>(q.Y));
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
  uint64_t form = 0;
  Shape& shape = shapes_.shape(object, &anchor, &form);
  const IntPoint at = settings_.frame.toInt(anchor);
  // Under an opaque copy of itself an object adds nothing: its fill and
  // hatching are hidden, and its outline lies along the copy's, which draws
  // it (unless the copy has no outline and this one has).
  const uint64_t copy = mixBits(mixBits(form ^ static_cast<uint64_t>(at.X)) ^ static_cast<uint64_t>(at.Y));
  if (!settings_.keepHidden) {
    const uint32_t above = copies_.find(copy);
    if (above != KeyMap::kNone && (above == 1 || !stroke)) {
      ++counts_.stacked;
      return;
    }
  }
  if (stroke) drawStroke(object, shape, anchor);
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
    copies_.at(copy) = stroke ? 1 : 0;
    area_.clear();
  }
}

void HiddenLines::drawStroke(const PlotObject& object, const Shape& shape, Point anchor) {
  const size_t pen = pens_.penFor(*strokeColor(object.style));
  double offset = 0;
  const std::vector<double> pattern = dashPattern(object.style.stroke.dash, settings_.frame.scale, &offset);
  uint32_t start = 0;
  for (uint32_t end : shape.ends) {
    line_.clear();
    for (uint32_t i = start; i < end; ++i) {
      // From the point itself, not the anchor's grid point plus the offset's:
      // so every object that passes through a point meets it on the same unit.
      const IntPoint p = settings_.frame.toInt({anchor.x + shape.points[i].x, anchor.y + shape.points[i].y});
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

void HiddenLines::flush(size_t pen) {
  if (run_.size() >= 2) {
    ++counts_.clipped;
    parts_.clear();
    occluders_.clip(run_, runFills_, parts_);
    if (runFills_.empty()) {
      for (IntPath& part : parts_) emit(std::move(part), pen);
    } else {
      // Overlapping lines clipped by the same fills can leave the same
      // piece twice: it is drawn once.
      for (const IntPath& part : parts_) {
        IntPath kept;
        for (size_t i = 1; i < part.size(); ++i) {
          if (clippedSegments_.insert(segmentKey(part[i - 1], part[i], pen))) {
            if (kept.empty()) kept.push_back(part[i - 1]);
            kept.push_back(part[i]);
            continue;
          }
          ++counts_.repeated;
          if (kept.size() >= 2) emit(std::move(kept), pen);
          kept.clear();
        }
        if (kept.size() >= 2) emit(std::move(kept), pen);
      }
    }
  }
  run_.clear();
  runFills_.clear();
  ++runNumber_;
}

void HiddenLines::draw(const IntPath& line, size_t pen) {
  // Nothing hides a line no fill touches: it is only cut where it repeats.
  const bool open = settings_.keepHidden || occluders_.noneTouch(boxOf(line));
  if (marks_.size() < occluders_.size()) marks_.resize(occluders_.size(), 0);
  // Stretches over covered cells are hidden; the rest is gathered into runs,
  // a run of segments that touch no fill drawn as it is, the others clipped
  // against the fills they touch.
  bool untouched = false;  // the run gathered touches no fill
  for (size_t i = 1; i < line.size(); ++i) {
    const IntPoint& a = line[i - 1];
    const IntPoint& b = line[i];
    const IntBox box = segmentBox(a, b);
    const bool hidden = !open && grid_.covered(box);
    const bool repeated = !hidden && !segments_.insert(segmentKey(a, b, pen));
    if (hidden || repeated) {
      counts_.repeated += repeated;
      flush(pen);
      continue;
    }
    touching_.clear();
    if (!open) occluders_.touching(box, touching_);
    if (!run_.empty() && (untouched != touching_.empty() || run_.size() > kRunSegments || runFills_.size() > kRunFills)) {
      const IntPoint last = run_.back();
      flush(pen);
      run_.push_back(last);
    }
    untouched = touching_.empty();
    for (uint32_t f : touching_)
      if (marks_[f] != runNumber_ + 1) {
        marks_[f] = runNumber_ + 1;
        runFills_.push_back(f);
      }
    if (run_.empty()) run_.push_back(a);
    run_.push_back(b);
  }
  flush(pen);
}

}  // namespace qx::plot
