// Taking turns on the file lock: a program that waits gets the lock after
// the statement that held it, however busy the writer is (a point of sale
// adding lines without a pause); readers share; a busy file is an error with
// the engine's "locked" number after the wait, never a hang; a waiter that
// is killed leaves nothing behind that others would wait for.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "jet/database.h"
#include "jet/error_codes.h"
#include "jet/sql/session.h"
#include "jet/storage/pages/lock.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string newFile(cocina::test::TempDir& dir) {
  std::string path = dir.file("turnos.mdb");
  auto db = Database::create(path, FileFormat::Jet4);
  EXPECT_TRUE(db) << db.error().description;
  TableSchema t;
  t.name = "Filas";
  t.columns = {ColumnDef{"n", ColumnType::Long}, ColumnDef{"texto", ColumnType::Text, 100}};
  EXPECT_TRUE((*db)->createTable(t));
  return path;
}

// A child process that writes statements without a pause, as
// `cocina-db pos --every 0` does, counting in shared memory the statements
// it has committed. Stopped with SIGTERM.
class BusyWriter {
 public:
  explicit BusyWriter(const std::string& path) {
    void* shared = mmap(nullptr, sizeof(std::atomic<int64_t>), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    committed_ = new (shared) std::atomic<int64_t>(0);
    pid_ = fork();
    if (pid_ == 0) {
      auto db = Database::open(path);
      if (!db) _exit(3);
      for (int n = 0;; ++n) {
        auto r = (*db)->insertRow("Filas", {Value::longValue(n), Value::text("linea")});
        if (!r) _exit(4);
        committed_->fetch_add(1);
      }
    }
  }
  ~BusyWriter() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    munmap(committed_, sizeof(std::atomic<int64_t>));
  }
  int64_t committed() const { return committed_->load(); }
  // Waits until the writer has committed `n` statements.
  bool running(int64_t n) const {
    auto deadline = Clock::now() + 20s;
    while (committed() < n && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    return committed() >= n;
  }

 private:
  pid_t pid_ = -1;
  std::atomic<int64_t>* committed_ = nullptr;
};

// A file, a writer that never pauses on it, and this test's own opening of
// it, which waits its turn up to 10 s.
class UnderABusyWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    path = newFile(dir);
    writer = std::make_unique<BusyWriter>(path);
    ASSERT_TRUE(writer->running(20));
    auto opened = Database::open(path, OpenOptions{.lockWait = 10s});
    ASSERT_TRUE(opened) << opened.error().description;
    db = std::move(opened.value());
  }
  cocina::test::TempDir dir;
  std::string path;
  std::unique_ptr<BusyWriter> writer;
  std::unique_ptr<Database> db;
};

TEST_F(UnderABusyWriter, AReaderGetsItsTurnAfterTheWritersStatement) {
  int64_t longest = 0;
  for (int read = 0; read < 30; ++read) {
    int64_t before = writer->committed();
    auto cursor = db->scan("Filas", {0});
    ASSERT_TRUE(cursor) << "read " << read << ": " << cursor.error().description;
    // The writer's statements committed while this read waited for its turn:
    // the one holding the lock when the read asked, and at most one that
    // began in the instant before the read drew its ticket.
    longest = std::max(longest, writer->committed() - before);
    ASSERT_TRUE((*cursor)->next());
  }
  EXPECT_LE(longest, 3) << "a read waited through " << longest << " of the writer's statements";
}

TEST_F(UnderABusyWriter, ASelectWaitsForItsTurnOnceForTheWholeStatement) {
  ASSERT_TRUE(writer->running(60));
  sql::Session session(*db);
  // The filter needs fewer columns than the select: the rows that pass are
  // read again one by one, each a call of its own on the file.
  const char* select = "SELECT n, texto FROM Filas WHERE n < 50";
  int64_t longest = 0;
  for (int read = 0; read < 10; ++read) {
    int64_t before = writer->committed();
    auto result = session.execute(select);
    ASSERT_TRUE(result) << result.error().description;
    EXPECT_EQ(result->rows.size(), 50u);
    longest = std::max(longest, writer->committed() - before);
  }
  EXPECT_LE(longest, 3) << "a select waited through " << longest << " of the writer's statements";
}

TEST_F(UnderABusyWriter, AnotherWriterGetsItsTurnBetweenItsStatements) {
  for (int n = 0; n < 10; ++n) {
    int64_t before = writer->committed();
    auto r = db->insertRow("Filas", {Value::longValue(-n), Value::text("tablero")});
    ASSERT_TRUE(r) << r.error().description;
    EXPECT_LE(writer->committed() - before, 3);
  }
}

TEST(LockTurns, ReadersShareAndABusyFileFailsWithTheLockedNumberAfterTheWait) {
  cocina::test::TempDir dir;
  std::string path = newFile(dir);
  auto first = Database::open(path);
  auto second = Database::open(path, OpenOptions{.lockWait = 0ms});
  ASSERT_TRUE(first && second);
  ASSERT_TRUE((*first)->beginRead());
  // Another reader comes in at once, with no wait at all.
  EXPECT_TRUE((*second)->beginRead());
  (*second)->endRead();
  // A writer can't while a read is held; it gives up after its wait.
  (*second)->setLockWait(200ms);
  auto asked = Clock::now();
  auto written = (*second)->insertRow("Filas", {Value::longValue(1), Value::text("x")});
  auto waited = Clock::now() - asked;
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().number, errc::kUnspecified);
  EXPECT_EQ(written.error().native, native::kLocked);
  EXPECT_GE(waited, 200ms);
  EXPECT_LT(waited, 5s);  // the fault this guards against waited 30 s
  (*first)->endRead();
  EXPECT_TRUE((*second)->insertRow("Filas", {Value::longValue(1), Value::text("x")}));
  // The failed statement wrote nothing: one row, the one written after.
  auto cursor = (*first)->scan("Filas", {0});
  ASSERT_TRUE(cursor);
  int rows = 0;
  while (*(*cursor)->next()) ++rows;
  EXPECT_EQ(rows, 1);
}

TEST(LockTurns, AKilledWaiterLeavesNoTurnBehind) {
  cocina::test::TempDir dir;
  std::string path = newFile(dir);
  auto holder = Database::open(path);
  ASSERT_TRUE(holder);
  ASSERT_TRUE((*holder)->begin());  // the write lock, held
  pid_t waiter = fork();
  if (waiter == 0) {
    auto db = Database::open(path, OpenOptions{.lockWait = 60s});
    _exit(db ? 0 : 3);  // waits in turn for the open's read
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  storage::FileLock probe(fd);
  auto deadline = Clock::now() + 10s;
  bool waiting = false;
  while (!waiting && Clock::now() < deadline) {
    auto w = probe.othersWaiting();
    ASSERT_TRUE(w);
    waiting = *w;
    if (!waiting) std::this_thread::sleep_for(1ms);
  }
  ASSERT_TRUE(waiting) << "the child never waited for its turn";
  kill(waiter, SIGKILL);
  waitpid(waiter, nullptr, 0);
  EXPECT_FALSE(*probe.othersWaiting());
  ASSERT_TRUE((*holder)->rollback());
  // Nobody waits, so the lock is had at once, without a wait.
  EXPECT_TRUE(probe.lockShared(0ms));
  probe.unlock();
  ::close(fd);
}

}  // namespace
