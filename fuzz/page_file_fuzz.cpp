// Fuzzes everything above the page file with whole files: the input is
// written as a database file and read the way the tools read it (header,
// catalog, every definition, every row). Nothing may crash, hang or
// allocate without bound, whatever the file holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "jet/database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      "/tmp/cocina-page-file-fuzz-" + std::to_string(::getpid()) + ".mdb";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  auto db = jet::Database::open(path, {.readOnly = true});
  if (!db) return 0;
  auto names = (*db)->tableNames(true);
  if (!names) return 0;
  for (const auto& name : *names) {
    auto schema = (*db)->table(name);
    if (!schema) continue;
    std::vector<int> all(schema->columns.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    auto cursor = (*db)->scan(name, all);
    if (!cursor) continue;
    for (int rows = 0; rows < 100000; ++rows) {
      auto more = (*cursor)->next();
      if (!more || !*more) break;
    }
  }
  return 0;
}
