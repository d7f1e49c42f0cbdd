// Row writes on one table: insert, update, delete, with everything Access
// keeps beside the rows brought along: the page usage maps, free space,
// long values on LVAL pages, the AutoNumber and row count in the table
// definition, and an entry in every index for every row.
//
// A TableWriter works inside an open transaction of the WritePager (the
// caller opens and closes the levels); each statement ends with finish().
// The pager may keep it for the next statements of the same transaction,
// and drops it at any rollback, so what it knows of its table (counters,
// the page it last filled) is never older than the pages. Index changes
// are made in place, splitting pages as needed; a shape the in-place code
// does not edit makes finish() rewrite that index from the table's rows.
// On any error the caller rolls the statement's level back, so a failed
// statement changes nothing.
//
// Space is used again: a new row goes to the page the last one went to,
// else to a page the free-space map lists; a page whose rows are all gone
// starts over; new index and long-value pages come from the table's
// emptied pages before the file grows, and emptied index leaves and
// long-value pages become room for rows.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "jet/database.h"
#include "jet/format/jet_format.h"
#include "jet/storage/row_encode.h"
#include "jet/storage/table_def.h"
#include "jet/storage/write/index_writer.h"
#include "jet/storage/write/write_pager.h"

namespace jet::storage::write {

// One real index as the table definition stores it.
struct RealIndex {
  std::vector<IndexColumn> columns;  // positions in the schema's columns
  uint8_t flags = 0;
  uint32_t root = 0;
  RowPointer usedPages;  // its page usage map; page 0 when it has none
  size_t defOffset = 0;  // where its definition starts in the TDEF bytes
};

// The parts of a table definition the writer changes or follows, beyond
// what TableDef says.
struct TableLayout {
  RowPointer freePages;
  uint32_t rowCount = 0;
  uint32_t lastAutoNumber = 0;
  std::vector<RealIndex> indexes;
  struct LongValueMaps {
    uint16_t columnNumber = 0;
    RowPointer used, free;
  };
  std::vector<LongValueMaps> longValueMaps;
  std::vector<bool> compressed;     // per schema column: text kept compressed
  std::vector<uint16_t> sortOrder;  // per schema column: text sort order (0x409 General)
  std::vector<uint8_t> sortVersion;
};

// Finds those parts in the bytes of a table definition of a file of
// `fileFormat`.
Result<TableLayout> locateTableLayout(ByteSpan tdef, const TableDef& def, FileFormat fileFormat);
// The same, read from `def`'s definition pages in `pager`'s file.
Result<TableLayout> loadTableLayout(Pager& pager, const TableDef& def);

// Writes `n` bytes at `offset` of the definition chain starting at `first`.
Status patchTableDef(PageStore& store, uint32_t first, size_t offset, const uint8_t* data,
                     size_t n);

class TableWriter {
 public:
  static Result<std::unique_ptr<TableWriter>> load(WritePager& pager,
                                                   std::shared_ptr<const TableDef> def);

  Result<RowId> insert(std::vector<Value> values, int32_t* autoNumber);
  Result<RowId> update(RowId row, const std::vector<std::pair<int, Value>>& changes);
  Status remove(RowId row);
  // Writes the row count and AutoNumber, and rewrites the indexes that
  // could not be changed in place.
  Status finish();

  const TableLayout& layout() const { return layout_; }
  // The definition this writer was loaded from.
  const std::shared_ptr<const TableDef>& def() const { return def_; }
  // The key `values` (one per column) give in real index `index`.
  Result<std::vector<uint8_t>> keyFor(size_t index, const std::vector<Value>& values) {
    return keyOf(layout_.indexes[index], values);
  }

 private:
  TableWriter(WritePager& pager, std::shared_ptr<const TableDef> def, TableLayout layout);
  class LongValues;

  Result<std::vector<uint8_t>> keyOf(const RealIndex& ix, const std::vector<Value>& values);
  Status addIndexEntries(const std::vector<std::vector<uint8_t>>& keys,
                         const std::vector<Value>& values, RowId row);
  Status removeIndexEntries(const std::vector<Value>& values, RowId row);
  Status rebuildIndex(size_t index);
  Result<RowId> placeRow(const std::vector<uint8_t>& row, uint16_t flags);
  Status noteFreeSpace(uint32_t page);
  Result<bool> isOwnDataPage(uint32_t page);
  // A page for an index or a long value: one of the table's pages whose
  // rows are all gone, taken out of the table's maps, or else a new one.
  Result<uint32_t> takePage();
  // A long-value page left with no value becomes a data page with room.
  Status giveBackLongValuePage(uint32_t page);
  // Lists a long-value page among its column's pages with free space while
  // it has room for more.
  Status noteLongValueRoom(uint32_t page);
  // A page the table's indexes or long values no longer use becomes one of
  // its data pages with room.
  Status giveBackPage(uint32_t page);
  class PagesForIndexes;
  // The slot holding a row's bytes, after a moved row's pointer.
  Result<RowId> dataSlot(RowId row);
  Result<std::vector<uint8_t>> rowBytes(RowId slot);
  Status freeLongValues(const std::vector<uint8_t>& row, const std::vector<bool>* only);
  RowEncodeOptions encodeOptions() const;
  const format::Layout& fileLayout() const { return format::layoutFor(pager_.format()); }

  WritePager& pager_;
  std::shared_ptr<const TableDef> def_;
  TableLayout layout_;
  std::vector<bool> rebuild_;
  bool changed_ = false;
  std::optional<uint32_t> lastPage_;
  // The long-value page the last long value went to.
  std::optional<uint32_t> lastLongValuePage_;
  uint16_t lastLongValueColumn_ = 0;
};

}  // namespace jet::storage::write
