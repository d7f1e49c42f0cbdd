// Reading a table's indexes: finding the rows whose key is a given one by
// walking the index B-tree instead of every row of the table.
//
// A lookup descends from the index's root to the first leaf that can hold
// the key (intermediate entries name each child by its last entry), then
// follows the leaf chain while the entries begin with the key. Entries of
// one key are ordered by the row's place, so the rows of one key come out in
// the order a scan of the table meets them.
//
// Text is looked up only in the General sort orders the key encoder makes
// (Access 97's in Jet 3 files, Access 2000's in Jet 4 and ACE files);
// anything else answers kNotSupported, so a caller can read the table
// instead. A damaged index
// page, a chain that loops or a tree deeper than any real one gives a clear
// error, never a crash or a hang.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "jet/database.h"
#include "jet/schema.h"
#include "jet/storage/pages/pager.h"
#include "jet/storage/read/index_key.h"
#include "jet/storage/tables/table_def.h"

namespace jet::storage {

// One real index of a table, located for reading.
struct IndexHandle {
  uint32_t root = 0;
  std::vector<IndexColumn> columns;      // schema positions and directions, in key order
  std::vector<TextKeyOrder> textOrders;  // per key column: how its text is keyed
  bool ignoresNulls = false;             // rows whose key columns are all Null are not in it
};

// The real indexes of one table, as its definition lists them.
class TableIndexes {
 public:
  static Result<TableIndexes> load(Pager& pager, const TableDef& def);

  // The index whose leading columns are `columns`, in that order (the one
  // with fewest columns when several are). kNotSupported when there is none
  // or when its text keys are not ones this engine makes. A lookup with a
  // Null among its values (`withNull`) passes over an index that ignores
  // nulls: the rows it looks for may be the ones left out.
  Result<IndexHandle> find(const std::vector<int>& columns, bool withNull = false) const;

 private:
  const TableDef* def_ = nullptr;
  std::vector<IndexHandle> indexes_;
  // Per schema column: the order its text is keyed in, when the engine makes it.
  std::vector<std::optional<TextKeyOrder>> textOrders_;
};

// The key bytes `values` (one per leading column of `index`, in order) have
// in that index. Each value must already be of its column's type.
// kNotSupported when a value can't be encoded (a character the key encoder
// does not know, a type it does not index).
Result<std::vector<uint8_t>> indexLookupKey(const TableDef& def, const IndexHandle& index,
                                            const std::vector<Value>& values);

// Calls `visit` with the row of each index entry whose bytes begin with
// `key`, in index order; with `wholeKey` (the key covers every column of
// the index), only entries whose key is exactly `key`. Stops after `limit`
// entries or when `visit` answers false.
Status forEachIndexMatch(Pager& pager, uint32_t root, const std::vector<uint8_t>& key,
                         bool wholeKey, uint64_t limit, const std::function<bool(RowId)>& visit);

// The rows any of `lookups` finds, each once, sorted by their place (the
// order a scan meets them).
Result<std::vector<RowId>> indexedRows(Pager& pager, const TableDef& def,
                                       const std::vector<IndexLookup>& lookups);
// How many entries each of `lookups` finds, counting no further than `limit`.
Result<std::vector<uint64_t>> countIndexed(Pager& pager, const TableDef& def,
                                           const std::vector<IndexLookup>& lookups, uint64_t limit);

}  // namespace jet::storage
