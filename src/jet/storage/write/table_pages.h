// The pages of one table as its writer uses them: where a new row goes, the
// table's list of data pages with room, and the pages that change hands
// between rows, indexes and long values.
//
// Space is used again: a new row goes to the page the last one went to,
// else to a page the free-space map lists; a page whose rows are all gone
// starts over; a page for an index or a long value comes from the table's
// emptied data pages before the file grows, and a page an index or a long
// value gives back becomes a data page with room.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/format/row_id.h"
#include "jet/status.h"
#include "jet/storage/pages/bytes.h"
#include "jet/storage/pages/write_pager.h"
#include "jet/storage/tables/table_def.h"

namespace jet::storage::write {

// A page stays listed as having room while it has at least this much.
inline constexpr uint16_t kRoomWorthListing = 512;

class TablePages {
 public:
  // `def` and `pager` must outlive this; `freePages` is the table's map of
  // data pages with room (page 0: the table keeps none).
  TablePages(WritePager& pager, const TableDef& def, RowPointer freePages)
      : pager_(pager), def_(def), freePages_(freePages) {}
  TablePages(const TablePages&) = delete;
  TablePages& operator=(const TablePages&) = delete;

  WritePager& pager() const { return pager_; }

  // Puts `row` on one of the table's data pages (a new one when none has
  // room), `flags` on its offset entry.
  Result<RowId> placeRow(const std::vector<uint8_t>& row, uint16_t flags);
  // Lists or unlists `page` in the free-space map as its room says.
  Status noteFreeSpace(uint32_t page);
  // Whether `page` is one of this table's data pages.
  Result<bool> isOwnDataPage(uint32_t page);
  // A page for an index or a long value: one of the table's pages whose
  // rows are all gone, taken out of the table's maps, or else a new one.
  Result<uint32_t> takePage();
  // A page the table's indexes or long values no longer use becomes one of
  // its data pages with room.
  Status giveBackPage(uint32_t page);

 private:
  Result<std::optional<uint16_t>> tryPage(uint32_t page, const std::vector<uint8_t>& row,
                                          uint16_t flags);

  WritePager& pager_;
  const TableDef& def_;
  RowPointer freePages_;
  // The page the last row went to.
  std::optional<uint32_t> lastPage_;
};

}  // namespace jet::storage::write
