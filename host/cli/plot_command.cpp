// `quelvix plot IN -o OUT`: a drawing (SVG or JSON) made plotter-ready and
// written as plot SVG, HPGL or G-code, chosen by OUT's extension.
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>

#include "host/cli/batch_progress.h"
#include "host/cli/commands.h"
#include "host/io/document_input.h"
#include "host/plot/plot.h"
#include "host/plot/plot_writer.h"

namespace qx::cli {
namespace {

struct PlotCommandOptions {
  std::string input, output, pens, hatch, paper, penUp, penDown;
  double tolerance = 0.01, penWidth = 0.3, margin = 10;
  double speed = 25, travelSpeed = 75, zUp = 5, zDown = 0;
  bool keepHidden = false, fit = false, rotate = false, stats = false, quiet = false;
};

int fail(int status, const std::string& message) {
  std::cerr << "quelvix: " << message << '\n';
  return status;
}

// "SPACING[,ANGLE]" in millimetres and degrees.
bool parseHatch(const std::string& text, plot::PlotOptions* options) {
  const size_t comma = text.find(',');
  char* end = nullptr;
  const std::string spacing = text.substr(0, comma);
  options->hatchSpacingMm = std::strtod(spacing.c_str(), &end);
  if (spacing.empty() || *end != '\0') return false;
  if (comma == std::string::npos) return true;
  const std::string angle = text.substr(comma + 1);
  options->hatchAngleDeg = std::strtod(angle.c_str(), &end);
  return !angle.empty() && *end == '\0';
}

bool hasControlBytes(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7f) return true;
  return false;
}

// The plot's and the machine's options from the command line; a status
// other than kExitOk with its line printed when one is bad.
int readOptions(const PlotCommandOptions& o, plot::PlotOptions* options, plot::MachineOptions* machine) {
  options->toleranceMm = o.tolerance;
  options->keepHidden = o.keepHidden;
  options->penWidthMm = o.penWidth;
  if (!(o.penWidth > 0 && o.penWidth <= 20)) return fail(kExitUsage, "--pen-width: from above 0 to 20 mm");
  if (!o.hatch.empty() && !parseHatch(o.hatch, options))
    return fail(kExitUsage, "--hatch " + o.hatch + ": expected SPACING[,ANGLE] in mm and degrees, as 0.5,45");
  std::string why;
  if (!o.pens.empty() && !plot::readPenFile(o.pens, &options->pens, &why)) return fail(kExitUsage, "--pens " + why);
  if (!o.paper.empty()) {
    plot::Paper paper;
    if (!plot::parsePaper(o.paper, &paper, &why)) return fail(kExitUsage, why);
    options->page.paper = paper;
  }
  options->page.fit = o.fit;
  options->page.marginMm = o.margin;
  options->page.rotate = o.rotate;
  if (!(o.speed > 0 && o.speed <= 10000) || !(o.travelSpeed > 0 && o.travelSpeed <= 10000))
    return fail(kExitUsage, "--speed and --travel-speed: from above 0 to 10000 mm/s");
  if (hasControlBytes(o.penUp) || hasControlBytes(o.penDown))
    return fail(kExitUsage, "--pen-up and --pen-down: one line of G-code each");
  if (!std::isfinite(o.zUp) || !std::isfinite(o.zDown)) return fail(kExitUsage, "--z-up and --z-down: numbers of mm");
  machine->drawSpeed = o.speed;
  machine->travelSpeed = o.travelSpeed;
  machine->penUp = o.penUp;
  machine->penDown = o.penDown;
  machine->zUp = o.zUp;
  machine->zDown = o.zDown;
  return kExitOk;
}

// A bar on a terminal while the hidden lines are found, once they take a
// while; nothing elsewhere.
class PlotProgressBar {
 public:
  explicit PlotProgressBar(bool shown) : shown_(shown && ::isatty(2)), start_(std::chrono::steady_clock::now()) {}
  ~PlotProgressBar() { takeDown(); }
  void update(size_t done, size_t total) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (!shown_ || seconds < 0.5) return;
    winsize size{};
    const size_t columns = ::ioctl(2, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    raw("\r" + BatchProgress::barText(std::min(done, total), total, seconds, columns - 1) + "\x1b[K");
    drawn_ = true;
  }
  void takeDown() {
    if (drawn_) raw("\r\x1b[K");
    drawn_ = false;
  }

 private:
  // Straight to the descriptor: the error stream escapes the bar's control bytes.
  static void raw(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
      const ssize_t n = ::write(2, text.data() + at, text.size() - at);
      if (n <= 0) return;
      at += static_cast<size_t>(n);
    }
  }
  bool shown_, drawn_ = false;
  std::chrono::steady_clock::time_point start_;
};

std::string metres(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, mm >= 1000 ? "%.1f m" : "%.0f mm", mm >= 1000 ? mm / 1000 : mm);
  return text;
}

