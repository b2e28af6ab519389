// Painting in the document window: the heaviest drawing fitted and
// magnified, and each preset at its own values. The window paints in slices
// from its event loop, so besides the whole painting's time what matters to
// a person is the longest stretch the loop is kept from input.
// Counters: longest_block_ms (the worst wait an input event can meet),
// slices (event-loop turns one painting takes), objects (top-level art).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>

#include "bench_render_session.h"
#include "host/gui/document_view.h"
#include "host/io/document_input.h"

namespace qx::bench {
namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "bench_preview_paint";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: tearing Qt down in static destruction crashes at exit.
  static QApplication* instance = new QApplication(argc, argv);
  return *instance;
}

// Repaints `document` in a 1200 x 900 window until done, as a preview's
// redraw request makes it, with the page fitted (zoom 0) or magnified.
void repaint(benchmark::State& state, Document& document, double zoom) {
  gui::DocumentView view;
  view.resize(1200, 900);
  view.setDocument(&document);
  view.show();
  if (zoom > 0) view.zoomBy(zoom, QPointF(600, 450));
  view.finishRender();
  QApplication::processEvents();

  double longestMs = 0;
  size_t slices = 0;
  for (auto _ : state) {
    QElapsedTimer turn;
    turn.start();
    view.documentChanged();  // what a preview's redraw request does
    longestMs = std::max(longestMs, turn.nsecsElapsed() / 1e6);
    slices = 1;
    while (!view.renderComplete()) {
      turn.restart();
      QApplication::processEvents();
      longestMs = std::max(longestMs, turn.nsecsElapsed() / 1e6);
      ++slices;
    }
  }
  state.counters["longest_block_ms"] = longestMs;
  state.counters["slices"] = static_cast<double>(slices);
  state.counters["objects"] = static_cast<double>(document.art().topLevelArt().size());
}

void BM_PaintHeaviest(benchmark::State& state) {
  app();
  RenderSession session;
  Document document;
  if (session.run(document, heaviest(session.defaults())) != QX_ERR_NONE) {
    state.SkipWithError("the heaviest run failed");
    return;
  }
  repaint(state, document, static_cast<double>(state.range(0)));
}

// A preset as the command line draws it (seed 7), read back from its JSON.
std::unique_ptr<Document> presetDrawing(int preset) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qx-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string json = (dir / "preset.json").string();
  const std::string command = std::string("'") + QX_QUELVIX_EXE + "' render --fresh --state '" +
                              (dir / "state.bin").string() + "' --seed 7 --preset " + std::to_string(preset) + " -o '" +
                              json + "' 2>/dev/null";
  std::unique_ptr<Document> document;
  if (std::system(command.c_str()) == 0) {
    std::string error;
    document = host::readDocumentFile(json, &error);
  }
  std::filesystem::remove_all(dir);
  return document;
}

void BM_PaintPreset(benchmark::State& state) {
  app();
  auto document = presetDrawing(static_cast<int>(state.range(0)));
  if (!document) {
    state.SkipWithError("the preset could not be drawn");
    return;
  }
  repaint(state, *document, 0);
}

BENCHMARK(BM_PaintHeaviest)->ArgName("zoom")->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PaintPreset)
    ->ArgName("preset")
    ->DenseRange(0, 15)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
