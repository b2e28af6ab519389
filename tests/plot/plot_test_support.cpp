#include "plot_test_support.h"

#include <algorithm>
#include <limits>

#include "host/document/color_values.h"
#include "host/io/color_convert.h"

namespace qx::plot::test {
namespace {

// A flattened object: its outlines as polylines, its paint.
struct Flat {
  std::vector<std::vector<Point>> outlines;
  std::vector<bool> closed;
  QxPathStyle style{};
  double opacity = 1;
};

Point at(const QxRealPoint& p) { return {p.x, p.y}; }

// 64 chords a curve: finer than any tolerance the tests use (a 100 pt
// circle strays by 0.003 pt).
void flattenInto(std::span<const QxPathSegment> seg, bool closed, std::vector<Point>& out) {
  const auto piece = [&](const QxPathSegment& f, const QxPathSegment& t) {
    for (int i = 1; i <= 64; ++i) {
      const double u = i / 64.0, v = 1 - u;
      const double a = v * v * v, b = 3 * v * v * u, c = 3 * v * u * u, d = u * u * u;
      out.push_back({a * f.p.x + b * f.out.x + c * t.in.x + d * t.p.x, a * f.p.y + b * f.out.y + c * t.in.y + d * t.p.y});
    }
  };
  out.push_back(at(seg[0].p));
  for (size_t i = 1; i < seg.size(); ++i) piece(seg[i - 1], seg[i]);
  if (closed && seg.size() > 1) piece(seg.back(), seg.front());
}

void collect(const ArtStore& store, QxArtHandle art, std::vector<Flat>& out) {
  host::ArtInfo info;
  ASSERT_TRUE(store.describe(art, &info, false));
  if (info.type == QX_ART_GROUP) {
    for (QxArtHandle child : store.children(art)) collect(store, child, out);
    return;
  }
  Flat flat;
  flat.style = info.style;
  flat.opacity = info.opacity;
  const auto add = [&](const host::ArtInfo& path) {
    flat.outlines.emplace_back();
    flattenInto(path.segments, path.closed, flat.outlines.back());
    flat.closed.push_back(path.closed);
  };
  if (info.type == QX_ART_COMPOUND_PATH) {
    for (QxArtHandle member : store.children(art)) {
      host::ArtInfo m;
      ASSERT_TRUE(store.describe(member, &m, false));
      add(m);
    }
  } else if (info.type == QX_ART_PATH) {
    add(info);
  }
  out.push_back(std::move(flat));
}

// Winding number of the flattened outlines (each taken as closed) about p.
int winding(const Flat& f, Point p) {
  int w = 0;
  for (const std::vector<Point>& ring : f.outlines)
    for (size_t i = 0; i < ring.size(); ++i) {
      const Point a = ring[i], b = ring[(i + 1) % ring.size()];
      if (a.y <= p.y) {
        if (b.y > p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) > 0) ++w;
      } else if (b.y <= p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) < 0) {
        --w;
      }
    }
  return w;
}

bool hides(const Flat& f, Point p) {
  const int w = winding(f, p);
  return f.style.evenOdd ? (w % 2 != 0) : w != 0;
}

bool opaqueFill(const Flat& f) {
  return f.style.fillPaint && f.style.fill.color.kind != QX_COLOR_NONE && f.opacity >= 1;
}

// Parameters along a-b where it crosses an edge of f.
void cuts(const Flat& f, Point a, Point b, std::vector<double>& ts) {
  for (const std::vector<Point>& ring : f.outlines)
    for (size_t i = 0; i < ring.size(); ++i) {
      const Point c = ring[i], d = ring[(i + 1) % ring.size()];
      const double rx = b.x - a.x, ry = b.y - a.y, sx = d.x - c.x, sy = d.y - c.y;
      const double den = rx * sy - ry * sx;
      if (den == 0) continue;
      const double t = ((c.x - a.x) * sy - (c.y - a.y) * sx) / den;
      const double u = ((c.x - a.x) * ry - (c.y - a.y) * rx) / den;
      if (t > 0 && t < 1 && u >= 0 && u <= 1) ts.push_back(t);
    }
}

double toMm(Point a, Point b, const Placement& placement) { return distance(placement.toPaper(a), placement.toPaper(b)); }

double segmentDistance(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return distance(p, {a.x + t * dx, a.y + t * dy});
}

}  // namespace

QxPathStyle style(bool filled, bool stroked) {
  QxPathStyle s = ArtStore::defaultStyle();
  s.fillPaint = filled;
  s.strokePaint = stroked;
  return s;
}

QxPathStyle rgbStroke(double r, double g, double b, bool filled) {
  QxPathStyle s = style(filled);
  s.stroke.color = host::rgbColor(r, g, b);
  return s;
}

QxPathSegment corner(double x, double y) {
  const QxRealPoint p{static_cast<QxReal>(x), static_cast<QxReal>(y)};
  return {p, p, p, 1};
}

QxArtHandle addPath(ArtStore& store, const std::vector<QxPathSegment>& segments, bool closed, const QxPathStyle& s) {
  QxArtHandle art = nullptr;
  EXPECT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &art), 0);
  EXPECT_EQ(store.setSegments(art, 0, static_cast<int32_t>(segments.size()), segments.data()), 0);
  EXPECT_EQ(store.setClosed(art, closed), 0);
  EXPECT_EQ(store.setPathStyle(art, s), 0);
  return art;
}

QxArtHandle addLine(ArtStore& store, Point a, Point b, const QxPathStyle& s) {
  return addPath(store, {corner(a.x, a.y), corner(b.x, b.y)}, false, s);
}

