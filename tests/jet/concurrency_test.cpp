// Shared use: two processes write and one reads the same file at once (as
// the point of sale and two boards do); the reader never sees a row torn
// or a writer's rows out of order, and at the end no row is lost.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>

#include "jet/database.h"
#include "jet/storage/file_database.h"
#include "jet/storage/integrity_check.h"
#include "support/mdb_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;

constexpr int kRowsPerWriter = 120;

std::string textFor(int writer, int n) {
  std::string s = "escritor " + std::to_string(writer) + " fila " + std::to_string(n) + " ";
  while (s.size() < 90) s += static_cast<char>('a' + (writer * 7 + n) % 26);
  return s;
}

[[noreturn]] void writer(const std::string& path, int w) {
  auto db = Database::open(path);
  if (!db) _exit(3);
  for (int n = 0; n < kRowsPerWriter; ++n) {
    auto r = (*db)->insertRow(
        "Filas", {Value::longValue(w), Value::longValue(n), Value::text(textFor(w, n))});
    if (!r) _exit(4);
  }
  _exit(0);
}

// Scans until it has seen every row; each scan must show, per writer, rows
// 0..m-1 whole.
[[noreturn]] void reader(const std::string& path) {
  auto db = Database::open(path);
  if (!db) _exit(3);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    auto cursor = (*db)->scan("Filas", {0, 1, 2});
    if (!cursor) _exit(4);
    std::map<int, std::vector<int>> seen;
    while (true) {
      auto more = (*cursor)->next();
      if (!more) _exit(5);
      if (!*more) break;
      const auto& v = (*cursor)->values();
      int w = v[0].asLong(), n = v[1].asLong();
      if (!v[2].isText() || v[2].asText() != textFor(w, n)) _exit(6);  // torn
      seen[w].push_back(n);
    }
    int total = 0;
    for (auto& [w, ns] : seen) {
      for (size_t i = 0; i < ns.size(); ++i) {
        if (ns[i] != static_cast<int>(i)) _exit(7);  // a gap: a row lost or seen early
      }
      total += static_cast<int>(ns.size());
    }
    if (total == 2 * kRowsPerWriter) _exit(0);
  }
  _exit(8);
}

TEST(ConcurrencyTest, TwoWritersAndAReaderShareOneFile) {
  cocina::test::TempDir dir;
  std::string path = dir.file("compartida.accdb");
  {
    auto db = Database::create(path, FileFormat::Ace12);
    ASSERT_TRUE(db) << db.error().description;
    TableSchema t;
    t.name = "Filas";
    t.columns = {ColumnDef{"escritor", ColumnType::Long}, ColumnDef{"n", ColumnType::Long},
                 ColumnDef{"texto", ColumnType::Text, 200}};
    IndexDef ix;
    ix.name = "escritor";
    ix.columns = {IndexColumn{0, true}, IndexColumn{1, true}};
    t.indexes = {ix};
    ASSERT_TRUE((*db)->createTable(t));
  }
  pid_t pids[3];
  for (int w = 0; w < 2; ++w) {
    pids[w] = fork();
    if (pids[w] == 0) writer(path, w + 1);
  }
  pids[2] = fork();
  if (pids[2] == 0) reader(path);
  const char* who[] = {"writer 1", "writer 2", "reader"};
  for (int i = 0; i < 3; ++i) {
    int status = 0;
    waitpid(pids[i], &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << who[i] << " failed with code " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  auto db = storage::FileDatabase::open(path, OpenOptions{});
  ASSERT_TRUE(db);
  auto report = storage::write::checkDatabase(**db);
  ASSERT_TRUE(report);
  EXPECT_TRUE(report->sound());
  for (const auto& p : report->problems) ADD_FAILURE() << p;
  db->reset();
  if (!cocina::test::requireMdbTools()) return;
  auto csv = cocina::test::mdbExport(path, "Filas");
  ASSERT_TRUE(csv);
  EXPECT_EQ(csv->size(), 1u + 2 * kRowsPerWriter);
}

}  // namespace
