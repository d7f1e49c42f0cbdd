// Reading a million-row COMANDAS: `cocina-db export` against `mdb-export`
// of the same file (the goal is at least 3 times faster), and the engine's
// scan of every column against reading the file's bytes (`cat FILE >
// /dev/null`), the limit of what a scan can cost. Each pair is measured in
// the same run and its ratio printed, in wall time and in CPU time.
//
// The file is COCINA_BENCH_FILE when set; otherwise a demo database with
// COCINA_BENCH_ROWS history lines (default 1000000) is built first.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "demo/demo_database.h"
#include "jet/database.h"
#include "orders/service_clock.h"

namespace {

std::string databaseFile() {
  static std::string path = [] {
    if (const char* f = std::getenv("COCINA_BENCH_FILE")) return std::string(f);
    std::string p = (std::filesystem::temp_directory_path() /
                     ("cocina-bench-" + std::to_string(getpid()) + "-export.mdb"))
                        .string();
    demo::DemoOptions o;
    o.serviceMinute = [] { return minutosDeTexto(horaLocalActual()); };
    const char* env = std::getenv("COCINA_BENCH_ROWS");
    o.history = env ? std::strtoull(env, nullptr, 10) : 1000000;
    if (!demo::buildDemoDatabase(p, o)) return std::string();
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

// CPU seconds (user + system) of the children that have ended so far.
double childCpuSeconds() {
  struct rusage ru {};
  getrusage(RUSAGE_CHILDREN, &ru);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(ru.ru_utime) + seconds(ru.ru_stime);
}

double processCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

// Wall and CPU time of one shell command; wall < 0 when it failed. On a
// machine shared with other work the CPU figures are the steadier ones.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

Timing timeCommand(const std::string& command) {
  const double cpu0 = childCpuSeconds();
  auto t0 = std::chrono::steady_clock::now();
  int rc = std::system(command.c_str());
  Timing t;
  t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  t.cpu = childCpuSeconds() - cpu0;
  if (rc != 0) t.wall = -1;
  return t;
}

double ratio(double a, double b) {
  return b > 0 ? a / b : 0;
}

Timing cocinaExport, mdbExport, engineScan, catFile;

void BM_CocinaDbExport(benchmark::State& state) {
  std::string tool = std::string(COCINA_BINARY_DIR) + "/src/tools/cocina-db";
  for (auto _ : state) {
    cocinaExport = timeCommand(tool + " export " + databaseFile() + " COMANDAS > /dev/null");
    if (cocinaExport.wall < 0) state.SkipWithError("cocina-db export failed");
  }
}

void BM_MdbExport(benchmark::State& state) {
  for (auto _ : state) {
    mdbExport = timeCommand("mdb-export " + databaseFile() + " COMANDAS > /dev/null");
    if (mdbExport.wall < 0) state.SkipWithError("mdb-export failed");
  }
  state.counters["mdb_over_cocina"] = ratio(mdbExport.wall, cocinaExport.wall);
  state.counters["mdb_over_cocina_cpu"] = ratio(mdbExport.cpu, cocinaExport.cpu);
  std::printf(
      "export of COMANDAS: cocina-db %.2f s (%.2f s CPU), mdb-export %.2f s (%.2f s CPU): "
      "%.1f times faster (%.1f in CPU)\n",
      cocinaExport.wall, cocinaExport.cpu, mdbExport.wall, mdbExport.cpu,
      ratio(mdbExport.wall, cocinaExport.wall), ratio(mdbExport.cpu, cocinaExport.cpu));
}

void BM_EngineScan(benchmark::State& state) {
  for (auto _ : state) {
    const double cpu0 = processCpuSeconds();
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
    engineScan.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    engineScan.cpu = processCpuSeconds() - cpu0;
    state.counters["rows"] = static_cast<double>(n);
  }
}

void BM_CatFile(benchmark::State& state) {
  for (auto _ : state) catFile = timeCommand("cat " + databaseFile() + " > /dev/null");
  state.counters["scan_over_cat"] = ratio(engineScan.wall, catFile.wall);
  state.counters["scan_over_cat_cpu"] = ratio(engineScan.cpu, catFile.cpu);
  std::printf(
      "scan of COMANDAS: engine %.2f s (%.2f s CPU), cat %.2f s (%.2f s CPU): scan costs %.1f "
      "times the bytes (%.1f in CPU)\n",
      engineScan.wall, engineScan.cpu, catFile.wall, catFile.cpu,
      ratio(engineScan.wall, catFile.wall), ratio(engineScan.cpu, catFile.cpu));
}

BENCHMARK(BM_CocinaDbExport)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MdbExport)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_EngineScan)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_CatFile)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
