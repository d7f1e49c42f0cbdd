// The parsed form of a statement: a tree the executor walks.
//
// Expressions are one node type with a kind, so the executor's evaluation is
// one switch. Column references are resolved by the executor against the
// table the statement reads (`slot`), so a tree is parsed once per execution
// and bound once; nothing in it points into the database.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"

namespace jet::sql {

enum class ExprKind {
  Literal,    // value
  Parameter,  // `?`, index = its position among the statement's marks
  Identity,   // @@IDENTITY
  Column,     // name (and qualifier); slot after binding
  Star,       // `*` inside Count(*)
  Unary,      // op: "-", "+", "NOT"
  Binary,     // op: arithmetic, comparison, "AND", "OR", "XOR", "&", "MOD", "LIKE"
  IsNull,     // args[0] IS [NOT] NULL; negated
  Between,    // args[0] [NOT] BETWEEN args[1] AND args[2]
  In,         // args[0] [NOT] IN (args[1..]) or IN (subquery)
  Call,       // name(args): a scalar function
  Aggregate,  // name(args) of Min, Max, Sum, Count, Avg, First, Last; slot = accumulator
};

struct Query;

struct Expr {
  ExprKind kind = ExprKind::Literal;
  std::string op;         // operator in upper case
  std::string name;       // column or function name as written
  std::string qualifier;  // table or alias before a '.'
  Value value;            // Literal
  bool negated = false;   // NOT LIKE, NOT BETWEEN, NOT IN, IS NOT NULL
  int index = 0;          // Parameter
  int slot = -1;          // Column: position in the row read; Aggregate: accumulator
  std::vector<std::unique_ptr<Expr>> args;
  std::string text;  // the expression as written, for messages and default names
  // In: `IN (SELECT ...)`; run once before the statement reads its table,
  // its answer then takes the place of a list (see subquery.h).
  std::shared_ptr<Query> subquery;
};
using ExprPtr = std::unique_ptr<Expr>;

struct SelectItem {
  ExprPtr expr;  // null for `*`
  std::string alias;
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

struct Select {
  bool distinct = false;
  std::optional<double> top;  // TOP n
  bool topPercent = false;
  std::vector<SelectItem> items;
  std::string table;  // empty: SELECT without FROM
  std::string alias;
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  ExprPtr having;
};

// One SELECT or a chain of them joined by UNION [ALL], with the ORDER BY
// that applies to the whole result.
struct Query {
  std::vector<Select> branches;
  std::vector<bool> unionAll;  // unionAll[i]: how branch i+1 joins the ones before
  std::vector<OrderItem> orderBy;
};

struct Insert {
  std::string table;
  std::vector<std::string> columns;  // empty: every column in order
  std::vector<ExprPtr> values;
};

struct Assignment {
  std::string column;
  ExprPtr value;
};

struct Update {
  std::string table;
  std::vector<Assignment> assignments;
  ExprPtr where;
};

struct Delete {
  std::string table;
  ExprPtr where;
};

struct CreateTable {
  TableSchema schema;
};

// CREATE INDEX, and ALTER TABLE ... ADD CONSTRAINT: the index's columns by
// name (`index.columns` gives their directions), found in the table when
// the statement runs.
struct CreateIndex {
  std::string table;
  IndexDef index;
  std::vector<std::string> columns;
};

struct DropIndex {
  std::string table;
  std::string index;
};

struct DropTable {
  std::string table;
};

// ALTER TABLE ... ADD [COLUMN].
struct AddColumn {
  std::string table;
  ColumnDef column;
};

enum class StatementKind {
  Query,
  Insert,
  Update,
  Delete,
  CreateTable,
  CreateIndex,
  DropIndex,
  DropTable,
  AddColumn
};

struct Statement {
  StatementKind kind = StatementKind::Query;
  Query query;
  Insert insert;
  Update update;
  Delete del;
  CreateTable create;
  CreateIndex createIndex;
  DropIndex dropIndex;
  DropTable dropTable;
  AddColumn addColumn;
  int parameterCount = 0;
};

}  // namespace jet::sql
