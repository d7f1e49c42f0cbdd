// The pager: every page the engine reads goes through here.
//
// It owns the PageFile and the file's header, keeps a small bounded cache
// of pages read during the current statement, and hands pages out as
// shared, immutable buffers (a PageRef stays valid while held, even after
// the cache drops it).
//
// Notes on the design:
// - The point of sale writes the file at any moment. beginStatement() drops
//   every cached page, re-reads the file length and the header page, and
//   checks the header still describes the same kind of file; nothing read in
//   an earlier statement is used again without being read anew.
// - The cache is bounded (kCachePages), so a scan of a large table holds a
//   fixed amount of memory.
// - This is the one place a page cache with dirty pages, the journal and the
//   file locks of the write side attach to: they override or extend page()
//   and beginStatement(), and every reader above keeps working unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "jet/storage/pages/database_header.h"
#include "jet/storage/pages/page_file.h"

namespace jet::storage {

using PageBuffer = std::vector<uint8_t>;
using PageRef = std::shared_ptr<const PageBuffer>;

class Pager {
 public:
  static constexpr size_t kCachePages = 256;

  // Takes the file; reads and checks the header (refusing a file with a
  // password or an encrypted one).
  static Result<std::unique_ptr<Pager>> open(std::unique_ptr<PageFile> file);
  virtual ~Pager() = default;

  FileFormat format() const { return file_->format(); }
  uint32_t pageSize() const { return file_->pageSize(); }
  uint32_t pageCount() const { return file_->pageCount(); }
  const DatabaseHeader& header() const { return header_; }
  PageFile& file() { return *file_; }

  // Starts a statement: forgets cached pages, re-reads length and header.
  virtual Status beginStatement();
  // Ends what beginStatement() started (the write side releases its read
  // lock here). Every beginStatement() is paired with one endStatement().
  virtual void endStatement() {}
  // Page `number`, read whole and bounds-checked.
  virtual Result<PageRef> page(uint32_t number);
  // Counts statements begun; a cursor made in an earlier one can tell.
  uint64_t statementNumber() const { return statement_; }

 protected:
  explicit Pager(std::unique_ptr<PageFile> file) : file_(std::move(file)) {}
  void dropCache() { cache_.clear(); }

 private:
  std::unique_ptr<PageFile> file_;
  DatabaseHeader header_;
  std::unordered_map<uint32_t, PageRef> cache_;
  uint64_t statement_ = 0;
};

// Ends the pager's current statement when it goes out of scope.
struct StatementEnd {
  Pager& pager;
  ~StatementEnd() { pager.endStatement(); }
};

// The statement a cursor ends when it is done, if it was made to: after
// hold(), the first release() ends the pager's statement; later ones, and
// any without hold(), do nothing.
class StatementHold {
 public:
  explicit StatementHold(Pager& pager) : pager_(&pager) {}
  void hold() { held_ = true; }
  void release() {
    if (!held_) return;
    held_ = false;
    pager_->endStatement();
  }

 private:
  Pager* pager_;
  bool held_ = false;
};

}  // namespace jet::storage
