// Reading a million-row COMANDAS: `cocina-db export` against `mdb-export`
// of the same file (the goal is at least 3 times faster), and the engine's
// scan of every column against reading the file's bytes (`cat FILE >
// /dev/null`), the limit of what a scan can cost. Each pair is measured in
// the same run and its ratio printed.
//
// The file is COCINA_BENCH_FILE when set; otherwise a demo database with
// COCINA_BENCH_ROWS history lines (default 1000000) is built first.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "jet/database.h"
#include "jet/demo/demo_database.h"

namespace {

std::string databaseFile() {
  static std::string path = [] {
    if (const char* f = std::getenv("COCINA_BENCH_FILE")) return std::string(f);
    std::string p = (std::filesystem::temp_directory_path() /
                     ("cocina-bench-" + std::to_string(getpid()) + "-export.mdb"))
                        .string();
    jet::demo::DemoOptions o;
    const char* env = std::getenv("COCINA_BENCH_ROWS");
    o.history = env ? std::strtoull(env, nullptr, 10) : 1000000;
    if (!jet::demo::buildDemoDatabase(p, o)) return std::string();
    std::atexit([] {
      if (!std::getenv("COCINA_BENCH_FILE")) {
        std::filesystem::remove(std::filesystem::temp_directory_path() /
                                ("cocina-bench-" + std::to_string(getpid()) + "-export.mdb"));
      }
    });
    return p;
  }();
  return path;
}

double timeCommand(const std::string& command) {
  auto t0 = std::chrono::steady_clock::now();
  int rc = std::system(command.c_str());
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return rc == 0 ? s : -1;
}

double cocinaExport = 0, mdbExport = 0, engineScan = 0, catFile = 0;

void BM_CocinaDbExport(benchmark::State& state) {
  std::string tool = std::string(COCINA_BINARY_DIR) + "/src/tools/cocina-db";
  for (auto _ : state) {
    cocinaExport = timeCommand(tool + " export " + databaseFile() + " COMANDAS > /dev/null");
    if (cocinaExport < 0) state.SkipWithError("cocina-db export failed");
  }
}

void BM_MdbExport(benchmark::State& state) {
  for (auto _ : state) {
    mdbExport = timeCommand("mdb-export " + databaseFile() + " COMANDAS > /dev/null");
    if (mdbExport < 0) state.SkipWithError("mdb-export failed");
  }
  state.counters["mdb_over_cocina"] = cocinaExport > 0 ? mdbExport / cocinaExport : 0;
  std::printf("export of COMANDAS: cocina-db %.2f s, mdb-export %.2f s: %.1f times faster\n",
              cocinaExport, mdbExport, cocinaExport > 0 ? mdbExport / cocinaExport : 0);
}

void BM_EngineScan(benchmark::State& state) {
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    auto db = jet::Database::open(databaseFile(), jet::OpenOptions{true});
    if (!db) {
      state.SkipWithError(db.error().description.c_str());
      return;
    }
    auto schema = (*db)->table("COMANDAS");
    std::vector<int> all(schema->columns.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    auto cursor = (*db)->scan("COMANDAS", all);
    uint64_t n = 0;
    while (true) {
      auto more = (*cursor)->next();
      if (!more || !*more) break;
      ++n;
    }
    benchmark::DoNotOptimize(n);
    engineScan = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.counters["rows"] = static_cast<double>(n);
  }
}

void BM_CatFile(benchmark::State& state) {
  for (auto _ : state) catFile = timeCommand("cat " + databaseFile() + " > /dev/null");
  state.counters["scan_over_cat"] = catFile > 0 ? engineScan / catFile : 0;
  std::printf("scan of COMANDAS: engine %.2f s, cat %.2f s: scan costs %.1f times the bytes\n",
              engineScan, catFile, catFile > 0 ? engineScan / catFile : 0);
}

BENCHMARK(BM_CocinaDbExport)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MdbExport)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_EngineScan)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_CatFile)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
