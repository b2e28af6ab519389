// Writing the SVG of the heaviest drawing: into a counting sink (the writer
// alone) and into a real file (with the flush to disk and the rename). Each
// reports the file's size, the bytes an object costs and the rate in MB/s.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench_render_session.h"
#include "host/io/svg_write/svg_writer.h"
#include "host/io/text_sink.h"

namespace qx::bench {
namespace {

Document& heaviestDocument() {
  static std::unique_ptr<Document> document = [] {
    RenderSession s;
    auto d = std::make_unique<Document>();
    if (s.run(*d, heaviest(s.defaults())) != QX_ERR_NONE) {
      std::fprintf(stderr, "the heaviest run failed; writing what it drew\n");
    }
    return d;
  }();
  return *document;
}

void report(benchmark::State& state, const Document& document, uint64_t bytes) {
  const auto objects = static_cast<double>(document.art().liveArtCount());
  state.SetBytesProcessed(static_cast<int64_t>(bytes * state.iterations()));
  state.counters["objects"] = objects;
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["bytes_per_object"] = objects > 0 ? static_cast<double>(bytes) / objects : 0;
  state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6 *
                                                      static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

void BM_SvgHeaviestToMemory(benchmark::State& state) {
  const Document& document = heaviestDocument();
  uint64_t bytes = 0;
  for (auto _ : state) {
    host::TextSink sink;
    host::writeSvg(document, sink);
    sink.flush();
    bytes = sink.size();
  }
  report(state, document, bytes);
}

void BM_SvgHeaviestToFile(benchmark::State& state) {
  const Document& document = heaviestDocument();
  const std::string path = "/tmp/quelvix_bench_" + std::to_string(getpid()) + ".svg";
  uint64_t bytes = 0;
  for (auto _ : state) {
    std::string error;
    if (!host::saveSvg(document, path, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    state.PauseTiming();
    bytes = 0;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      std::fseek(f, 0, SEEK_END);
      bytes = static_cast<uint64_t>(std::ftell(f));
      std::fclose(f);
    }
    state.ResumeTiming();
  }
  std::remove(path.c_str());
  report(state, document, bytes);
}

BENCHMARK(BM_SvgHeaviestToMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SvgHeaviestToFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
