// Memo and OLE values of one table's rows, written to and freed from its
// long-value (LVAL) pages.
//
// A value of up to kInlineLongValue bytes stays in the row; one that fits
// a page is one row of an LVAL page; a longer one is a chain of rows, each
// starting with the pointer to the next. Pages stay with the usage map that
// lists them: a value goes to the page the last value of its column went
// to, else to a page the column's free-space map lists, else to a page the
// table gives up (table_pages.h). A page whose values are all gone goes
// back to the table as a data page with room.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/status.h"
#include "jet/storage/read/row_encode.h"
#include "jet/storage/tables/table_def.h"
#include "jet/storage/tables/table_layout.h"
#include "jet/storage/write/table_pages.h"

namespace jet::storage::write {

// Long values up to this size stay in the row.
inline constexpr size_t kInlineLongValue = 64;

class LongValueWriter {
 public:
  // All three must outlive this.
  LongValueWriter(TablePages& pages, const TableDef& def, const TableLayout& layout)
      : pages_(pages), def_(def), layout_(layout) {}
  LongValueWriter(const LongValueWriter&) = delete;
  LongValueWriter& operator=(const LongValueWriter&) = delete;

  // Stores `data` for the column numbered `columnNumber`, answering the
  // 12-byte field (and inline bytes) the row keeps.
  Result<std::vector<uint8_t>> store(uint16_t columnNumber, std::vector<uint8_t> data);
  // Frees the long values `row` (the bytes of a row) points to, in the
  // columns `only` marks (all when null).
  Status freeValuesOf(const std::vector<uint8_t>& row, const std::vector<bool>* only);

 private:
  Result<RowPointer> place(uint16_t column, const std::vector<uint8_t>& row);
  Result<std::optional<RowPointer>> placeOnLastPage(uint16_t column,
                                                    const std::vector<uint8_t>& row);
  Result<std::optional<RowPointer>> placeOnListedPage(uint16_t column,
                                                      const std::vector<uint8_t>& row);
  Result<RowPointer> placeOnNewPage(uint16_t column, const std::vector<uint8_t>& row);
  Status freeChain(const std::vector<uint8_t>& field);
  const TableLayout::LongValueMaps* mapsOf(uint16_t column) const;
  // A long-value page left with no value becomes a data page with room.
  Status giveBackPage(uint32_t page);
  // Lists a long-value page among its column's pages with free space while
  // it has room for more.
  Status noteRoom(uint32_t page);
  bool jet3() const { return pages_.pager().format() == FileFormat::Jet3; }

  TablePages& pages_;
  const TableDef& def_;
  const TableLayout& layout_;
  // The long-value page the last long value went to, and its column.
  std::optional<uint32_t> lastPage_;
  uint16_t lastColumn_ = 0;
};

// The sink the row encoder stores one row's long values through: all of
// them go with the maps of the column numbered `columnNumber`.
class LongValueColumnSink : public LongValueSink {
 public:
  LongValueColumnSink(LongValueWriter& writer, uint16_t columnNumber)
      : writer_(writer), column_(columnNumber) {}
  Result<std::vector<uint8_t>> storeLongValue(std::vector<uint8_t> data) override {
    return writer_.store(column_, std::move(data));
  }

 private:
  LongValueWriter& writer_;
  uint16_t column_;
};

}  // namespace jet::storage::write
