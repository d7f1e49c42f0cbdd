// Choosing an index for the read of one table.
//
// A condition `column = constant` (either way round, or a `?` with its
// value) at the top AND level of a WHERE, on the leading column(s) of one of
// the table's indexes, lets the read look the rows up instead of reading the
// whole table. Branches of a UNION that read one table share that read:
// a condition all of them have gives one lookup for every branch; otherwise
// every branch needs one of its own, and the read looks up all of them at
// once. Among the lookups that would do, the one finding fewest rows wins,
// counted in the index itself (counting stops as soon as a lookup can no
// longer win); when every lookup finds more than a fair share of the table,
// reading the table is cheaper and no index is used.
//
// The rows an index finds are exactly the ones the index holds under the
// key; the executor tests the whole WHERE on each of them, as it would in a
// scan, so a lookup can only save work, never change the answer. Only
// comparisons whose SQL meaning matches the index's are used: text with
// text, whole numbers with whole numbers in the column's range, and the
// like; anything else leaves the table to be read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/sql/ast.h"
#include "jet/sql/binder.h"

namespace jet::sql {

struct IndexPlanRequest {
  std::string table;
  const TableSchema* schema = nullptr;
  const Binding* binding = nullptr;
  const std::vector<Value>* params = nullptr;
  std::vector<const Expr*> shared;                    // conjuncts every branch has
  std::vector<std::vector<const Expr*>> ownByBranch;  // each branch's other conjuncts
};

// The lookups that find every row any branch can take, or nothing when the
// table is better read whole.
Result<std::optional<std::vector<IndexLookup>>> chooseIndexLookups(Database& db,
                                                                   const IndexPlanRequest& request);

// The value a key of `column` must hold for `column = constant` to be true
// in SQL, when the index compares that way too; nothing otherwise.
std::optional<Value> indexKeyValue(const ColumnDef& column, const Value& constant);

}  // namespace jet::sql
