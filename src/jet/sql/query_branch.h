// The pieces of running a SELECT, shared by the files that bind a branch
// (query_bind.cpp), read its table (query_read.cpp), group and produce its
// rows (query_grouping.cpp) and order, de-duplicate and cut them
// (query_output.cpp); query_exec.cpp puts them together. Internal to the
// SQL layer.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/sql/binder.h"
#include "jet/sql/eval.h"
#include "jet/sql/executor.h"
#include "jet/sql/value_ops.h"

namespace jet::sql::query {

struct Accumulator {
  std::string fn;  // MIN MAX SUM COUNT AVG FIRST LAST
  int64_t count = 0;
  bool whole = true, money = true, wholeOverflow = false;
  int64_t wholeSum = 0;
  double sum = 0;
  Value best, first, last;
  bool seen = false;

  // Takes one row's value of the aggregate's argument.
  Status add(const Value& v);
  // The aggregate over the values added so far.
  Value result() const;
};

struct OutRow {
  std::vector<Value> values;
  std::vector<Value> keys;  // ORDER BY keys, for a single SELECT
};

struct KeyLess {
  bool operator()(const std::vector<Value>& a, const std::vector<Value>& b) const {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      int c = orderCompare(a[i], b[i]);
      if (c != 0) return c < 0;
    }
    return a.size() < b.size();
  }
};

struct OrderKey {
  const Expr* expr = nullptr;  // evaluated on the source row or group
  int output = -1;             // or taken from this output column
  bool descending = false;
};

struct Group {
  std::vector<Value> firstRow;
  std::vector<Accumulator> accumulators;
};

// One SELECT of the statement, bound and ready to receive rows.
struct Branch {
  Select* select = nullptr;
  std::vector<const Expr*> outputs;
  std::vector<ExprPtr> ownedOutputs;  // the columns `*` stands for
  std::vector<ResultColumn> columns;
  std::vector<Expr*> aggregates;
  bool grouped = false;
  std::vector<Expr*> conditions;  // this branch's own conjuncts (after the shared ones)
  std::vector<OrderKey> orderKeys;
  std::vector<OutRow> rows;
  std::map<std::vector<Value>, size_t, KeyLess> groupIndex;
  std::vector<Group> groups;
  bool hasTable() const { return !select->table.empty(); }
};

// The branches that read one table, with what they share.
struct TableRead {
  std::string table;
  TableSchema schema;
  Binding binding;
  std::vector<Branch*> branches;
  std::vector<Expr*> shared;  // conjuncts every branch's WHERE has
};

// --- binding (query_bind.cpp) ---
// Binds a branch's select list, conditions, grouping and (for a single
// SELECT) `orderBy` against `binding`.
Status bindBranch(Branch& br, Binding& binding, const std::string& table, ExecContext& ctx,
                  std::vector<OrderItem>* orderBy);

// --- reading (query_read.cpp) ---
// Branches sharing a table: one read of it.
Status readTable(TableRead& read, ExecContext& ctx);

// --- grouping (query_grouping.cpp) ---
// A row that passed the shared conditions, offered to one branch.
Status offer(Branch& br, const std::vector<Value>& row, const ExecContext& ctx);
// The groups of a grouped branch turned into its output rows.
Status finishGroups(Branch& br, const ExecContext& ctx);

// --- output (query_output.cpp) ---
void sortRows(std::vector<OutRow>& rows, const std::vector<OrderKey>& keys);
// Duplicates removed; what is left comes sorted by its values, as the
// Access engine's DISTINCT and UNION return it.
void removeDuplicates(std::vector<OutRow>& rows);
void applyTop(std::vector<OutRow>& rows, const Select& s, bool ordered);

}  // namespace jet::sql::query
