// A writer killed in the middle of its commit blocks no reader: a child
// process takes the write lock, journals the original pages, writes the new
// ones and is killed before it deletes the journal. Every read-only way in
// (Database::open with readOnly, and cocina-db export, tables, schema and
// sql SELECT) then reads the file as it was before the killed transaction:
// rolling the journal back where the file may be written, reading the
// journal's original pages where it may not.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "jet/database.h"
#include "jet/storage/pages/journal.h"
#include "jet/storage/pages/lock.h"
#include "support/command.h"
#include "support/csv.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;
using cocina::test::readFile;

constexpr uint32_t kPageSize = 4096;  // Jet 4
constexpr int kRowsBefore = 3;

TableSchema lotes() {
  TableSchema t;
  t.name = "Lotes";
  t.columns = {ColumnDef{"lote", ColumnType::Long},
               ColumnDef{"texto", ColumnType::Text, 200}};  // 100 characters
  IndexDef ix;
  ix.name = "lote";
  ix.columns = {IndexColumn{0, true}};
  t.indexes = {ix};
  return t;
}

Status insertLote(Database& db, int lote, const std::string& texto) {
  auto r = db.insertRow("Lotes", {Value::longValue(lote), Value::text(texto)});
  return r ? Status::ok() : r.status();
}

// The lots a reader sees: lote -> texto.
std::map<int32_t, std::string> readLotes(Database& db) {
  std::map<int32_t, std::string> out;
  auto cursor = db.scan("Lotes", {0, 1});
  if (!cursor) {
    ADD_FAILURE() << cursor.error().description;
    return out;
  }
  while (true) {
    auto more = (*cursor)->next();
    if (!more) {
      ADD_FAILURE() << more.error().description;
      break;
    }
    if (!*more) break;
    out[(*cursor)->values()[0].asLong()] = (*cursor)->values()[1].asText();
  }
  return out;
}

// The child: commits as the engine does (lock taken whole, journal of the
// original pages synced, new pages written) and stops before the commit
// point, deleting the journal, until it is killed.
[[noreturn]] void commitUntilKilled(const std::string& path, const std::string& before,
                                    const std::string& after, int ready) {
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) _exit(3);
  storage::FileLock lock(fd);
  if (!lock.lockExclusive()) _exit(4);
  const uint32_t pagesBefore = static_cast<uint32_t>(before.size() / kPageSize);
  storage::Journal journal;
  if (!journal.create(path, kPageSize, pagesBefore)) _exit(5);
  auto bytes = [](const std::string& s, uint32_t n) {
    return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()) + n * kPageSize,
                                    kPageSize);
  };
  for (uint32_t n = 0; n < pagesBefore; ++n) {
    if (before.compare(n * kPageSize, kPageSize, after, n * kPageSize, kPageSize) == 0) continue;
    if (!journal.append(n, bytes(before, n))) _exit(6);
  }
  if (!journal.sync()) _exit(7);
  if (pwrite(fd, after.data(), after.size(), 0) != static_cast<ssize_t>(after.size())) _exit(8);
  if (fdatasync(fd) != 0) _exit(9);
  const char done = 1;
  if (write(ready, &done, 1) != 1) _exit(10);
  while (true) pause();
}

class KilledWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    // The file before the transaction, and after it: more lots (new pages)
    // and the first one rewritten (an existing page overwritten).
    std::string path = dir_.file("antes.mdb");
    {
      auto db = Database::create(path, FileFormat::Jet4);
      ASSERT_TRUE(db) << db.error().description;
      ASSERT_TRUE((*db)->createTable(lotes()));
      for (int i = 1; i <= kRowsBefore; ++i) ASSERT_TRUE(insertLote(**db, i, "antes"));
    }
    before_ = readFile(path);
    std::string next = dir_.copy(path, "despues.mdb");
    {
      auto db = Database::open(next);
      ASSERT_TRUE(db) << db.error().description;
      ASSERT_TRUE((*db)->begin());
      for (int i = kRowsBefore + 1; i <= 400; ++i)
        ASSERT_TRUE(insertLote(**db, i, std::string(90, 'd')));
      RowId first{};
      {
        auto cursor = (*db)->seek("Lotes", {IndexLookup{{0}, {Value::longValue(1)}}}, {});
        ASSERT_TRUE(cursor) << cursor.error().description;
        auto found = (*cursor)->next();
        ASSERT_TRUE(found && *found);
        first = (*cursor)->rowId();
      }
      ASSERT_TRUE((*db)->updateRow("Lotes", first, {{1, Value::text("despues")}}));
      ASSERT_TRUE((*db)->commit());
    }
    after_ = readFile(next);
    ASSERT_GT(after_.size(), before_.size());
    ASSERT_NE(after_.compare(0, before_.size(), before_), 0) << "no page was overwritten";
  }

  // A copy of the file before the transaction, with the killed writer's
  // hot journal beside it.
  std::string killedMidCommit(const std::string& name) {
    std::string path = dir_.write(name, before_);
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    pid_t child = fork();
    if (child == 0) {
      close(ends[0]);
      commitUntilKilled(path, before_, after_, ends[1]);
    }
    close(ends[1]);
    char done = 0;
    EXPECT_EQ(read(ends[0], &done, 1), 1) << "the writer did not get to write";
    close(ends[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
    EXPECT_TRUE(storage::journalExists(path));
    EXPECT_EQ(readFile(path), after_);
    return path;
  }

  void expectLotesBefore(Database& db) {
    auto seen = readLotes(db);
    ASSERT_EQ(seen.size(), static_cast<size_t>(kRowsBefore));
    for (const auto& [lote, texto] : seen) EXPECT_EQ(texto, "antes") << "lote " << lote;
  }

  cocina::test::TempDir dir_;
  std::string before_, after_;
};

TEST_F(KilledWriter, ReadOnlyOpenRollsTheJournalBackWhereTheFileMayBeWritten) {
  std::string path = killedMidCommit("cocina.mdb");
  {
    auto db = Database::open(path, OpenOptions{.readOnly = true});
    ASSERT_TRUE(db) << db.error().description;
    expectLotesBefore(**db);
  }
  EXPECT_FALSE(storage::journalExists(path));
  EXPECT_EQ(readFile(path), before_);
}

TEST_F(KilledWriter, CocinaDbReadsTheFileAsBeforeTheKilledTransaction) {
  if (!std::filesystem::exists(cocina::test::cocinaDbPath()))
    GTEST_SKIP() << "cocina-db is not built";
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), cocina::test::cocinaDbPath());
    return cocina::test::runCommand(args);
  };
  {
    auto r = run({"export", killedMidCommit("export.mdb"), "Lotes"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto csv = cocina::test::parseCsv(r.out);
    ASSERT_TRUE(csv);
    EXPECT_EQ(csv->size(), static_cast<size_t>(kRowsBefore) + 1);
  }
  {
    auto r = run({"tables", killedMidCommit("tables.mdb")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Lotes\n");
    EXPECT_EQ(r.err, "");
  }
  {
    auto r = run({"schema", killedMidCommit("schema.mdb"), "Lotes"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("texto"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
  }
  {
    std::string path = killedMidCommit("sql.mdb");
    auto r = run({"sql", path, "SELECT COUNT(*) AS n FROM Lotes WHERE texto = 'antes'"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "n\r\n3\r\n");
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(storage::journalExists(path));
    EXPECT_EQ(readFile(path), before_);
  }
}

// Run in a child that can't write the file (as nobody when the test runs
// as root); the exit status says which check failed.
int readWithoutWriting(const std::string& path) {
  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 20;
  int probe = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (probe >= 0) return 21;  // still writable: nothing to check here
  for (int statement = 0; statement < 2; ++statement) {
    auto db = Database::open(path, OpenOptions{.readOnly = true});
    if (!db) return 22;
    auto names = (*db)->tableNames();
    if (!names || *names != std::vector<std::string>{"Lotes"}) return 23;
    auto seen = readLotes(**db);
    if (seen.size() != static_cast<size_t>(kRowsBefore)) return 24;
    for (const auto& [lote, texto] : seen) {
      if (texto != "antes") return 25;
    }
  }
  return 0;
}

TEST_F(KilledWriter, AReaderThatMayNotWriteReadsTheJournalsOriginalPages) {
  std::string path = killedMidCommit("cocina.mdb");
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  pid_t child = fork();
  if (child == 0) _exit(readWithoutWriting(path));
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 21) GTEST_SKIP() << "the file stays writable for this user";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the reader failed its check " << WEXITSTATUS(status);
  // Nothing was written: the journal still protects the file, and the next
  // writer's open rolls it back.
  EXPECT_TRUE(storage::journalExists(path));
  EXPECT_EQ(readFile(path), after_);
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  auto db = Database::open(path);
  ASSERT_TRUE(db) << db.error().description;
  expectLotesBefore(**db);
  EXPECT_FALSE(storage::journalExists(path));
}

}  // namespace
