// A writer killed at any moment leaves a file that opens with every
// transaction wholly there or wholly absent: a child process writes batches
// of rows (inserts, an update and an index change per transaction) and is
// killed with SIGKILL at random moments; after each kill the file is opened
// (rolling back the journal), checked, and read by mdb-export.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <random>

#include "jet/database.h"
#include "jet/storage/file_database.h"
#include "jet/storage/integrity_check.h"
#include "jet/storage/pages/journal.h"
#include "support/fixtures.h"
#include "support/mdb_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;

constexpr int kBatch = 7;

TableSchema lotes(bool jet3) {
  TableSchema t;
  t.name = "Lotes";
  ColumnDef lote{"lote", ColumnType::Long};
  ColumnDef orden{"orden", ColumnType::Long};
  // 100 characters: sizes are the file's bytes, one per character in Access 97.
  ColumnDef texto{"texto", ColumnType::Text, static_cast<uint16_t>(jet3 ? 100 : 200)};
  ColumnDef nota{"nota", ColumnType::Memo};
  t.columns = {lote, orden, texto, nota};
  IndexDef ix;
  ix.name = "lote";
  ix.columns = {IndexColumn{0, true}, IndexColumn{1, true}};
  t.indexes = {ix};
  return t;
}

// The child: batch after batch, each one transaction, until killed; after
// each commit it writes one byte to `committed`.
[[noreturn]] void writeForever(const std::string& path, int firstBatch, int committed) {
  auto db = Database::open(path);
  if (!db) _exit(3);
  for (int lote = firstBatch;; ++lote) {
    if (!(*db)->begin()) _exit(4);
    RowId first{};
    for (int k = 0; k < kBatch; ++k) {
      auto r = (*db)->insertRow("Lotes", {Value::longValue(lote), Value::longValue(k),
                                          Value::text("lote " + std::to_string(lote)),
                                          Value::text(std::string(k == 3 ? 5000 : 10, 'n'))});
      if (!r) _exit(5);
      if (k == 0) first = *r;
    }
    // The batch's first row is rewritten longer, so rows move inside it.
    if (!(*db)->updateRow(
            "Lotes", first,
            {{2, Value::text("lote " + std::to_string(lote) + " revisado y algo más largo")}})) {
      _exit(6);
    }
    if (!(*db)->commit()) _exit(7);
    const char done = 1;
    if (write(committed, &done, 1) != 1) _exit(8);
  }
}

// Waits up to a minute for the child's first commit; false when none came.
bool waitForCommit(int committed) {
  pollfd p{committed, POLLIN, 0};
  char done;
  return poll(&p, 1, 60000) == 1 && read(committed, &done, 1) == 1;
}

// A new Jet 4 file, and a copy of a file Access 97 made.
class CrashTest : public ::testing::TestWithParam<bool> {};

TEST_P(CrashTest, EveryTransactionIsWhollyThereOrWhollyAbsentAfterAKill) {
  if (!cocina::test::requireMdbTools()) return;
  const bool jet3 = GetParam();
  if (jet3 && !cocina::test::requireFixtures()) return;
  cocina::test::TempDir dir;
  std::string path = jet3 ? dir.copy(cocina::test::fixturePath("testV1997.mdb"), "caidas.mdb")
                          : dir.file("caidas.mdb");
  {
    auto db = jet3 ? Database::open(path) : Database::create(path, FileFormat::Jet4);
    ASSERT_TRUE(db) << db.error().description;
    ASSERT_TRUE((*db)->createTable(lotes(jet3)));
  }
  std::mt19937 rng(20261208);
  int nextBatch = 1, recovered = 0;
  for (int round = 0; round < 14; ++round) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeEnds[0]);
      writeForever(path, nextBatch, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    // Every other round the kill waits for a commit first, so the writer
    // gets on however slow the machine (a sanitizer build, a busy CI); the
    // other rounds kill at any moment, opening the file included.
    if (round % 2 == 1) {
      EXPECT_TRUE(waitForCommit(pipeEnds[0])) << "round " << round << ": no commit in a minute";
    }
    usleep(2000 + rng() % 60000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeEnds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
    recovered += storage::journalExists(path);
    // Opening rolls back what the killed writer left half done.
    auto db = storage::FileDatabase::open(path, OpenOptions{});
    ASSERT_TRUE(db) << db.error().description;
    EXPECT_FALSE(storage::journalExists(path));
    std::map<int32_t, int> perBatch;
    auto cursor = (*db)->scan("Lotes", {0, 1, 2});
    ASSERT_TRUE(cursor);
    while (true) {
      auto more = (*cursor)->next();
      ASSERT_TRUE(more) << more.error().description;
      if (!*more) break;
      ++perBatch[(*cursor)->values()[0].asLong()];
    }
    cursor->reset();
    int rows = 0;
    for (const auto& [lote, n] : perBatch) {
      EXPECT_EQ(n, kBatch) << "batch " << lote << " is partly there after round " << round;
      rows += n;
      nextBatch = std::max(nextBatch, lote + 1);
    }
    auto report = storage::write::checkDatabase(**db);
    ASSERT_TRUE(report);
    for (const auto& p : report->problems) ADD_FAILURE() << "round " << round << ": " << p;
    db->reset();
    auto csv = cocina::test::mdbExport(path, "Lotes");
    ASSERT_TRUE(csv);
    EXPECT_EQ(static_cast<int>(csv->size()) - 1, rows);
  }
  EXPECT_GT(nextBatch, 3) << "the writer never committed: the kills came too early";
  RecordProperty("hot_journals_rolled_back", recovered);
}

INSTANTIATE_TEST_SUITE_P(NewJet4AndAccess97Copy, CrashTest, ::testing::Values(false, true));

}  // namespace
