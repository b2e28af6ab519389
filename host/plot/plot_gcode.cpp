// G-code for pen plotters and machines driven like them: millimetres (G21),
// absolute coordinates (G90), travel with G0, drawing with G1 at the draw
// feed rate, the pen lifted and dropped by the machine's own lines or by Z
// moves, and a pause (M0) to change pens between layers.
#include <cmath>

#include "host/io/text_sink.h"
#include "host/plot/plot_writer.h"

namespace qx::plot {
namespace {

void writeXY(host::TextSink& out, Point p) {
  out.append(" X");
  writeFixed(out, p.x, 3);
  out.append(" Y");
  writeFixed(out, p.y, 3);
}

void penLine(host::TextSink& out, const std::string& command, double z, double feed) {
  if (!command.empty()) {
    out.append(command);
    out.put('\n');
    return;
  }
  out.append(feed > 0 ? "G1 Z" : "G0 Z");
  writeFixed(out, z, 3);
  if (feed > 0) {
    out.append(" F");
    writeFixed(out, feed, 1);
  }
  out.put('\n');
}

}  // namespace

void writePlotGcode(host::TextSink& out, const Plot& plot, const MachineOptions& machine) {
  const double feed = machine.drawSpeed * 60;  // mm/min
  out.append("; quelvix plot: ");
  out.append(std::to_string(plot.layers.size()));
  out.append(" pens\nG21 ; millimetres\nG90 ; absolute coordinates\n");
  penLine(out, machine.penUp, machine.zUp, 0);
  bool first = true;
  for (const PenLayer& layer : plot.layers) {
    out.append("; pen " + std::to_string(layer.pen.number) + " " + layer.pen.name + "\n");
    if (!first) out.append("M0 ; change to pen " + std::to_string(layer.pen.number) + " " + layer.pen.name + "\n");
    first = false;
    for (const Polyline& stroke : layer.strokes) {
      if (stroke.size() < 2) continue;
      out.append("G0");
      writeXY(out, stroke[0]);
      out.put('\n');
      penLine(out, machine.penDown, machine.zDown, feed);
      for (size_t i = 1; i < stroke.size(); ++i) {
        out.append("G1");
        writeXY(out, stroke[i]);
        if (i == 1) {
          out.append(" F");
          writeFixed(out, feed, 1);
        }
        out.put('\n');
      }
      penLine(out, machine.penUp, machine.zUp, 0);
    }
  }
  out.append("G0 X0 Y0\nM2\n");
}

}  // namespace qx::plot
