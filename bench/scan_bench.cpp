// The table scan against reading the same file's bytes in the same run: the
// ratio says what the engine costs over the disk reads it cannot avoid.
//
// The file is COCINA_BENCH_FILE when set (a million-line demo database,
// say), otherwise the largest Access-made fixture. BM_ReadFileBytes reads
// every page with pread; BM_ScanAllTables opens the database and scans
// every user table with every column decoded, and reports "x_read", its
// time per pass over the read's; BM_CatFile runs `cat FILE > /dev/null`
// and prints the scan's ratio to it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "jet/database.h"

namespace {

std::string largestFixture() {
  std::string best;
  std::uintmax_t size = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(COCINA_FIXTURES_DIR, ec)) {
    const auto ext = e.path().extension();
    if ((ext == ".mdb" || ext == ".accdb") && e.file_size() > size) {
      size = e.file_size();
      best = e.path().string();
    }
  }
  return best;
}

const std::string& fixture() {
  static const std::string f = [] {
    const char* file = std::getenv("COCINA_BENCH_FILE");
    return file ? std::string(file) : largestFixture();
  }();
  return f;
}

double gReadSecondsPerPass = 0;
double gScanSecondsPerPass = 0;

size_t readAllPages(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return 0;
  std::vector<uint8_t> page(4096);
  size_t total = 0;
  for (off_t at = 0;; at += static_cast<off_t>(page.size())) {
    ssize_t n = ::pread(fd, page.data(), page.size(), at);
    if (n <= 0) break;
    total += static_cast<size_t>(n) + page[0];
  }
  ::close(fd);
  return total;
}

size_t scanAllTables(const std::string& path) {
  auto db = jet::Database::open(path, {.readOnly = true});
  if (!db) return 0;
  auto names = (*db)->tableNames(false);
  if (!names) return 0;
  size_t values = 0;
  for (const auto& name : *names) {
    auto schema = (*db)->table(name);
    if (!schema) continue;
    std::vector<int> all(schema->columns.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    auto cursor = (*db)->scan(name, all);
    if (!cursor) continue;
    while (true) {
      auto more = (*cursor)->next();
      if (!more || !*more) break;
      values += (*cursor)->values().size();
    }
  }
  return values;
}

void BM_ReadFileBytes(benchmark::State& state) {
  if (fixture().empty()) {
    state.SkipWithError("no Access fixtures");
    return;
  }
  auto start = std::chrono::steady_clock::now();
  int64_t passes = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(readAllPages(fixture()));
    ++passes;
  }
  gReadSecondsPerPass =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(passes);
  state.SetBytesProcessed(passes * static_cast<int64_t>(std::filesystem::file_size(fixture())));
  state.SetLabel(std::filesystem::path(fixture()).filename().string());
}
BENCHMARK(BM_ReadFileBytes);

void BM_ScanAllTables(benchmark::State& state) {
  if (fixture().empty()) {
    state.SkipWithError("no Access fixtures");
    return;
  }
  auto start = std::chrono::steady_clock::now();
  int64_t passes = 0;
  size_t values = 0;
  for (auto _ : state) {
    values = scanAllTables(fixture());
    benchmark::DoNotOptimize(values);
    ++passes;
  }
  const double perPass =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(passes);
  state.SetBytesProcessed(passes * static_cast<int64_t>(std::filesystem::file_size(fixture())));
  state.counters["values"] = static_cast<double>(values);
  if (gReadSecondsPerPass > 0) state.counters["x_read"] = perPass / gReadSecondsPerPass;
  state.SetLabel(std::filesystem::path(fixture()).filename().string());
  gScanSecondsPerPass = perPass;
}
BENCHMARK(BM_ScanAllTables);

void BM_CatFile(benchmark::State& state) {
  if (fixture().empty()) {
    state.SkipWithError("no Access fixtures");
    return;
  }
  const std::string command = "cat '" + fixture() + "' > /dev/null";
  auto start = std::chrono::steady_clock::now();
  int64_t passes = 0;
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("cat failed");
    ++passes;
  }
  const double perPass =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(passes);
  state.counters["scan_over_cat"] = perPass > 0 ? gScanSecondsPerPass / perPass : 0;
  std::printf("scan of %s: engine %.4f s, cat %.4f s: scan costs %.1f times the bytes\n",
              std::filesystem::path(fixture()).filename().c_str(), gScanSecondsPerPass, perPass,
              perPass > 0 ? gScanSecondsPerPass / perPass : 0);
}
// A fixed count, so the ratio is printed once (for a small file the cost of
// starting cat outweighs its reads; the ratio means most on a large file).
BENCHMARK(BM_CatFile)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
