// Writing a plot: as a plot SVG (a layer per pen, for plotting programs
// that take SVG), HPGL (HP-7475A-compatible plotters) or G-code (pen
// plotters and machines driven like a router).
#pragma once

#include <optional>
#include <string>

#include "host/plot/plot.h"

namespace qx::host {
class TextSink;
}

namespace qx::plot {

enum class PlotFormat { kSvg, kHpgl, kGcode };

// The format a file's extension names: .svg; .hpgl, .hpg or .plt; .gcode,
// .gc, .ngc or .nc (any case). Nullopt for any other.
std::optional<PlotFormat> plotFormatFor(const std::string& path);

// What a machine needs beyond the plot.
struct MachineOptions {
  double drawSpeed = 25;    // mm/s with the pen down: the G-code feed rate
  double travelSpeed = 75;  // mm/s with the pen up (the time estimate)
  std::string penUp, penDown;  // G-code lines that lift and drop the pen; empty: Z moves
  double zUp = 5, zDown = 0;   // mm, when those are empty
};

// The plot's text in `format`, into `out`.
void writePlot(host::TextSink& out, const Plot& plot, PlotFormat format, const MachineOptions& machine);
// The same, saved atomically as the file at `path`; false and a one-line
// reason in *error when it cannot be written (the file is then untouched).
bool writePlotFile(const std::string& path, const Plot& plot, PlotFormat format, const MachineOptions& machine,
                   std::string* error);

// Each format's writer (plot_svg.cpp, plot_hpgl.cpp, plot_gcode.cpp).
void writePlotSvg(host::TextSink& out, const Plot& plot);
void writePlotHpgl(host::TextSink& out, const Plot& plot);
void writePlotGcode(host::TextSink& out, const Plot& plot, const MachineOptions& machine);

// A number with at most `decimals` decimals, trailing zeros dropped ("12.5", "-3", "0").
void writeFixed(host::TextSink& out, double value, int decimals);

}  // namespace qx::plot
