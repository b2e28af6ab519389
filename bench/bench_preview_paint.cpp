// Painting the heaviest drawing in the document window. The window paints in
// slices from its event loop, so what matters to a person is the longest
// stretch the loop is kept from input, not the whole painting's time.
// Counters: longest_block_ms (the worst wait an input event can meet),
// slices (event-loop turns one painting takes), objects (top-level art).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>

#include "bench_render_session.h"
#include "host/gui/document_view.h"

namespace qx::bench {
namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "bench_preview_paint";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication instance(argc, argv);
  return instance;
}

// The page fitted to the window (zoom 0), or a part of it magnified.
void BM_PaintHeaviest(benchmark::State& state) {
  app();
  RenderSession session;
  Document document;
  if (session.run(document, heaviest(session.defaults())) != QX_ERR_NONE) {
    state.SkipWithError("the heaviest run failed");
    return;
  }
  gui::DocumentView view;
  view.resize(1200, 900);
  view.setDocument(&document);
  view.show();
  if (state.range(0) > 0) view.zoomBy(static_cast<double>(state.range(0)), QPointF(600, 450));
  view.finishRender();
  QApplication::processEvents();

  double longestMs = 0;
  size_t slices = 0;
  for (auto _ : state) {
    QElapsedTimer turn;
    turn.start();
    view.documentChanged();  // what a preview's redraw request does; paints the first slice at once
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

BENCHMARK(BM_PaintHeaviest)->ArgName("zoom")->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
