// The plot SVG: the sheet's size in millimetres with a viewBox in
// millimetres, and one Inkscape layer per pen, labelled with the pen's
// number first ("1 black"), which is what layer-by-layer plotting tools
// read. Strokes are plain paths, unfilled, in the pen's colour and width.
#include "host/io/text_escape.h"
#include "host/io/text_sink.h"
#include "host/plot/plot_writer.h"

namespace qx::plot {

void writePlotSvg(host::TextSink& out, const Plot& plot) {
  const double h = plot.sheet.heightMm;
  out.append("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n");
  out.append(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" version=\"1.1\" width=\"");
  writeFixed(out, plot.sheet.widthMm, 3);
  out.append("mm\" height=\"");
  writeFixed(out, h, 3);
  out.append("mm\" viewBox=\"0 0 ");
  writeFixed(out, plot.sheet.widthMm, 3);
  out.put(' ');
  writeFixed(out, h, 3);
  out.append("\">\n");
  for (const PenLayer& layer : plot.layers) {
    char color[8];
    host::formatHexColor(layer.pen.color, color);
    out.append("<g inkscape:groupmode=\"layer\" inkscape:label=\"");
    host::writeXmlAttribute(out, std::to_string(layer.pen.number) + " " + layer.pen.name);
    out.append("\" id=\"pen");
    out.append(std::to_string(layer.pen.number));
    out.append("\" fill=\"none\" stroke=\"");
    out.append(color);
    out.append("\" stroke-width=\"");
    writeFixed(out, layer.pen.widthMm, 3);
    out.append("\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n");
    for (const Polyline& stroke : layer.strokes) {
      if (stroke.size() < 2) continue;
      out.append("<path d=\"M");
      for (size_t i = 0; i < stroke.size(); ++i) {
        if (i == 1) out.put('L');
        else if (i > 1) out.put(' ');
        writeFixed(out, stroke[i].x, 3);
        out.put(' ');
        writeFixed(out, h - stroke[i].y, 3);  // SVG's y runs down the sheet
      }
      out.append("\"/>\n");
    }
    out.append("</g>\n");
  }
  out.append("</svg>\n");
}

}  // namespace qx::plot
