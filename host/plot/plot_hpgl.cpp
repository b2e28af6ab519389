// HPGL for HP-7475A-compatible plotters: absolute coordinates in plotter
// units of 1/40 mm from the sheet's lower-left corner, a pen chosen with SP
// before its strokes, each stroke a PU to its start and PD through its points.
#include <cmath>
#include <cstdint>

#include "host/io/text_sink.h"
#include "host/plot/plot_writer.h"

namespace qx::plot {
namespace {

constexpr double kUnitsPerMm = 40;
// Points per PD instruction: short instructions suit the small buffers of
// old plotters.
constexpr size_t kPointsPerInstruction = 32;

void writePoint(host::TextSink& out, int64_t x, int64_t y) {
  out.append(std::to_string(x));
  out.put(',');
  out.append(std::to_string(y));
}

}  // namespace

void writePlotHpgl(host::TextSink& out, const Plot& plot) {
  out.append("IN;\n");
  for (const PenLayer& layer : plot.layers) {
    out.append("SP" + std::to_string(layer.pen.number) + ";\n");
    for (const Polyline& stroke : layer.strokes) {
      if (stroke.size() < 2) continue;
      int64_t lastX = 0, lastY = 0;
      size_t inInstruction = 0;
      for (size_t i = 0; i < stroke.size(); ++i) {
        const int64_t x = std::llround(stroke[i].x * kUnitsPerMm), y = std::llround(stroke[i].y * kUnitsPerMm);
        if (i == 0) {
          out.append("PU");
          writePoint(out, x, y);
          out.append(";\n");
        } else {
          if (x == lastX && y == lastY) continue;  // the same plotter unit
          if (inInstruction == kPointsPerInstruction) out.append(";\n"), inInstruction = 0;
          out.append(inInstruction == 0 ? "PD" : ",");
          writePoint(out, x, y);
          ++inInstruction;
        }
        lastX = x, lastY = y;
      }
      if (inInstruction > 0) out.append(";\n");
    }
  }
  out.append("PU;\nSP0;\n");
}

}  // namespace qx::plot
