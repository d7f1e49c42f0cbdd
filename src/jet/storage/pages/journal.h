// The rollback journal: the file beside the database ("<file>-journal")
// that makes a transaction all or nothing when the process is killed.
//
// Notes on the design:
// - A transaction creates the journal before it changes the file at all
//   (growing it included), with the database's page count at the start.
// - At commit, the original image of every existing page about to be
//   overwritten is appended (page number, checksum, bytes) and the journal
//   is synced before the first page of the database is written.
// - The database is then written and synced, and the journal deleted:
//   deleting it is the commit point.
// - A journal found with no live writer holding the lock is hot: rolling it
//   back writes the original images back, cuts the file to its original
//   length, syncs, and deletes the journal. Records whose checksum fails
//   (a write cut short by the crash) were never followed by a database
//   write, so they are skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "jet/status.h"

namespace jet::storage {

std::string journalPathFor(const std::string& databasePath);
bool journalExists(const std::string& databasePath);

class Journal {
 public:
  Journal() = default;
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // Creates the journal for a transaction starting on a file of
  // `pageCount` pages, synced before this returns.
  Status create(const std::string& databasePath, uint32_t pageSize, uint32_t pageCount);
  bool isOpen() const { return fd_ >= 0; }
  // Appends the original image of a page.
  Status append(uint32_t page, std::span<const uint8_t> bytes);
  Status sync();
  // Deletes the journal: the commit point.
  Status remove();

 private:
  std::string path_;
  int fd_ = -1;
  uint32_t pageSize_ = 0;
};

// Rolls a hot journal back into the database open at `databaseFd`. The
// caller holds the exclusive lock. Does nothing when there is no journal.
Status rollbackHotJournal(const std::string& databasePath, int databaseFd);

// What rolling a hot journal back would restore: the file's page count
// before the interrupted transaction and the original image of each page
// it overwrote.
struct JournaledPages {
  uint32_t pageCount = 0;
  std::unordered_map<uint32_t, std::vector<uint8_t>> images;
};

// Reads a hot journal without changing anything, for a reader that may not
// write the file. The caller holds at least the shared lock. Empty when
// there is no journal or it protects nothing (its header never reached the
// disk).
Result<std::optional<JournaledPages>> readHotJournal(const std::string& databasePath);

}  // namespace jet::storage
