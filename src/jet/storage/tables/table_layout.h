// What the writer, the index reader and the check follow in a table's
// definition beyond its schema: the counters, the map of pages with free
// space, each real index's columns, root page and usage map, the usage maps
// of the long-value columns, and each column's text compression and sort
// order. Made from the same walk as the schema (table_def_parts.h).
//
// The layout is read again from the pages whenever it is needed: within a
// transaction its counters and index roots change while the schema does not.
#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/file_format.h"
#include "jet/schema.h"
#include "jet/status.h"
#include "jet/storage/pages/bytes.h"
#include "jet/storage/pages/pager.h"
#include "jet/storage/tables/table_def.h"
#include "jet/value.h"

namespace jet::storage {

// One real index as the table definition stores it, with the rules its
// properties make for the entries of rows (the writer keeps them, the
// integrity check verifies them; see IndexDef in jet/schema.h).
struct RealIndex {
  std::vector<IndexColumn> columns;  // positions in the schema's columns
  uint8_t flags = 0;
  bool primary = false;  // a primary key is kept in it (said by its logical index)
  uint32_t root = 0;
  RowPointer usedPages;  // its page usage map; page 0 when it has none
  size_t defOffset = 0;  // where its definition starts in the TDEF bytes

  bool unique() const { return primary || (flags & format::kIndexUnique) != 0; }
  bool refusesNulls() const { return primary || (flags & format::kIndexRequired) != 0; }
  bool ignoresNulls() const { return (flags & format::kIndexIgnoreNulls) != 0; }
  // `values` hold one value per schema column.
  bool keyHasNull(const std::vector<Value>& values) const;
  // False for a row an index that ignores nulls leaves out: every key column Null.
  bool holdsRow(const std::vector<Value>& values) const;
  // A unique index refuses a second entry of this key: no key column Null.
  bool keyMustBeUnique(const std::vector<Value>& values) const {
    return unique() && !keyHasNull(values);
  }
};

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

// Finds those parts in the bytes of `def`'s definition in a file of
// `fileFormat`. Fails on an index naming a column `def` does not have.
Result<TableLayout> locateTableLayout(ByteSpan tdef, const TableDef& def, FileFormat fileFormat);
// The same, read from `def`'s definition pages in `pager`'s file.
Result<TableLayout> loadTableLayout(Pager& pager, const TableDef& def);

}  // namespace jet::storage