QxArtHandle addCircle(ArtStore& store, Point centre, double radius, const QxPathStyle& s) {
  QxArtHandle art = nullptr;
  EXPECT_EQ(store.newOval(centre.x, centre.y, 2 * radius, 2 * radius, false, &art), 0);
  EXPECT_EQ(store.setPathStyle(art, s), 0);
  return art;
}

QxArtHandle addRect(ArtStore& store, double x0, double y0, double x1, double y1, const QxPathStyle& s) {
  return addPath(store, {corner(x0, y0), corner(x1, y0), corner(x1, y1), corner(x0, y1)}, true, s);
}

QxArtHandle addCompound(ArtStore& store, const std::vector<std::vector<Point>>& rings, const QxPathStyle& s) {
  QxArtHandle compound = nullptr;
  EXPECT_EQ(store.newArt(QX_ART_COMPOUND_PATH, QX_PLACE_ABOVE_ALL, nullptr, &compound), 0);
  for (const std::vector<Point>& ring : rings) {
    QxArtHandle member = nullptr;
    EXPECT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, compound, &member), 0);
    std::vector<QxPathSegment> seg;
    for (Point p : ring) seg.push_back(corner(p.x, p.y));
    EXPECT_EQ(store.setSegments(member, 0, static_cast<int32_t>(seg.size()), seg.data()), 0);
    EXPECT_EQ(store.setClosed(member, true), 0);
  }
  EXPECT_EQ(store.setPathStyle(compound, s), 0);
  return compound;
}

std::vector<Stretch> referenceVisible(const ArtStore& store) {
  std::vector<Flat> flats;  // bottom first
  for (QxArtHandle art : store.topLevelArt()) collect(store, art, flats);
  std::vector<Stretch> visible;
  for (size_t i = 0; i < flats.size(); ++i) {
    const Flat& f = flats[i];
    auto rgb = host::toSrgb8(f.style.stroke.color);
    if (!f.style.strokePaint || !rgb || !(f.style.stroke.width > 0)) continue;
    const uint32_t color = uint32_t{rgb->r} << 16 | uint32_t{rgb->g} << 8 | rgb->b;
    for (const std::vector<Point>& line : f.outlines)
      for (size_t k = 1; k < line.size(); ++k) {
        const Point a = line[k - 1], b = line[k];
        std::vector<double> ts{0, 1};
        for (size_t j = i + 1; j < flats.size(); ++j)
          if (opaqueFill(flats[j])) cuts(flats[j], a, b, ts);
        std::sort(ts.begin(), ts.end());
        for (size_t m = 1; m < ts.size(); ++m) {
          if (ts[m] - ts[m - 1] < 1e-12) continue;
          const double mid = (ts[m] + ts[m - 1]) / 2;
          const Point p{a.x + mid * (b.x - a.x), a.y + mid * (b.y - a.y)};
          bool hidden = false;
          for (size_t j = i + 1; j < flats.size() && !hidden; ++j) hidden = opaqueFill(flats[j]) && hides(flats[j], p);
          if (hidden) continue;
          visible.push_back({{a.x + ts[m - 1] * (b.x - a.x), a.y + ts[m - 1] * (b.y - a.y)},
                             {a.x + ts[m] * (b.x - a.x), a.y + ts[m] * (b.y - a.y)},
                             color});
        }
      }
  }
  return visible;
}

double plotLength(const Plot& plot) { return plot.stats.penDownMm; }

double stretchLength(const std::vector<Stretch>& stretches, const Placement& placement) {
  double length = 0;
  for (const Stretch& s : stretches) length += toMm(s.a, s.b, placement);
  return length;
}

double strayFromPlot(const std::vector<Stretch>& from, const Placement& placement, const Plot& to, double step,
                     double skipEnds) {
  double worst = 0;
  for (const Stretch& s : from) {
    const Point a = placement.toPaper(s.a), b = placement.toPaper(s.b);
    const double length = distance(a, b);
    for (double d = skipEnds; d <= length - skipEnds; d += step) {
      const Point p{a.x + (b.x - a.x) * d / length, a.y + (b.y - a.y) * d / length};
      double best = std::numeric_limits<double>::infinity();
      for (const PenLayer& layer : to.layers)
        for (const Polyline& stroke : layer.strokes)
          for (size_t i = 1; i < stroke.size(); ++i) best = std::min(best, segmentDistance(p, stroke[i - 1], stroke[i]));
      worst = std::max(worst, best);
    }
  }
  return worst;
}

double strayFromReference(const Plot& from, const std::vector<Stretch>& to, const Placement& placement,
                          double step) {
  double worst = 0;
  for (const PenLayer& layer : from.layers)
    for (const Polyline& stroke : layer.strokes)
      for (size_t i = 1; i < stroke.size(); ++i) {
        const Point a = stroke[i - 1], b = stroke[i];
        const double length = distance(a, b);
        for (double d = 0; d <= length; d += step) {
          const Point p = length > 0 ? Point{a.x + (b.x - a.x) * d / length, a.y + (b.y - a.y) * d / length} : a;
          double best = std::numeric_limits<double>::infinity();
          for (const Stretch& s : to)
            best = std::min(best, segmentDistance(p, placement.toPaper(s.a), placement.toPaper(s.b)));
          worst = std::max(worst, best);
        }
      }
  return worst;
}

Plot plotOf(const Document& document, const PlotOptions& options) {
  Plot plot;
  std::string why;
  EXPECT_TRUE(makePlot(document, options, &plot, &why)) << why;
  return plot;
}

}  // namespace qx::plot::test
