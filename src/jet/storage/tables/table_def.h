// Table definitions (TDEF pages): the columns, their place in a row, the
// indexes, and where the table's data pages are listed.
//
// A definition may span several pages linked by a next-page pointer; the
// chain is read whole (loop-guarded) and parsed as one byte string.
// Columns come out in column-number order, which is the order Access shows
// and the order of TableSchema::columns; deleted columns leave gaps in the
// numbers, never entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format/jet_format.h"
#include "jet/schema.h"
#include "jet/storage/pages/bytes.h"
#include "jet/storage/pages/pager.h"

namespace jet::storage {

// Where a column's value sits in a row.
struct ColumnPlacement {
  uint16_t number = 0;       // bit in the null mask; counts deleted columns
  uint16_t varIndex = 0;     // slot in the variable-offset table (variable columns)
  uint16_t fixedOffset = 0;  // start within the fixed part (fixed columns)
  uint16_t length = 0;       // declared size in bytes
  uint8_t flags = 0;
  bool fixed = false;
};

struct TableDef {
  uint32_t page = 0;  // first TDEF page: the table's identity in the file
  TableSchema schema;
  std::vector<ColumnPlacement> placements;  // parallel to schema.columns
  uint16_t maxColumns = 0;
  uint16_t varColumns = 0;
  RowPointer usedPages;  // the row holding the table's page usage map
  uint32_t autoNumber = 0;
};

// Reads the definition chain starting at `page`: the first page whole, then
// each continuation page after its 8-byte header.
Result<std::vector<uint8_t>> readTableDefBytes(Pager& pager, uint32_t page);

// Parses a definition read by readTableDefBytes (pure; never reads outside
// `bytes`). codePage decodes Jet 3 names; page names the definition in errors.
Result<TableDef> parseTableDef(ByteSpan bytes, const format::Layout& layout, uint16_t codePage,
                               uint32_t page = 0);

// The schema position of the column numbered `number`, or -1.
int columnPosition(const TableDef& def, uint16_t number);

// Both, for the table whose definition starts at `page`.
Result<TableDef> loadTableDef(Pager& pager, uint32_t page);

}  // namespace jet::storage
