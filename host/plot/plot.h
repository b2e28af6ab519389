// Plotter-ready output of a document: hidden lines removed, one layer per
// pen, lines joined and put in a travel-saving order, placed on the
// plotter's paper. makePlot is the one way from a document to a plot;
// plot_writer.h writes it as plot SVG, HPGL or G-code.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "host/plot/page_layout.h"
#include "host/plot/pens.h"
#include "host/plot/plot_geometry.h"

namespace qx::host {
class Document;
}

namespace qx::plot {

struct PlotOptions {
  double toleranceMm = 0.01;  // how far a flattened curve may stray, on paper
  bool keepHidden = false;    // draw every stroke whole, hidden or not
  std::vector<Pen> pens;      // a pen file's pens; empty: one pen per stroke colour
  double penWidthMm = 0.3;    // the width of pens made from colours
  double hatchSpacingMm = 0;  // above 0: fills are hatched with their colour's pen
  double hatchAngleDeg = 45;  // counter-clockwise from the paper's x axis
  PageOptions page;
  double orderSeconds = 2;  // the most time spent ordering strokes, all pens together
};

// One pen's strokes in millimetres on the sheet (y up), in drawing order.
struct PenLayer {
  Pen pen;
  std::vector<Polyline> strokes;
};

struct PlotStats {
  size_t objects = 0;  // objects that could draw or hide
  size_t buried = 0;   // of them, passed over as wholly hidden (under fills, or copies of themselves)
  size_t pieces = 0;   // visible pieces before joining
  size_t strokes = 0;  // pen-down strokes after joining
  double penDownMm = 0;
  double travelPaintOrderMm = 0;  // pen-up travel drawing the strokes in paint order
  double travelMm = 0;            // pen-up travel in the plot's order
};

struct Plot {
  Paper sheet;                   // the paper as it lies
  Placement placement;           // artwork points to the sheet
  std::vector<PenLayer> layers;  // in drawing order: pen numbers rising
  PlotStats stats;
};

// Called now and then while the hidden lines are found: objects walked so
// far of about `total`.
using PlotProgress = std::function<void(size_t done, size_t total)>;

// The plot of `document`'s art. False and a one-line reason in *error when
// the options cannot be met (no room on the paper, a tolerance or hatch
// spacing out of range). A drawing with nothing to draw makes a plot
// without layers.
bool makePlot(const host::Document& document, const PlotOptions& options, Plot* plot, std::string* error,
              const PlotProgress& progress = {});

// Seconds a plotter takes: pen-down length at `drawSpeed`, travel at
// `travelSpeed` (both mm/s), and `liftSeconds` for each stroke's lift and drop.
double plottingSeconds(const PlotStats& stats, double drawSpeed, double travelSpeed, double liftSeconds = 0.15);

}  // namespace qx::plot
