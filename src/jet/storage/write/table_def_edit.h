// Changes to the definition of a table that already has rows: an index
// added or dropped, a column added. Each is an edit of the definition's
// bytes, not a rewrite from the schema, so everything Access keeps there
// that this engine does not interpret (relationships' entries, counters,
// column properties) stays as it was; only the part added or removed and
// the counts and numbers that follow from it change.
//
// A definition may grow past its page: the chain is written back over its
// own pages and continued on new ones (writeTableDefChain). Rows never
// change: a row written before a column was added has fewer columns, which
// the reader takes as Null (and No for a Yes/No column).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/schema.h"
#include "jet/status.h"
#include "jet/storage/pages/pager.h"
#include "jet/storage/pages/write_pager.h"
#include "jet/storage/tables/table_def.h"

namespace jet::storage::write {

// The whole definition of `def`'s table, to the length its header gives.
Result<std::vector<uint8_t>> readWholeTableDef(Pager& pager, const TableDef& def);

// Writes `bytes` (a whole definition, its length field set here) as the
// chain starting at `first`, reusing the chain's pages and adding more.
Status writeTableDefChain(WritePager& pager, uint32_t first, std::vector<uint8_t> bytes);

// The definition with `ix` added as a new logical index kept in a new real
// index whose root page is `root` and whose page map is the row `usedPages`.
Result<std::vector<uint8_t>> definitionWithIndex(const std::vector<uint8_t>& tdef,
                                                 const TableDef& def, FileFormat format,
                                                 uint16_t codePage, const IndexDef& ix,
                                                 RowPointer usedPages, uint32_t root);

// The definition without logical index `logical`, and without its real
// index when no other logical index is kept in it: then *droppedReal names
// that real index (the pages of its tree are the caller's to give back).
Result<std::vector<uint8_t>> definitionWithoutIndex(const std::vector<uint8_t>& tdef,
                                                    const TableDef& def, FileFormat format,
                                                    size_t logical,
                                                    std::optional<size_t>* droppedReal);

// The definition with column `c` added after the others. A long-value
// column of a Jet 4 or ACE table takes `longValueMaps` (its used and free
// page maps) as Access keeps them.
struct AddedLongValueMaps {
  RowPointer used, free;
};
Result<std::vector<uint8_t>> definitionWithColumn(const std::vector<uint8_t>& tdef,
                                                  const TableDef& def, FileFormat format,
                                                  uint16_t codePage, const ColumnDef& c,
                                                  std::optional<AddedLongValueMaps> longValueMaps);

}  // namespace jet::storage::write
