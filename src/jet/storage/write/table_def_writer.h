// Table definitions for new tables: where each column goes in a row, and the
// bytes of the TDEF page, laid out as Access lays out its own (Access 97,
// Jet 4 and ACE: the same parts, at other offsets and sizes).
//
// A new table gets one real index per index definition, each with its own
// root page and page usage map; its long-value (memo, OLE) columns get the
// pair of usage maps Access keeps for them (Jet 4 and later). Text and memo
// columns carry the General sort order, and in Jet 4 are marked for
// compressed text; Access 97 columns also carry the file's code page.
#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "jet/schema.h"
#include "jet/status.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/bytes.h"
#include "jet/storage/tables/table_def.h"

namespace jet::storage::write {

// Checks a new table's definition (names, types, sizes, index columns) and
// answers each column's place in a row, in column order. Access 97 (`jet3`)
// keeps text one byte per character.
Result<std::vector<ColumnPlacement>> placeColumns(const TableSchema& schema, bool jet3 = false);

// Checks one index of `schema`: its name, 1 to 10 columns of the table,
// each of a type the engine keeps keys of.
Status checkIndexDef(const TableSchema& schema, const IndexDef& ix);

struct NewTableDef {
  // An Access 97 definition, its names in this Windows code page.
  bool jet3 = false;
  uint16_t codePage = 0;
  TableSchema schema;
  std::vector<ColumnPlacement> placements;
  uint32_t page = 0;
  RowPointer usedPages, freePages;
  std::vector<RowPointer> indexMaps;  // one per index of schema.indexes
  std::vector<uint32_t> indexRoots;   // one per index
  struct LongValueMaps {
    uint16_t columnNumber = 0;
    RowPointer used, free;
  };
  std::vector<LongValueMaps> longValueMaps;
};

// The TDEF page bytes (one page); fails when the definition needs more, or
// (Access 97) a name has a character the code page lacks.
Result<std::vector<uint8_t>> buildTableDef(const NewTableDef& def, uint32_t pageSize);

// The parts of a definition, as Access lays them out; the editing of an
// existing table's definition (table_def_edit.h) adds them one by one.
// A name: its length in bytes, then UCS-2 (Access 97: one length byte, then
// the bytes of `codePage`); fails for a character that code page lacks.
Status putName(ByteBuilder& b, const std::string& name, bool jet3, uint16_t codePage);
void putColumnEntry(ByteBuilder& b, const ColumnDef& c, const ColumnPlacement& p, bool jet3,
                    uint16_t codePage);
// The block of a real index: its columns (by their numbers in `placements`),
// its page usage map, its root page, and its flags.
void putRealIndex(ByteBuilder& b, const IndexDef& ix,
                  const std::vector<ColumnPlacement>& placements, RowPointer usedPages,
                  uint32_t root, bool jet3);
// The entry of logical index `number`, kept in real index `real`.
void putLogicalIndex(ByteBuilder& b, uint32_t number, uint32_t real, const IndexDef& ix, bool jet3);

// The TableDef the reader would parse from buildTableDef's bytes, for
// writing rows before the definition is read back.
TableDef tableDefFor(const NewTableDef& def);

}  // namespace jet::storage::write
