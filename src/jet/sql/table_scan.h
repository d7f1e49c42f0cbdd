// Reading the rows a statement needs from one table, decoding as little as
// possible.
//
// When the filter needs fewer columns than the statement, the table is read
// in two passes: first only the filter's columns, keeping the places of the
// rows that pass; then those rows alone are read whole. The kitchen's
// statements pick a few hundred pending lines out of a long history, so the
// second pass is cheap and most columns of most rows are never decoded. When
// too many rows pass for that to pay, the scan falls back to one pass over
// every needed column. A row re-read in the second pass is tested again, so
// a change the point of sale committed in between is seen, not half-seen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet::sql {

struct ScanRequest {
  std::string table;
  std::vector<int> columns;       // schema positions, by slot
  std::vector<bool> filterSlots;  // slots the filter reads (same size as columns)
  // Whether a row may pass; reads only filter slots. Empty: every row passes.
  std::function<Result<bool>(const std::vector<Value>& row)> filter;
};

// Calls `emit` with each row that passes the filter, values by slot.
Status scanTable(Database& db, const ScanRequest& request,
                 const std::function<Status(RowId, const std::vector<Value>& row)>& emit);

// The same, for the rows `lookups` find through the table's indexes (in the
// order a scan meets them). False, having emitted nothing, when the indexes
// can't answer: scan the table instead.
Result<bool> seekTable(Database& db, const ScanRequest& request,
                       const std::vector<IndexLookup>& lookups,
                       const std::function<Status(RowId, const std::vector<Value>& row)>& emit);

}  // namespace jet::sql
