// `IN (SELECT ...)`: the subquery runs once, before the statement around it
// reads its own table, and the values it answers then stand where a list
// would (so `x IN (SELECT ...)` means what `x IN (v1, v2, ...)` means, NULL
// included). The subquery reads its own table only: a name in it that is no
// column there is, as everywhere, a parameter without a value.
#pragma once

#include "jet/sql/ast.h"
#include "jet/sql/executor.h"

namespace jet::sql {

// Runs every subquery inside `e` (and nested in those) and puts its values
// in its place. A subquery must answer one column.
Status resolveSubqueries(Expr& e, ExecContext& ctx);
// The same for every expression of one SELECT.
Status resolveSubqueries(Select& s, ExecContext& ctx);

}  // namespace jet::sql