void printStats(const plot::Plot& plot, const plot::MachineOptions& machine) {
  const plot::PlotStats& s = plot.stats;
  const double seconds = plot::plottingSeconds(s, machine.drawSpeed, machine.travelSpeed);
  char line[512];
  std::snprintf(line, sizeof line,
                "quelvix: %zu pens, %zu strokes (%zu pieces joined), pen down %s, pen up %s (%s in paint order, "
                "%.2fx), about %.0f min at %g mm/s",
                plot.layers.size(), s.strokes, s.pieces, metres(s.penDownMm).c_str(), metres(s.travelMm).c_str(),
                metres(s.travelPaintOrderMm).c_str(), s.travelPaintOrderMm > 0 ? s.travelMm / s.travelPaintOrderMm : 0,
                std::ceil(seconds / 60), machine.drawSpeed);
  std::cerr << line << '\n';
  for (const plot::PenLayer& layer : plot.layers) {
    double length = 0;
    for (const plot::Polyline& stroke : layer.strokes)
      for (size_t i = 1; i < stroke.size(); ++i) length += plot::distance(stroke[i - 1], stroke[i]);
    std::cerr << "quelvix:   pen " << layer.pen.number << " " << layer.pen.name << ": " << layer.strokes.size()
              << " strokes, " << metres(length) << '\n';
  }
}

int runPlot(const PlotCommandOptions& o) {
  const std::optional<plot::PlotFormat> format = plot::plotFormatFor(o.output);
  if (!format) return fail(kExitUsage, "-o " + o.output + ": the format follows the extension: .svg, .hpgl or .gcode");
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(o.output).parent_path();
  if (!std::filesystem::is_directory(folder.empty() ? "." : folder, ec))
    return fail(kExitUsage, "-o " + o.output + ": the folder does not exist");
  plot::PlotOptions options;
  plot::MachineOptions machine;
  if (const int status = readOptions(o, &options, &machine); status != kExitOk) return status;

  std::string why;
  std::vector<std::string> warnings;
  std::unique_ptr<host::Document> document = host::readDocumentFile(o.input, &why, &warnings);
  if (!document) return fail(kExitUsage, why);
  for (const std::string& warning : warnings) std::cerr << "quelvix: warning: " << warning << '\n';

  plot::Plot plot;
  PlotProgressBar bar(!o.quiet);
  bool made = false;
  try {
    made = plot::makePlot(*document, options, &plot, &why, [&](size_t done, size_t total) { bar.update(done, total); });
  } catch (const std::exception& e) {  // memory, above all: the run fails, nothing is written
    bar.takeDown();
    return fail(kExitFailure, "cannot plot " + o.input + ": " + e.what());
  }
  bar.takeDown();
  if (!made) return fail(kExitUsage, why);
  if (!plot::writePlotFile(o.output, plot, *format, machine, &why))
    return fail(kExitFailure, "cannot write " + o.output + ": " + why);
  if (plot.layers.empty() && !o.quiet) std::cerr << "quelvix: warning: " << o.input << " has nothing to plot\n";
  if (o.stats || (!o.quiet && ::isatty(2))) printStats(plot, machine);
  return kExitOk;
}

}  // namespace

void addPlotCommand(CLI::App& app, int& status) {
  auto o = std::make_shared<PlotCommandOptions>();
  CLI::App* command = app.add_subcommand(
      "plot", "Make a drawing plotter-ready (hidden lines removed, a layer per pen) as plot SVG, HPGL or G-code");
  command->add_option("input", o->input, "The drawing to plot (SVG, or JSON by its extension)")->required();
  command->add_option("-o,--output", o->output, "The file to write: .svg, .hpgl or .gcode")->required();
  command->add_option("--tolerance", o->tolerance, "How far flattened curves may stray, in mm on paper (0.01)");
  command->add_flag("--keep-hidden", o->keepHidden, "Draw every stroke whole, also where fills above hide it");
  command->add_option("--pens", o->pens, "A pen file: a line per pen, NUMBER NAME #rrggbb WIDTH-MM");
  command->add_option("--pen-width", o->penWidth, "The width of pens made from colours, in mm (0.3)");
  command->add_option("--hatch", o->hatch, "Hatch filled areas: SPACING[,ANGLE] in mm and degrees (45)");
  command->add_option("--paper", o->paper, "The sheet: a4, a3, letter or WxHmm; the art is centred on it");
  command->add_flag("--fit", o->fit, "Scale the art to fill the paper inside the margin");
  command->add_option("--margin", o->margin, "The margin --fit keeps, in mm (10)");
  command->add_flag("--rotate", o->rotate, "Turn the sheet landscape when the art fits better so");
  command->add_option("--speed", o->speed, "Drawing speed in mm/s: the G-code feed rate and the estimate (25)");
  command->add_option("--travel-speed", o->travelSpeed, "Pen-up speed in mm/s, for the estimate (75)");
  command->add_option("--pen-up", o->penUp, "G-code line that lifts the pen (default: G0 to --z-up)");
  command->add_option("--pen-down", o->penDown, "G-code line that drops the pen (default: G1 to --z-down)");
  command->add_option("--z-up", o->zUp, "Z height of the lifted pen, in mm (5)");
  command->add_option("--z-down", o->zDown, "Z height of the pen on paper, in mm (0)");
  command->add_flag("--stats", o->stats, "Show the statistics even when standard error is no terminal");
  command->add_flag("--quiet", o->quiet, "No statistics, progress or warnings");
  command->callback([o, &status] { status = runPlot(*o); });
}

}  // namespace qx::cli
