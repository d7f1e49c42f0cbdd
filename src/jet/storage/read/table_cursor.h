// The streaming scan of one table: RowCursor over the table's data pages.
//
// The cursor walks the pages of the table's usage map in order and, on each
// page that is a data page of this table, the rows of its offset table:
// deleted rows are skipped, a moved row is read where its pointer says, and
// only the requested columns are decoded. It holds one data page and the
// current row's values, so memory does not grow with the table.
//
// The cursor holds a reference to the pager and the table definition; it
// must not outlive the FileDatabase that made it.
#pragma once

#include <memory>
#include <vector>

#include "jet/database.h"
#include "jet/storage/pages/pager.h"
#include "jet/storage/read/long_value_reader.h"
#include "jet/storage/read/row_codec.h"
#include "jet/storage/tables/table_def.h"
#include "jet/storage/tables/usage_map.h"

namespace jet::storage {

// What decoding a row needs besides the row: kept by a cursor across rows
// so that a scan, once warm, allocates nothing per row.
struct RowDecodeBuffers {
  RowParts parts;
  Bytes longValue;
};

// Decodes `columns` of `row` into `out` (resized to one Value per column;
// a text Value keeps its storage from the previous row).
Status decodeRowInto(Pager& pager, const TableDef& def, ByteSpan row,
                     const std::vector<int>& columns, LongValueSource& longValues,
                     RowDecodeBuffers& buffers, std::vector<Value>& out);

// Reads the row at `where` (following a moved row's pointer) and decodes
// `columns` of it into `out`. Fails for a deleted or missing row.
Status readRowAt(Pager& pager, const TableDef& def, RowId where, const std::vector<int>& columns,
                 std::vector<Value>& out);

class TableCursor : public RowCursor {
 public:
  static Result<std::unique_ptr<TableCursor>> open(Pager& pager,
                                                   std::shared_ptr<const TableDef> def,
                                                   std::vector<int> columns);

  ~TableCursor() override;
  // Makes the cursor end the pager's statement when it reaches the end or
  // is destroyed (the scan of a read statement).
  void holdStatement() { hold_.hold(); }

  Result<bool> next() override;
  RowId rowId() const override { return current_; }
  const std::vector<Value>& values() const override { return values_; }

 private:
  TableCursor(Pager& pager, std::shared_ptr<const TableDef> def, std::vector<int> columns,
              UsageMapPages pages);
  // Moves to the next data page of this table; false at the end.
  Result<bool> nextPage();

  Pager& pager_;
  std::shared_ptr<const TableDef> def_;
  std::vector<int> columns_;
  UsageMapPages pages_;
  LongValueReader longValues_;
  PageRef page_;
  uint32_t pageNumber_ = 0;
  uint16_t rowsOnPage_ = 0;
  uint16_t nextSlot_ = 0;
  RowId current_;
  RowDecodeBuffers buffers_;
  std::vector<Value> values_;
  bool done_ = false;
  StatementHold hold_{pager_};
};

}  // namespace jet::storage
