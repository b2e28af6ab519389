#include "host/plot/plot.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

#include "host/document/document.h"
#include "host/plot/art_source.h"
#include "host/plot/hidden_lines.h"
#include "host/plot/line_merge.h"
#include "host/plot/line_order.h"

namespace qx::plot {
namespace {

// The integer plane has this many units to the flattening tolerance, so
// rounding to it costs 1/128 of the tolerance; welding joins points within
// half of it.
constexpr double kUnitsPerTolerance = 64;

// The control box of everything that can draw: stroked objects, and filled
// ones when fills are hatched. Every visible line lies inside it.
Box drawableArea(const host::ArtStore& store, bool hatching) {
  Box area;
  ArtSource source(store);
  PlotObject object;
  while (source.next(&object)) {
    const QxPathStyle& s = object.style;
    const bool strokes = s.strokePaint && s.stroke.color.kind != QX_COLOR_NONE && s.stroke.width > 0;
    const bool hatched = hatching && s.fillPaint && s.fill.color.kind != QX_COLOR_NONE;
    if (strokes || hatched) area.add(object.box);
  }
  return area;
}

bool checkOptions(const PlotOptions& o, std::string* error) {
  if (!(o.toleranceMm >= 0.0001) || !(o.toleranceMm <= 10)) {
    *error = "--tolerance: the tolerance is from 0.0001 to 10 mm";
    return false;
  }
  if (!(o.hatchSpacingMm == 0 || (o.hatchSpacingMm >= 0.05 && o.hatchSpacingMm <= 1000)) ||
      !std::isfinite(o.hatchAngleDeg)) {
    *error = "--hatch: the spacing is from 0.05 to 1000 mm, the angle a number of degrees";
    return false;
  }
  if (!(o.page.marginMm >= 0) || !std::isfinite(o.page.marginMm)) {
    *error = "--margin: not a length of 0 mm or more";
    return false;
  }
  return true;
}

// Layers in drawing order: pens of a pen file by number; pens made from
// colours by first use in paint order (from the bottom), numbered so.
void orderLayers(std::vector<PenLayer>& layers, const std::vector<size_t>& lowest, bool fixed) {
  std::vector<size_t> index(layers.size());
  for (size_t i = 0; i < index.size(); ++i) index[i] = i;
  if (fixed)
    std::stable_sort(index.begin(), index.end(),
                     [&](size_t a, size_t b) { return layers[a].pen.number < layers[b].pen.number; });
  else
    std::stable_sort(index.begin(), index.end(), [&](size_t a, size_t b) { return lowest[a] > lowest[b]; });
  std::vector<PenLayer> sorted;
  for (size_t i : index) sorted.push_back(std::move(layers[i]));
  if (!fixed)
    for (size_t i = 0; i < sorted.size(); ++i) sorted[i].pen.number = static_cast<int>(i) + 1;
  layers = std::move(sorted);
}

double strokeLength(const Polyline& stroke) {
  double length = 0;
  for (size_t i = 1; i < stroke.size(); ++i) length += distance(stroke[i - 1], stroke[i]);
  return length;
}

HiddenLineSettings settingsFor(const Box& area, const Placement& placement, const PlotOptions& options) {
  const double tolerance = options.toleranceMm / placement.mmPerPoint;  // in points
  HiddenLineSettings settings;
  settings.frame = {{area.empty() ? 0 : area.x0, area.empty() ? 0 : area.y0}, kUnitsPerTolerance / tolerance};
  settings.tolerance = tolerance;
  settings.area.add(settings.frame.toInt({area.x0, area.y0}));
  settings.area.add(settings.frame.toInt({area.x1, area.y1}));
  settings.keepHidden = options.keepHidden;
  settings.hatchSpacing = options.hatchSpacingMm / placement.mmPerPoint * settings.frame.scale;
  settings.hatchAngle = options.hatchAngleDeg * std::numbers::pi / 180;
  return settings;
}

// Each pen's pieces joined, on the sheet, as a layer of the plot.
void addLayers(HiddenLines& hidden, const PenMap& pens, const IntFrame& frame, Plot* plot) {
  std::vector<size_t> lowest;
  for (size_t i = 0; i < hidden.pens().size(); ++i) {
    PenPieces& drawn = hidden.pens()[i];
    if (drawn.pieces.empty()) continue;
    plot->stats.pieces += drawn.pieces.size();
    const IntPaths merged = mergePieces(drawn.pieces, static_cast<int64_t>(kUnitsPerTolerance / 2));
    IntPaths().swap(drawn.pieces);
    PenLayer& layer = plot->layers.emplace_back();
    layer.pen = pens.pens()[i];
    // Found from the top down: turned round, they stand in paint order.
    for (auto stroke = merged.rbegin(); stroke != merged.rend(); ++stroke) {
      Polyline& line = layer.strokes.emplace_back();
      line.reserve(stroke->size());
      for (const IntPoint& p : *stroke) line.push_back(plot->placement.toPaper(frame.toArt(p)));
    }
    lowest.push_back(drawn.lowest);
  }
  orderLayers(plot->layers, lowest, pens.fixed());
}

// Every pen's strokes ordered, one pen after the other, within `seconds`.
void orderPlot(Plot* plot, double seconds) {
  PlotStats& stats = plot->stats;
  Point before{}, after{};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                             std::chrono::duration<double>(seconds));
  for (PenLayer& layer : plot->layers) {
    stats.travelPaintOrderMm += penUpTravel(layer.strokes, before, &before);
    orderStrokes(layer.strokes, after, deadline);
    stats.travelMm += penUpTravel(layer.strokes, after, &after);
    stats.strokes += layer.strokes.size();
    for (const Polyline& stroke : layer.strokes) stats.penDownMm += strokeLength(stroke);
  }
}

}  // namespace

bool makePlot(const host::Document& document, const PlotOptions& options, Plot* plot, std::string* error,
              const PlotProgress& progress) {
  if (!checkOptions(options, error)) return false;
  const host::ArtStore& store = document.art();
  const Box area = drawableArea(store, options.hatchSpacingMm > 0);
  Placement placement;
  if (!placeArt(area, options.page, &placement, error)) return false;
  *plot = Plot();
  plot->sheet = placement.sheet;
  plot->placement = placement;

  const HiddenLineSettings settings = settingsFor(area, placement, options);
  PenMap pens(options.pens, options.penWidthMm);
  HiddenLines hidden(settings, pens);
  ArtSource source(store);
  PlotObject object;
  const size_t total = store.liveArtCount();
  for (size_t n = 1; !area.empty() && source.next(&object); ++n) {
    hidden.add(object);
    if (progress && n % 4096 == 0) progress(source.steps(), total);
  }
  plot->stats.objects = hidden.counts().objects;
  plot->stats.buried = hidden.counts().buried + hidden.counts().stacked;
  addLayers(hidden, pens, settings.frame, plot);
  orderPlot(plot, options.orderSeconds);
  return true;
}

double plottingSeconds(const PlotStats& stats, double drawSpeed, double travelSpeed, double liftSeconds) {
  return stats.penDownMm / drawSpeed + stats.travelMm / travelSpeed + static_cast<double>(stats.strokes) * liftSeconds;
}

}  // namespace qx::plot
