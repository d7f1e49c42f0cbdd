// SELECT and UNION: each branch bound (query_bind.cpp), each table read
// once for all the branches that name it (query_read.cpp), the rows grouped
// and produced (query_grouping.cpp) and put in order (query_output.cpp);
// then the branches joined, with UNION's duplicates removed and its ORDER
// BY, which names result columns, applied.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "jet/error_codes.h"
#include "jet/sql/binder.h"
#include "jet/sql/errors.h"
#include "jet/sql/eval.h"
#include "jet/sql/executor.h"
#include "jet/sql/index_plan.h"
#include "jet/sql/query_branch.h"
#include "jet/sql/subquery.h"
#include "jet/sql/table_scan.h"
#include "jet/sql/value_ops.h"
#include "jet/text.h"

namespace jet::sql {

using namespace query;

EvalContext rowContext(const ExecContext& ctx, const std::vector<Value>* row) {
  EvalContext e;
  e.row = row;
  e.params = &ctx.params;
  e.identity = ctx.identity;
  return e;
}

Result<TableSchema> findTable(Database& db, const std::string& name) {
  auto names = db.tableNames(true);
  if (!names) return names.status();
  for (const auto& n : names.value())
    if (equalsIgnoreCase(n, name)) return db.table(n);
  return errors::noTable(name);
}

Result<StatementResult> runQuery(Query& q, ExecContext& ctx) {
  for (Select& s : q.branches) JET_TRY(resolveSubqueries(s, ctx));
  const bool single = q.branches.size() == 1;
  std::vector<Branch> branches(q.branches.size());
  std::vector<std::unique_ptr<TableRead>> reads;
  Binding noTable;

  for (size_t i = 0; i < q.branches.size(); ++i) {
    Branch& br = branches[i];
    br.select = &q.branches[i];
    if (!br.hasTable()) {
      JET_TRY(bindBranch(br, noTable, "", ctx, single ? &q.orderBy : nullptr));
      continue;
    }
    TableRead* read = nullptr;
    for (auto& r : reads)
      if (equalsIgnoreCase(r->table, br.select->table)) read = r.get();
    if (!read) {
      auto schema = findTable(ctx.db, br.select->table);
      if (!schema) return schema.status();
      reads.push_back(std::make_unique<TableRead>());
      read = reads.back().get();
      read->table = schema.value().name;
      read->schema = std::move(schema.value());
      read->binding.schema = &read->schema;
    }
    JET_TRY(bindBranch(br, read->binding, read->table, ctx, single ? &q.orderBy : nullptr));
    read->branches.push_back(&br);
  }
  if (!single) {
    for (const Branch& br : branches)
      if (br.outputs.size() != branches[0].outputs.size()) return errors::unionColumnCount();
  }

  // Read: one scan per table, one empty row for a SELECT without FROM.
  for (auto& read : reads) JET_TRY(readTable(*read, ctx));
  static const std::vector<Value> kNoColumns;
  for (Branch& br : branches) {
    if (!br.hasTable()) JET_TRY(offer(br, kNoColumns, ctx));
    JET_TRY(finishGroups(br, ctx));
    if (br.select->distinct) removeDuplicates(br.rows);
    if (single) sortRows(br.rows, br.orderKeys);
    applyTop(br.rows, *br.select, single && !br.orderKeys.empty());
  }

  StatementResult result;
  result.returnsRows = true;
  result.columns = branches[0].columns;
  std::vector<OutRow> rows = std::move(branches[0].rows);
  for (size_t i = 1; i < branches.size(); ++i) {
    for (auto& r : branches[i].rows) rows.push_back(std::move(r));
    if (!q.unionAll[i - 1]) removeDuplicates(rows);
  }

  if (!single && !q.orderBy.empty()) {
    // ORDER BY of a UNION names the result's columns (or their positions).
    std::vector<OrderKey> keys;
    for (auto& item : q.orderBy) {
      OrderKey key;
      key.descending = item.descending;
      const Expr& e = *item.expr;
      if (e.kind == ExprKind::Literal && wholeOf(e.value)) {
        int64_t n = *wholeOf(e.value);
        if (n >= 1 && n <= static_cast<int64_t>(result.columns.size()))
          key.output = static_cast<int>(n - 1);
      } else if (e.kind == ExprKind::Column) {
        for (size_t c = 0; c < result.columns.size() && key.output < 0; ++c)
          if (equalsIgnoreCase(result.columns[c].name, e.name)) key.output = static_cast<int>(c);
      }
      if (key.output < 0) return errors::syntax("ORDER BY");
      keys.push_back(key);
    }
    for (auto& r : rows) {
      r.keys.clear();
      for (const auto& k : keys) r.keys.push_back(r.values[static_cast<size_t>(k.output)]);
    }
    sortRows(rows, keys);
  }

  result.rows.reserve(rows.size());
  for (auto& r : rows) result.rows.push_back(std::move(r.values));
  for (size_t c = 0; c < result.columns.size(); ++c) {
    if (result.columns[c].type != ValueType::Null) continue;
    for (const auto& r : result.rows) {
      if (!r[c].isNull()) {
        result.columns[c].type = r[c].type();
        break;
      }
    }
  }
  return result;
}

}  // namespace jet::sql
