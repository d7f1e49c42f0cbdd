// The one walk over the bytes of a table definition (TDEF): every part in
// file order, checked against the bytes before it is used, and nothing
// interpreted beyond what the file says. Both the schema a reader needs
// (table_def.h) and the counters, index roots and usage maps a writer and
// the check follow (table_layout.h) are made from these parts, so the
// definition's layout is read in one place.
//
// The definition is: a header of counters and usage-map pointers; one
// entry per real index (its row count); one entry per column; the column
// names; one block per real index (its columns, usage map, root page and
// flags); one entry per logical index; the index names; and, from Jet 4 on,
// the usage maps of each long-value column, ended by kNoColumn.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "jet/format/jet_format.h"
#include "jet/schema.h"
#include "jet/status.h"
#include "jet/storage/pages/bytes.h"

namespace jet::storage {

struct TableDefParts {
  // --- header ---
  uint8_t tableType = 0;
  uint16_t maxColumns = 0;
  uint16_t varColumns = 0;
  uint32_t rowCount = 0;
  uint32_t autoNumber = 0;
  RowPointer usedPages, freePages;

  // --- columns, in file order ---
  struct Column {
    uint8_t type = 0;
    uint16_t number = 0;
    uint16_t varIndex = 0;
    uint16_t fixedOffset = 0;
    uint16_t length = 0;
    uint8_t flags = 0;
    uint8_t precision = 0, scale = 0;  // the misc field read as numeric
    uint32_t complexId = 0;            // the misc field of an ACE complex column
    uint16_t sortOrder = 0;            // the misc field read as text
    uint8_t sortVersion = 0;           // 0 in Jet 3
    uint8_t compressionFlags = 0;      // 0 in Jet 3
    ByteSpan name;                     // as stored: code page (Jet 3) or UCS-2
  };
  std::vector<Column> columns;

  // --- real (physical) indexes ---
  struct RealIndex {
    std::vector<std::pair<uint16_t, bool>> columns;  // column number, ascending
    uint8_t flags = 0;
    uint32_t root = 0;
    RowPointer usedPages;
    size_t defOffset = 0;  // where its block starts in the definition
  };
  std::vector<RealIndex> realIndexes;

  // --- logical indexes ---
  struct LogicalIndex {
    uint32_t real = 0;
    uint8_t type = 0;
    ByteSpan name;
  };
  std::vector<LogicalIndex> logicalIndexes;

  // --- long-value columns' usage maps (Jet 4 and later) ---
  struct LongValueMaps {
    uint16_t columnNumber = 0;
    RowPointer used, free;
  };
  std::vector<LongValueMaps> longValueMaps;

  // --- where each part starts, for an edit that adds or removes one ---
  struct Offsets {
    size_t realEntries = 0;  // one entry per real index
    size_t columns = 0;      // one entry per column
    size_t columnNames = 0;
    size_t realDefs = 0;        // one block per real index
    size_t logicalEntries = 0;  // one entry per logical index
    size_t indexNames = 0;
    size_t rest = 0;  // what follows the index names (the long-value maps)
  } offsets;
};

// Walks `bytes` (a whole definition chain, see readTableDefBytes); `page`
// names the definition in errors. Never reads outside `bytes`.
Result<TableDefParts> parseTableDefParts(ByteSpan bytes, const format::Layout& layout,
                                         uint32_t page);

// The error of a damaged definition starting at `page`.
Error badTableDef(uint32_t page, const std::string& what);

}  // namespace jet::storage
