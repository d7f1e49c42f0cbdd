// A table's page usage map: the set of pages that hold its rows.
//
// The map is a row on some page. Type 0 holds a bitmap inline, after the
// number of the first page it covers; type 1 lists bitmap pages, each
// covering a fixed run of page numbers. UsageMapPages walks the set lazily,
// in ascending page order, reading one bitmap page at a time, so walking a
// large table costs no memory beyond one page.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/storage/pages/bytes.h"
#include "jet/storage/pages/pager.h"

namespace jet::storage {

class UsageMapPages {
 public:
  // Reads the map row `where`.
  static Result<UsageMapPages> load(Pager& pager, RowPointer where);

  // The next page in the map; nullopt after the last.
  Result<std::optional<uint32_t>> next(Pager& pager);

 private:
  uint8_t type_ = 0;
  std::vector<uint8_t> map_;  // the map row after its type byte
  uint32_t firstPage_ = 0;    // type 0
  size_t bit_ = 0;            // next bit to look at in the current bitmap
  // type 1
  size_t pointerIndex_ = 0;
  PageRef bitmapPage_;
  uint32_t bitmapBase_ = 0;
  uint32_t pageCount_ = 0;
  uint32_t pageSize_ = 0;
};

}  // namespace jet::storage
