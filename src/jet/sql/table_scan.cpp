// One- and two-pass table reads; see table_scan.h.
#include "jet/sql/table_scan.h"

#include "jet/error_codes.h"

namespace jet::sql {

namespace {

// Beyond this many passing rows, re-reading each one costs more than
// decoding every needed column in one pass.
constexpr size_t kMaxRowsReadTwice = 4096;

using Emit = std::function<Status(RowId, const std::vector<Value>&)>;

// Emits every row of `cursor` that passes the request's filter.
Status emitPassing(RowCursor& cursor, const ScanRequest& r, const Emit& emit) {
  for (;;) {
    auto more = cursor.next();
    if (!more) return more.status();
    if (!more.value()) return Status::ok();
    const std::vector<Value>& row = cursor.values();
    if (r.filter) {
      auto pass = r.filter(row);
      if (!pass) return pass.status();
      if (!pass.value()) continue;
    }
    JET_TRY(emit(cursor.rowId(), row));
  }
}

Status onePass(Database& db, const ScanRequest& r, const Emit& emit) {
  auto cursor = db.scan(r.table, r.columns);
  if (!cursor) return cursor.status();
  return emitPassing(*cursor.value(), r, emit);
}

}  // namespace

Status scanTable(Database& db, const ScanRequest& r,
                 const std::function<Status(RowId, const std::vector<Value>&)>& emit) {
  std::vector<int> filterColumns;
  std::vector<size_t> filterSlotList;
  for (size_t s = 0; s < r.columns.size(); ++s) {
    if (s < r.filterSlots.size() && r.filterSlots[s]) {
      filterColumns.push_back(r.columns[s]);
      filterSlotList.push_back(s);
    }
  }
  if (!r.filter || filterColumns.size() == r.columns.size()) return onePass(db, r, emit);

  // First pass: the filter's columns only.
  std::vector<RowId> passing;
  {
    auto cursor = db.scan(r.table, filterColumns);
    if (!cursor) return cursor.status();
    std::vector<Value> row(r.columns.size());
    for (;;) {
      auto more = cursor.value()->next();
      if (!more) return more.status();
      if (!more.value()) break;
      const std::vector<Value>& got = cursor.value()->values();
      for (size_t i = 0; i < filterSlotList.size() && i < got.size(); ++i)
        row[filterSlotList[i]] = got[i];
      auto pass = r.filter(row);
      if (!pass) return pass.status();
      if (!pass.value()) continue;
      if (passing.size() == kMaxRowsReadTwice) return onePass(db, r, emit);
      passing.push_back(cursor.value()->rowId());
    }
  }

  // Second pass: the passing rows, whole.
  std::vector<Value> row(r.columns.size());
  for (const RowId& id : passing) {
    auto whole = db.readRow(r.table, id);
    // A row the point of sale deleted since the first pass is gone: skip it.
    if (!whole) continue;
    for (size_t s = 0; s < r.columns.size(); ++s) {
      size_t c = static_cast<size_t>(r.columns[s]);
      row[s] = c < whole.value().size() ? whole.value()[c] : Value();
    }
    auto pass = r.filter(row);
    if (!pass) return pass.status();
    if (!pass.value()) continue;
    JET_TRY(emit(id, row));
  }
  return Status::ok();
}

Result<bool> seekTable(Database& db, const ScanRequest& r, const std::vector<IndexLookup>& lookups,
                       const std::function<Status(RowId, const std::vector<Value>&)>& emit) {
  // The rows found are few: each is read whole in one pass.
  auto cursor = db.seek(r.table, lookups, r.columns);
  if (!cursor) {
    if (cursor.status().number() == errc::kNotSupported) return false;
    return cursor.status();
  }
  JET_TRY(emitPassing(*cursor.value(), r, emit));
  return true;
}

}  // namespace jet::sql
