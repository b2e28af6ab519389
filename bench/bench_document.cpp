// The art store under the heaviest drawing the dialog can ask for: about 2.4
// million small styled paths, each made and adjusted by a dozen suite calls.
// Reports time per run and bytes held per object.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/document/document.h"
#include "host/suites/all_suites.h"
#include "host/suites/host_context.h"
#include "host/suites/suite_registry.h"
#include "qx_names.h"

namespace {

using namespace qx::host;

constexpr int kObjects = 2'400'000;

size_t residentBytes() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<size_t>(resident) * 4096;
}

struct Suites {
  SuiteRegistry reg;
  const QxArtSuite* art;
  const QxPathStyleSuite* style;
  const QxShapeConstructionSuite* shapes;
  const QxTransformArtSuite* xform;
  const QxRealMathSuite* math;
  Suites() {
    registerArtSuites(reg);
    registerGeometrySuites(reg);
    art = static_cast<const QxArtSuite*>(reg.find(QX_ART_SUITE, 9));
    style = static_cast<const QxPathStyleSuite*>(reg.find(QX_PATH_STYLE_SUITE, 5));
    shapes = static_cast<const QxShapeConstructionSuite*>(reg.find(QX_SHAPE_CONSTRUCTION_SUITE, 4));
    xform = static_cast<const QxTransformArtSuite*>(reg.find(QX_TRANSFORM_ART_SUITE, 1));
    math = static_cast<const QxRealMathSuite*>(reg.find(QX_REAL_MATH_SUITE, 1));
  }
};

// One shape the way the generator places it: build, colour fill and stroke,
// set a width, turn with its set, then turn and scale about its own centre.
void placeShape(const Suites& s, int i) {
  QxArtHandle art = nullptr;
  const QxReal x = static_cast<QxReal>(i % 3000), y = static_cast<QxReal>(i / 3000);
  s.shapes->NewOval(x, y, 20, 20, 0, &art);
  QxPathStyle ps;
  s.style->GetPathStyle(art, &ps);
  ps.fill.color.c.process.cyan = static_cast<QxReal>(i % 1000) / 1000;
  s.style->SetPathStyle(art, &ps);
  s.style->GetPathStyle(art, &ps);
  ps.stroke.width = static_cast<QxReal>(i % 7);
  s.style->SetPathStyle(art, &ps);
  QxRealMatrix m;
  s.math->MatrixSetTranslate(&m, -x, -y);
  s.math->MatrixConcatRotate(&m, 0.3f);
  s.math->MatrixConcatTranslate(&m, x, y);
  s.xform->TransformArt(art, &m, 1, 1);
  QxRealRect b;
  s.art->GetArtBounds(art, &b);
  s.math->MatrixSetTranslate(&m, -x, -y);
  s.math->MatrixConcatScale(&m, 1.5f, 1.5f);
  s.math->MatrixConcatTranslate(&m, x, y);
  s.xform->TransformArt(art, &m, 1, 1);
}

void BM_HeaviestRunOfShapes(benchmark::State& state) {
  Suites suites;
  HostContext saved = hostContext();
  double bytesPerObject = 0, residentPerObject = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<Document>();
    hostContext().document = doc.get();
    const size_t rssBefore = residentBytes();
    doc->art().beginMessage();
    state.ResumeTiming();
    for (int i = 0; i < kObjects; ++i) placeShape(suites, i);
    state.PauseTiming();
    bytesPerObject = static_cast<double>(doc->art().memoryBytes()) / doc->art().liveArtCount();
    // Later runs reuse the chunks the first gave back (already resident), so
    // the first run's growth is the one that tells.
    const double grown = static_cast<double>(residentBytes()) - static_cast<double>(rssBefore);
    residentPerObject = std::max(residentPerObject, grown / static_cast<double>(doc->art().liveArtCount()));
    if (doc->art().liveArtCount() != static_cast<size_t>(kObjects)) state.SkipWithError("art missing");
    doc->art().endMessage();
    hostContext().document = saved.document;
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["objects"] = kObjects;
  state.counters["store_bytes_per_object"] = bytesPerObject;
  state.counters["rss_bytes_per_object"] = residentPerObject;
}
BENCHMARK(BM_HeaviestRunOfShapes)->Unit(benchmark::kMillisecond)->Iterations(3);

// Undoing a preview of that size, as every new preview does first.
void BM_UndoHeaviestPreview(benchmark::State& state) {
  Suites suites;
  HostContext saved = hostContext();
  Document doc;
  hostContext().document = &doc;
  QxArtHandle keep = nullptr;
  doc.art().newRect(0, 0, 1, 1, false, &keep);
  for (auto _ : state) {
    state.PauseTiming();
    doc.art().beginMessage();
    for (int i = 0; i < kObjects; ++i) placeShape(suites, i);
    state.ResumeTiming();
    doc.art().undoMessage();
    state.PauseTiming();
    if (doc.art().liveArtCount() != 1) state.SkipWithError("undo left art behind");
    doc.art().endMessage();
    state.ResumeTiming();
  }
  hostContext().document = saved.document;
}
BENCHMARK(BM_UndoHeaviestPreview)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
