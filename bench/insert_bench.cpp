// The million-row insert: a demo order database whose COMANDAS gets a
// million history lines in transactions of some thousands, each line a
// parameterised INSERT through ADO as a point of sale sends it (statement
// parsing and binding, row encoding, page and usage-map upkeep, three
// indexes kept in place, the journal and each commit's sync), against
// its peer measured in the same run: writing the same number of lines as
// CSV text to a file, the cost of just producing and storing the data.
//
// COCINA_BENCH_ROWS sets the number of lines (default 1000000).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "demo/demo_database.h"
#include "orders/service_clock.h"

namespace {

uint64_t rows() {
  const char* env = std::getenv("COCINA_BENCH_ROWS");
  return env ? std::strtoull(env, nullptr, 10) : 1000000;
}

std::string scratch(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("cocina-bench-") + std::to_string(getpid()) + "-" + name))
      .string();
}

double engineSeconds = 0, csvSeconds = 0;

void BM_EngineInsert(benchmark::State& state) {
  for (auto _ : state) {
    std::string path = scratch("insert.mdb");
    std::filesystem::remove(path);
    demo::DemoOptions options;
    options.serviceMinute = [] { return minutosDeTexto(horaLocalActual()); };
    options.history = rows();
    auto t0 = std::chrono::steady_clock::now();
    auto s = demo::buildDemoDatabase(path, options);
    engineSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!s) state.SkipWithError(s.description().c_str());
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
  }
  state.counters["rows_per_s"] = static_cast<double>(rows()) / engineSeconds;
}

void BM_CsvWrite(benchmark::State& state) {
  for (auto _ : state) {
    std::string path = scratch("insert.csv");
    auto t0 = std::chrono::steady_clock::now();
    FILE* f = std::fopen(path.c_str(), "w");
    for (uint64_t i = 0; i < rows(); ++i) {
      std::fprintf(f,
                   "%llu,\"%llu\",%d,\"Café con leche\",-2,\"CAFETERIA\",,,,\"Ana\",\"Cobrado\","
                   "\"Ventas\",\"S\",\"X\",3,\"S\",0,\"12/08/26 13:20:00\"\n",
                   static_cast<unsigned long long>(i), static_cast<unsigned long long>(i % 20),
                   720 + static_cast<int>(i % 700));
    }
    std::fflush(f);
    fsync(fileno(f));
    std::fclose(f);
    csvSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::filesystem::remove(path);
  }
  state.counters["engine_over_csv"] = csvSeconds > 0 ? engineSeconds / csvSeconds : 0;
  std::printf("million-row insert: engine %.2f s, CSV %.2f s, ratio engine/CSV %.1f\n",
              engineSeconds, csvSeconds, csvSeconds > 0 ? engineSeconds / csvSeconds : 0);
}

BENCHMARK(BM_EngineInsert)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_CsvWrite)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
