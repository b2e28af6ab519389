// Drawings made by hand for the plot tests, and an exact reference for the
// lines that show: every stroke cut at every edge of every filled object
// above it, each stretch kept when its middle lies outside all of them
// (under each one's own fill rule). Slow and simple, and sharing nothing
// with the plot layer but the art store.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/document/art_store.h"
#include "host/document/document.h"
#include "host/plot/plot.h"

namespace qx::plot::test {

using host::ArtStore;
using host::Document;

// A style: stroke black 1 pt, fill white (or none), process colours.
QxPathStyle style(bool filled = true, bool stroked = true);
QxPathStyle rgbStroke(double r, double g, double b, bool filled = true);
QxPathSegment corner(double x, double y);

// Objects placed above all art.
QxArtHandle addPath(ArtStore& store, const std::vector<QxPathSegment>& segments, bool closed, const QxPathStyle& s);
QxArtHandle addLine(ArtStore& store, Point a, Point b, const QxPathStyle& s = style(false));
QxArtHandle addCircle(ArtStore& store, Point centre, double radius, const QxPathStyle& s = style());
QxArtHandle addRect(ArtStore& store, double x0, double y0, double x1, double y1, const QxPathStyle& s = style());
// A compound path of closed polygons (one member each) with style `s`.
QxArtHandle addCompound(ArtStore& store, const std::vector<std::vector<Point>>& rings, const QxPathStyle& s);

// The exact visible stretches of every stroke, in artwork points, with the
// stroke colour's RGB (0xrrggbb) each was drawn in.
struct Stretch {
  Point a, b;
  uint32_t rgb = 0;
};
std::vector<Stretch> referenceVisible(const ArtStore& store);

// Total pen-down length of a plot (mm) and of stretches (mm, through the plot's placement).
double plotLength(const Plot& plot);
double stretchLength(const std::vector<Stretch>& stretches, const Placement& placement);

// The largest distance (mm) from a point along `from` to the nearest point
// of `to`, sampled every `step` mm, leaving out `skipEnds` mm at the ends of
// each stretch of `from` (where a cut may fall a tolerance either way).
double strayFromPlot(const std::vector<Stretch>& from, const Placement& placement, const Plot& to, double step,
                     double skipEnds);
double strayFromReference(const Plot& from, const std::vector<Stretch>& to, const Placement& placement,
                           double step);

// makePlot with `options`, failing the test when it fails.
Plot plotOf(const Document& document, const PlotOptions& options = PlotOptions());

}  // namespace qx::plot::test
