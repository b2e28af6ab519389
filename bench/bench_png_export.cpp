// PNG export of the medium drawing (20 line sets of 1000 locked points,
// shapes of size 20 at every point, tiled about the page's centre) at 2000
// pixels wide, as `quelvix render --width 2000 -o x.png` writes it.
// BM_PngStrips is the export: painted a strip at a time and written through
// libpng. BM_PngOneImage paints the same picture into one image and lets Qt
// encode it (how PNGs were made before), for comparison; BM_PaintOnly is
// that painting alone.
//
// Memory: before each export the kernel's peak-RSS mark is reset
// (/proc/self/clear_refs), so peak_rss_MB is the process's peak during the
// export (the document, the plug-in and Qt included) and export_MB what the
// export added to the resident size it started from (freed memory is handed
// back before each export, so its reuse does not hide).
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include "bench_render_session.h"
#include "host/io/atomic_file.h"
#include "host/paint/offscreen_app.h"
#include "host/paint/png_picture.h"

namespace qx::bench {
namespace {

Settings medium(const Settings& defaults) {
  Settings s = heaviest(defaults);
  setField<int32_t>(s, QX_FIELD(lineSets), 20);
  setField<int32_t>(s, QX_FIELD(pointsMin), 1000);
  setField<int32_t>(s, QX_FIELD(pointsMax), 1000);
  return s;
}

const Document& mediumDrawing() {
  static std::unique_ptr<Document> document = [] {
    paint::ensureOffscreenApplication();
    RenderSession session;
    auto d = std::make_unique<Document>();
    if (session.run(*d, medium(session.defaults())) != QX_ERR_NONE) d.reset();
    return d;
  }();
  return *document;
}

// Kibibytes of a /proc/self/status line ("VmHWM:", "VmRSS:").
double statusKiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(std::strlen(key)));
  return 0;
}

void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

host::PaintOptions options2000() {
  host::PaintOptions o;
  o.width = 2000;
  return o;
}

std::string scratchPath() { return "/tmp/bench_png_export." + std::to_string(getpid()) + ".png"; }

template <class Export>
void measure(benchmark::State& state, Export run) {
  const Document& document = mediumDrawing();
  double peak = 0, added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // Memory freed by the last export goes back first, or the next would
    // reuse it unseen.
    malloc_trim(0);
    const double before = statusKiB("VmRSS:");
    resetPeak();
    state.ResumeTiming();
    if (!run(document)) {
      state.SkipWithError("the export failed");
      break;
    }
    state.PauseTiming();
    const double high = statusKiB("VmHWM:");
    peak = std::max(peak, high);
    added = std::max(added, high - before);
    state.ResumeTiming();
  }
  state.counters["peak_rss_MB"] = peak / 1024;
  state.counters["export_MB"] = added / 1024;
  std::remove(scratchPath().c_str());
}

void BM_PngStrips(benchmark::State& state) {
  const std::string path = scratchPath();
  measure(state, [&](const Document& d) {
    std::string why;
    return paint::writePng(d, path, options2000(), &why) == host::WriteResult::Written;
  });
}

void BM_PngOneImage(benchmark::State& state) {
  const std::string path = scratchPath();
  measure(state, [&](const Document& d) {
    const QImage image = paint::paintedImage(d, options2000());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return false;
    std::string why;
    return host::writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                                     &why);
  });
}

void BM_PaintOnly(benchmark::State& state) {
  measure(state, [](const Document& d) { return !paint::paintedImage(d, options2000()).isNull(); });
}

BENCHMARK(BM_PngStrips)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PngOneImage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PaintOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
