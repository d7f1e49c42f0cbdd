// Binding: ties the column names of a statement to the table it reads.
//
// A Binding belongs to one table read. Every column a bound expression
// mentions gets a slot; the scan decodes only the slotted columns, in slot
// order. Names compare case-insensitively; a name that is no column of the
// table is, as in the Access engine, a parameter without a value.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "jet/schema.h"
#include "jet/sql/ast.h"
#include "jet/status.h"

namespace jet::sql {

struct Binding {
  const TableSchema* schema = nullptr;  // null: a SELECT without FROM
  std::vector<int> columns;             // schema positions, by slot

  int slotOf(int column);
};

struct BindOptions {
  std::string table;  // the names a qualifier may use
  std::string alias;
  // Where aggregates found go (their slot is their index here); null: none allowed.
  std::vector<Expr*>* aggregates = nullptr;
  const char* clause = "";  // for the message of a misplaced aggregate
};

Status bindExpr(Expr& e, Binding& b, const BindOptions& options, bool insideAggregate = false);

// Calls f on every Column node outside aggregates.
void forEachPlainColumn(const Expr& e, const std::function<void(const Expr&)>& f);
// The conjuncts of an AND chain, in order.
void conjuncts(Expr& e, std::vector<Expr*>& out);

}  // namespace jet::sql
