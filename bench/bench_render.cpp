// Whole filter runs through the real plug-in: the defaults, the " 200 Angled
// lattice" preset and the heaviest settings the dialog allows. Counters:
// objects made per run and document memory per object.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "bench_render_session.h"

namespace qx::bench {
namespace {

RenderSession& session() {
  static RenderSession s;
  return s;
}

void runWith(benchmark::State& state, const std::optional<Settings>& settings) {
  RenderSession& s = session();
  size_t objects = 0, bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto document = std::make_unique<Document>();
    state.ResumeTiming();
    const QxErr err = s.run(*document, settings);
    state.PauseTiming();
    if (err != QX_ERR_NONE) {
      state.SkipWithError(("the run failed with code " + std::to_string(err)).c_str());
      break;
    }
    objects = document->art().liveArtCount();
    bytes = document->art().memoryBytes();
    document.reset();  // tearing down millions of objects is not part of a run
    state.ResumeTiming();
  }
  state.counters["objects"] = static_cast<double>(objects);
  state.counters["bytes_per_object"] = objects ? static_cast<double>(bytes) / static_cast<double>(objects) : 0;
  state.counters["document_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_RenderDefaults(benchmark::State& state) { runWith(state, session().defaults()); }
void BM_RenderAngledLattice200(benchmark::State& state) { runWith(state, angledLattice(session().defaults())); }
void BM_RenderHeaviest(benchmark::State& state) { runWith(state, heaviest(session().defaults())); }

BENCHMARK(BM_RenderDefaults)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderAngledLattice200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderHeaviest)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
