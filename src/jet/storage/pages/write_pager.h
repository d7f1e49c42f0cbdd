// The pager of a database opened for writing: the read pager plus dirty
// pages, nested transactions, the rollback journal and the file lock.
//
// Notes on the design:
// - Changes stay in memory (dirty pages) until the outermost commit; readers
//   of this process see them through page(). Other processes see nothing of
//   a transaction until it commits, and never a part of one: the writer holds
//   the exclusive lock from begin to the end of the commit, and readers hold
//   the shared lock for a statement. Every wait for the lock, reader's or
//   writer's, is bounded by lockWait() and fair (lock.h): a busy file is an
//   error the caller may retry, never a hang.
// - Levels: level 0 is the outermost transaction; each nested begin (a
//   user's nested transaction, or the implicit level every write statement
//   opens) pushes a level that remembers the image each page had when the
//   level first changed it, and the page count at its start. Rolling a level
//   back restores those images and cuts pages added since; committing it
//   hands its images to the level below, keeping the older one.
// - The outermost level needs no images in memory: until commit the file
//   holds the original pages; at commit the journal receives them first.
// - Pages added by a transaction grow the file at once (so page counts agree
//   everywhere); the journal, created before the first change, records the
//   original length, and a rollback or a hot-journal recovery cuts it back.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "jet/storage/pages/journal.h"
#include "jet/storage/pages/lock.h"
#include "jet/storage/pages/page_store.h"
#include "jet/storage/pages/pager.h"

namespace jet::storage {

class WritePager : public Pager, public PageStore {
 public:
  // Opens the file (for writing, or for reading only as the file was
  // opened); a hot journal left by a killed writer is rolled back.
  // Waits at most `lockWait` for the lock while opening.
  static Result<std::unique_ptr<WritePager>> open(
      std::unique_ptr<PageFile> file, std::chrono::milliseconds lockWait = FileLock::kDefaultWait);
  ~WritePager() override;

  // How long a statement or a transaction waits for another program's lock
  // before it fails with the busy error (jet::native::kLocked).
  std::chrono::milliseconds lockWait() const { return lockWait_; }
  void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

  // --- Pager ---
  Status beginStatement() override;
  void endStatement() override;
  Result<PageRef> page(uint32_t number) override;

  // --- PageStore ---
  uint32_t pageSize() const override { return Pager::pageSize(); }
  uint32_t pageCount() const override { return Pager::pageCount(); }
  Result<PageRef> read(uint32_t number) override { return page(number); }
  Result<std::span<uint8_t>> change(uint32_t number) override;
  Result<uint32_t> allocate() override;

  // --- transactions ---
  // Opens a level (the first takes the exclusive lock and creates the
  // journal); answers the number of open levels.
  Result<int> begin();
  Status commit();
  Status rollback();
  int depth() const { return static_cast<int>(levels_.size()); }

  // Changes whenever pages changed by this process are undone (any
  // rollback) and when the outermost transaction ends (from then on other
  // processes may write). Whatever a caller learned from the pages inside a
  // transaction stays true while this answers the same number.
  uint64_t transactionEpoch() const { return epoch_; }

 private:
  WritePager(std::unique_ptr<PageFile> file, std::chrono::milliseconds lockWait);
  // Holding the exclusive lock: rolls back a journal left by a killed writer.
  Status recoverIfHot();
  // Holding the shared lock, before a statement reads: a journal left by a
  // killed writer is rolled back (the lock taken whole for the moment) or,
  // where the file can't be written, its original pages are read instead.
  Status recoverBeforeReading();
  Status writeOut();
  void discardAll();

  struct Level {
    uint32_t pageCountAtStart = 0;
    std::unordered_map<uint32_t, std::shared_ptr<PageBuffer>> before;
  };
  FileLock lock_;
  std::chrono::milliseconds lockWait_;
  Journal journal_;
  std::vector<Level> levels_;
  std::unordered_map<uint32_t, std::shared_ptr<PageBuffer>> dirty_;
  uint32_t originalPageCount_ = 0;
  int readers_ = 0;
  uint64_t epoch_ = 0;
};

}  // namespace jet::storage
