// Row writes on one table: insert, update, delete, with everything Access
// keeps beside the rows brought along: the page usage maps, free space,
// long values on LVAL pages, the AutoNumber and row count in the table
// definition, and an entry in every index for every row.
//
// A TableWriter works inside an open transaction of the WritePager (the
// caller opens and closes the levels); each statement ends with finish().
// Its owner may keep it for the next statements of the same transaction,
// and drops it at any rollback, so what it knows of its table (counters,
// the page it last filled) is never older than the pages. Index changes
// are made in place, splitting pages as needed; a shape the in-place code
// does not edit makes finish() rewrite that index from the table's rows.
// On any error the caller rolls the statement's level back, so a failed
// statement changes nothing.
//
// Where rows and long values go, and how pages are used again, is told in
// table_pages.h and long_value_writer.h; the index steps are in
// table_writer_indexes.cpp, the update's in table_writer_update.cpp.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "jet/format/file_format.h"
#include "jet/format/jet_format.h"
#include "jet/format/row_id.h"
#include "jet/storage/pages/write_pager.h"
#include "jet/storage/read/row_encode.h"
#include "jet/storage/tables/table_def.h"
#include "jet/storage/tables/table_layout.h"
#include "jet/storage/write/index_writer.h"
#include "jet/storage/write/long_value_writer.h"
#include "jet/storage/write/table_pages.h"
#include "jet/value.h"

namespace jet::storage::write {

class TableWriter {
 public:
  static Result<std::unique_ptr<TableWriter>> load(WritePager& pager,
                                                   std::shared_ptr<const TableDef> def);
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  Result<RowId> insert(std::vector<Value> values, int32_t* autoNumber);
  Result<RowId> update(RowId row, const std::vector<std::pair<int, Value>>& changes);
  Status remove(RowId row);
  // Writes the row count and AutoNumber, and rewrites the indexes that
  // could not be changed in place.
  Status finish();

  // Fills real index `index` (new, with an empty root) from the table's
  // rows; fails, writing nothing the caller keeps, on a Null the index
  // refuses or a key a unique one would repeat.
  Status buildIndex(size_t index) { return rebuildIndex(index); }
  // Gives the pages of real index `index`'s tree back to the table, before
  // the index leaves its definition.
  Status releaseIndexPages(size_t index);

  const TableLayout& layout() const { return layout_; }
  // The definition this writer was loaded from.
  const std::shared_ptr<const TableDef>& def() const { return def_; }
  // The key `values` (one per column) give in real index `index`.
  Result<std::vector<uint8_t>> keyFor(size_t index, const std::vector<Value>& values) {
    return keyOf(layout_.indexes[index], values);
  }

 private:
  TableWriter(WritePager& pager, std::shared_ptr<const TableDef> def, TableLayout layout);
  class PagesForIndexes;
  // A row before and after an update.
  struct RowChange {
    std::vector<Value> before, after;
    std::vector<bool> touched;  // per column: named by the update
  };

  // --- insert ---
  Status coerceAndNumber(std::vector<Value>& values, int32_t* autoNumber);
  Result<std::vector<std::vector<uint8_t>>> keysOf(const std::vector<Value>& values);

  // --- update (table_writer_update.cpp) ---
  Result<RowChange> applyChanges(RowId row, const std::vector<std::pair<int, Value>>& changes);
  Result<std::vector<bool>> changedKeys(const RowChange& change);
  Result<std::vector<uint8_t>> encodeUpdate(const RowChange& change,
                                            const std::vector<uint8_t>& oldBytes);
  Status replaceOrMove(RowId row, RowId slot, const std::vector<uint8_t>& encoded);

  // --- indexes (table_writer_indexes.cpp) ---
  Result<std::vector<uint8_t>> keyOf(const RealIndex& ix, const std::vector<Value>& values);
  Status addIndexEntries(const std::vector<std::vector<uint8_t>>& keys,
                         const std::vector<Value>& values, RowId row);
  Status removeIndexEntries(const std::vector<Value>& values, RowId row);
  Status changeIndexEntries(const std::vector<bool>& keyChanged, const RowChange& change,
                            RowId row);
  Status rebuildIndex(size_t index);
  // The sorted entries the table's rows make in `ix`; fails as an insert
  // of those rows would (a Null a key refuses, a repeated unique key).
  Result<std::vector<IndexEntry>> entriesOfRows(const RealIndex& ix);

  // --- rows ---
  // The slot holding a row's bytes, after a moved row's pointer.
  Result<RowId> dataSlot(RowId row);
  Result<std::vector<uint8_t>> rowBytes(RowId slot);
  Status readWholeRow(RowId row, std::vector<Value>& out);
  // The column number whose maps list this table's long values: the first
  // long-value column's (one writer per table: pages are shared by its columns).
  uint16_t longValueColumn() const;
  RowEncodeOptions encodeOptions() const;
  const format::Layout& fileLayout() const { return format::layoutFor(pager_.format()); }

  WritePager& pager_;
  std::shared_ptr<const TableDef> def_;
  TableLayout layout_;
  TablePages pages_;
  LongValueWriter longValues_;
  std::vector<bool> rebuild_;
  bool changed_ = false;
};

}  // namespace jet::storage::write
