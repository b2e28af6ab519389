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
  static constexpr double kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  decimals = std::clamp(decimals, 0, 6);
  const double scaled = std::round(value * kPowers[decimals]);
  if (!std::isfinite(scaled) || std::abs(scaled) >= 9e15) return out.put('0');  // never met: sheets are small
  // Whole units and the decimals as integers: quicker than formatting a double.
  int64_t whole = static_cast<int64_t>(scaled);
  if (whole < 0) out.put('-'), whole = -whole;
  const int64_t unit = static_cast<int64_t>(kPowers[decimals]);
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, whole / unit);
  out.append(std::string_view(text, static_cast<size_t>(end - text)));
  int64_t fraction = whole % unit;
  if (fraction == 0) return;
  int digits = decimals;
  while (fraction % 10 == 0) fraction /= 10, --digits;
  char decimalsText[8] = {'.'};
  for (int i = digits; i >= 1; --i, fraction /= 10) decimalsText[i] = static_cast<char>('0' + fraction % 10);
  out.append(std::string_view(decimalsText, static_cast<size_t>(digits + 1)));
}

}  // namespace qx::plot
