// Plotter output of three drawings, all with shapes of size 20 at every
// point of locked walks, tiled four-fold about the page's centre:
//   small:    5 line sets of 500 points, 10,040 objects
//   medium:  20 line sets of 1000 points, 80,160 objects
//   heaviest: 200 line sets of 3000 points, 2.4 million objects
// BM_PlotProcess/small times the whole `quelvix plot IN.svg -o OUT.svg`
// process, reading the drawing included. BM_Plot times makePlot and the
// plot SVG's writing in this process, the drawing already in memory.
//
// Counters: peak_rss_MB is the process's peak during the plot (the kernel's
// mark reset before it), plot_MB what the plot added to the resident size it
// started from; travel_ratio the pen-up travel after ordering over the travel
// in paint order; strokes the pen-down strokes.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "bench_render_session.h"
#include "host/io/svg_write/svg_writer.h"
#include "host/io/text_sink.h"
#include "host/plot/plot.h"
#include "host/plot/plot_writer.h"

namespace qx::bench {
namespace {

Settings lattice(const Settings& defaults, int32_t sets, int32_t points) {
  Settings s = heaviest(defaults);
  setField<int32_t>(s, QX_FIELD(lineSets), sets);
  setField<int32_t>(s, QX_FIELD(pointsMin), points);
  setField<int32_t>(s, QX_FIELD(pointsMax), points);
  return s;
}

// The drawing of `sets` line sets of `points` points, made once.
const Document& drawing(int32_t sets, int32_t points) {
  static RenderSession session;
  static std::map<std::pair<int32_t, int32_t>, std::unique_ptr<Document>> made;
  std::unique_ptr<Document>& d = made[{sets, points}];
  if (!d) {
    d = std::make_unique<Document>();
    if (session.run(*d, lattice(session.defaults(), sets, points)) != QX_ERR_NONE) d->art().undoMessage();
  }
  return *d;
}

double statusKiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(std::strlen(key)));
  return 0;
}

void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_Plot(benchmark::State& state) {
  const Document& document = drawing(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  state.counters["objects"] = static_cast<double>(document.art().liveArtCount());
  double peak = 0, added = 0;
  plot::Plot result;
  for (auto _ : state) {
    state.PauseTiming();
    result = plot::Plot();
    malloc_trim(0);
    const double before = statusKiB("VmRSS:");
    resetPeak();
    state.ResumeTiming();
    std::string why;
    if (!plot::makePlot(document, plot::PlotOptions(), &result, &why)) {
      state.SkipWithError(why.c_str());
      break;
    }
    host::TextSink counted;
    plot::writePlot(counted, result, plot::PlotFormat::kSvg, plot::MachineOptions());
    counted.flush();
    benchmark::DoNotOptimize(counted.size());
    state.PauseTiming();
    const double high = statusKiB("VmHWM:");
    peak = std::max(peak, high);
    added = std::max(added, high - before);
    state.ResumeTiming();
  }
  state.counters["peak_rss_MB"] = peak / 1024;
  state.counters["plot_MB"] = added / 1024;
  state.counters["strokes"] = static_cast<double>(result.stats.strokes);
  state.counters["travel_ratio"] =
      result.stats.travelPaintOrderMm > 0 ? result.stats.travelMm / result.stats.travelPaintOrderMm : 0;
}

// The whole `quelvix plot` process on the drawing saved as SVG.
void BM_PlotProcess(benchmark::State& state) {
  const Document& document = drawing(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  const std::string in = "/tmp/bench_plot." + std::to_string(getpid()) + ".svg";
  const std::string out = "/tmp/bench_plot." + std::to_string(getpid()) + ".plot.svg";
  std::string why;
  if (!host::saveSvg(document, in, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  const std::string command = std::string("'") + QX_QUELVIX_EXE + "' plot --quiet '" + in + "' -o '" + out + "'";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("quelvix plot failed");
      break;
    }
  std::remove(in.c_str());
  std::remove(out.c_str());
}

BENCHMARK(BM_PlotProcess)->Name("BM_PlotProcess/small")->Args({5, 500})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlotProcess)->Name("BM_PlotProcess/medium")->Args({20, 1000})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Plot)->Name("BM_Plot/small")->Args({5, 500})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Plot)->Name("BM_Plot/medium")->Args({20, 1000})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Plot)->Name("BM_Plot/heaviest")->Args({200, 3000})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
