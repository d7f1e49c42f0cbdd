// What the write side needs from the pages under it: read a page, change a
// page (copy-on-write into the current transaction), and add a page at the
// end of the file. The transactional pager implements it for real files and
// the new-file builder for a database still in memory.
#pragma once

#include <cstdint>
#include <span>

#include "jet/status.h"
#include "jet/storage/pages/pager.h"

namespace jet::storage {

class PageStore {
 public:
  virtual ~PageStore() = default;
  virtual uint32_t pageSize() const = 0;
  virtual uint32_t pageCount() const = 0;
  // The page as the current transaction sees it.
  virtual Result<PageRef> read(uint32_t page) = 0;
  // The page's bytes to change in place; valid until the next call on the store.
  virtual Result<std::span<uint8_t>> change(uint32_t page) = 0;
  // A new zero-filled page at the end; answers its number.
  virtual Result<uint32_t> allocate() = 0;
  // Whether release() takes pages back; a store that keeps no free pages
  // leaves its callers to do without freeing any.
  virtual bool releases() const { return false; }
  // Takes back a page its caller no longer uses (only when releases()).
  virtual Status release(uint32_t) { return Status::ok(); }
};

}  // namespace jet::storage
