#include "host/plot/plot_writer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "host/io/text_sink.h"

namespace qx::plot {

std::optional<PlotFormat> plotFormatFor(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == ".svg") return PlotFormat::kSvg;
  if (ext == ".hpgl" || ext == ".hpg" || ext == ".plt") return PlotFormat::kHpgl;
  if (ext == ".gcode" || ext == ".gc" || ext == ".ngc" || ext == ".nc") return PlotFormat::kGcode;
  return std::nullopt;
}

void writePlot(host::TextSink& out, const Plot& plot, PlotFormat format, const MachineOptions& machine) {
  switch (format) {
    case PlotFormat::kSvg: writePlotSvg(out, plot); break;
    case PlotFormat::kHpgl: writePlotHpgl(out, plot); break;
    case PlotFormat::kGcode: writePlotGcode(out, plot, machine); break;
  }
}

bool writePlotFile(const std::string& path, const Plot& plot, PlotFormat format, const MachineOptions& machine,
                   std::string* error) {
  return host::writeToFile(path, error, [&](host::TextSink& out) { writePlot(out, plot, format, machine); });
}

void writeFixed(host::TextSink& out, double value, int decimals) {
  const double unit = std::pow(10.0, decimals);
  double rounded = std::round(value * unit) / unit;
  if (rounded == 0 || !std::isfinite(rounded)) rounded = 0;  // no "-0"; a non-finite number never reaches here
  char text[64];
  auto [end, ec] = std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return out.put('0');
  char* last = end;
  if (decimals > 0) {
    while (last[-1] == '0') --last;
    if (last[-1] == '.') --last;
  }
  out.append(std::string_view(text, static_cast<size_t>(last - text)));
}

}  // namespace qx::plot
