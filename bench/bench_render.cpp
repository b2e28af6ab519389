// Whole filter runs through the real plug-in: the defaults, the " 200 Angled
// lattice" preset and the heaviest settings the dialog allows. Counters:
// objects made per run and document memory per object.
//
// The heaviest run is measured twice. BM_RenderHeaviestFirstRun is the first
// run of a new process, as one `quelvix render` makes: the kernel faults in
// and zeroes the document's 570 MB on first touch, which on a virtual machine
// costs from a quarter of a second to several times the run itself,
// depending on what the machine's memory did before. BM_RenderHeaviest is a
// run in a process that has drawn once already (every Shuffle, preview and
// batch drawing after the first): the store's chunks come back from the
// chunk pool, so it measures the generator and the host's calls alone.
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

void runWith(benchmark::State& state, const std::optional<Settings>& settings, bool warmUp) {
  RenderSession& s = session();
  if (warmUp) {
    Document document;
    if (s.run(document, settings) != QX_ERR_NONE) {
      state.SkipWithError("the warm-up run failed");
      return;
    }
  }
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

void BM_RenderHeaviestFirstRun(benchmark::State& state) {
  static bool ran = false;  // only the process's first heaviest run is cold
  if (ran) {
    state.SkipWithError("only the first run of a process is measured: run without repetitions");
    return;
  }
  ran = true;
  runWith(state, heaviest(session().defaults()), false);
}
void BM_RenderDefaults(benchmark::State& state) { runWith(state, session().defaults(), false); }
void BM_RenderAngledLattice200(benchmark::State& state) { runWith(state, angledLattice(session().defaults()), false); }
void BM_RenderHeaviest(benchmark::State& state) { runWith(state, heaviest(session().defaults()), true); }

// First, before any other run has filled the chunk pool.
BENCHMARK(BM_RenderHeaviestFirstRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_RenderDefaults)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderAngledLattice200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderHeaviest)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
