// INSERT, UPDATE, DELETE and CREATE TABLE.
//
// Each statement is all or nothing: it opens a transaction level of its own
// and rolls it back on the first failure, so an update that fails on its
// tenth row leaves the first nine as they were. UPDATE and DELETE find their
// rows first and write after the read is over, since a write invalidates an
// open cursor; every new value is computed from the row as it was read.
// The rows are looked up through an index when the WHERE allows it, as for
// SELECT (index_plan.h).
#include <algorithm>

#include "jet/sql/binder.h"
#include "jet/sql/errors.h"
#include "jet/sql/eval.h"
#include "jet/sql/executor.h"
#include "jet/sql/index_plan.h"
#include "jet/sql/subquery.h"
#include "jet/sql/table_scan.h"
#include "jet/sql/value_ops.h"
#include "jet/text.h"

namespace jet::sql {

namespace {

struct Found {
  RowId id;
  std::vector<Value> row;
};

// The rows of `table` that `where` picks (all when null), values by the binding's slots.
Result<std::vector<Found>> findRows(ExecContext& ctx, const std::string& table, Binding& binding,
                                    Expr* where) {
  ScanRequest request;
  request.table = table;
  request.columns = binding.columns;
  request.filterSlots.assign(request.columns.size(), false);
  if (where) {
    forEachPlainColumn(
        *where, [&](const Expr& c) { request.filterSlots[static_cast<size_t>(c.slot)] = true; });
    request.filter = [&](const std::vector<Value>& row) {
      return holds(*where, rowContext(ctx, &row));
    };
  }
  std::vector<Found> found;
  auto collect = [&](RowId id, const std::vector<Value>& row) {
    found.push_back(Found{id, row});
    return Status::ok();
  };
  // A kitchen mark names its line by its number: look it up in the index.
  if (where) {
    std::vector<Expr*> list;
    conjuncts(*where, list);
    IndexPlanRequest plan;
    plan.table = table;
    plan.schema = binding.schema;
    plan.binding = &binding;
    plan.params = &ctx.params;
    plan.shared.assign(list.begin(), list.end());
    auto lookups = chooseIndexLookups(ctx.db, plan);
    if (!lookups) return lookups.status();
    if (*lookups) {
      auto done = seekTable(ctx.db, request, **lookups, collect);
      if (!done) return done.status();
      if (*done) return found;
    }
  }
  Status s = scanTable(ctx.db, request, collect);
  if (!s) return s;
  return found;
}

}  // namespace

Result<StatementResult> runInsert(Insert& ins, ExecContext& ctx, Value* newIdentity) {
  auto schema = findTable(ctx.db, ins.table);
  if (!schema) return schema.status();
  const TableSchema& t = schema.value();
  std::vector<int> targets;
  if (ins.columns.empty()) {
    for (size_t c = 0; c < t.columns.size(); ++c) targets.push_back(static_cast<int>(c));
  } else {
    for (const auto& name : ins.columns) {
      int c = t.findColumn(name);
      if (c < 0) return errors::unknownDestinationColumn(name);
      if (std::find(targets.begin(), targets.end(), c) != targets.end())
        return errors::syntax("INSERT INTO");
      targets.push_back(c);
    }
  }
  if (targets.size() != ins.values.size()) return errors::valueCountMismatch();

  Binding none;
  BindOptions options{t.name, "", nullptr, ""};
  std::vector<Value> row(t.columns.size());
  EvalContext ev = rowContext(ctx, nullptr);
  for (size_t i = 0; i < targets.size(); ++i) {
    JET_TRY(bindExpr(*ins.values[i], none, options));
    auto v = evaluate(*ins.values[i], ev);
    if (!v) return v.status();
    const ColumnDef& def = t.columns[static_cast<size_t>(targets[i])];
    auto stored = convertForColumn(v.value(), def, ctx.textBytesPerChar);
    if (!stored) return stored.status();
    row[static_cast<size_t>(targets[i])] = std::move(stored.value());
  }
  for (size_t c = 0; c < t.columns.size(); ++c) {
    if (t.columns[c].required && !t.columns[c].autoNumber && row[c].isNull())
      return errors::requiredNull(t.columns[c].name);
  }
  bool hasAutoNumber = std::any_of(t.columns.begin(), t.columns.end(), [](const ColumnDef& c) {
    return c.autoNumber && c.type == ColumnType::Long;
  });
  int32_t autoNumber = 0;
  Status s = transaction(ctx.db, [&]() -> Status {
    auto placed = ctx.db.insertRow(t.name, std::move(row), &autoNumber);
    return placed.status();
  });
  if (!s) return s;
  if (hasAutoNumber && newIdentity) *newIdentity = Value::longValue(autoNumber);
  StatementResult r;
  r.rowsAffected = 1;
  return r;
}

namespace {

// Inside a write's lock: the WHERE's subqueries resolved, the WHERE bound,
// and the rows it keeps.
Result<std::vector<Found>> findWhere(ExecContext& ctx, const TableSchema& t, Binding& binding,
                                     const BindOptions& options, Expr* where) {
  if (where) JET_TRY(resolveSubqueries(*where, ctx));
  if (where) JET_TRY(bindExpr(*where, binding, options));
  return findRows(ctx, t.name, binding, where);
}

StatementResult rowsAffected(size_t n) {
  StatementResult r;
  r.rowsAffected = static_cast<int64_t>(n);
  return r;
}

}  // namespace

Result<StatementResult> runUpdate(Update& up, ExecContext& ctx) {
  auto schema = findTable(ctx.db, up.table);
  if (!schema) return schema.status();
  const TableSchema& t = schema.value();
  Binding binding;
  binding.schema = &t;
  BindOptions options{t.name, "", nullptr, "WHERE"};
  std::vector<int> targets;
  for (auto& a : up.assignments) {
    int c = t.findColumn(a.column);
    if (c < 0) return errors::missingParameter();
    if (t.columns[static_cast<size_t>(c)].autoNumber) return errors::syntax("UPDATE");
    targets.push_back(c);
    JET_TRY(bindExpr(*a.value, binding, options));
  }
  // The rows are found, read and written under the one write lock: a row
  // another process changed, deleted, or put in a place freed meanwhile is
  // never the one written.
  size_t affected = 0;
  Status s = transaction(ctx.db, [&]() -> Status {
    auto found = findWhere(ctx, t, binding, options, up.where.get());
    if (!found) return found.status();
    // Every new value first, from the rows as read; then the writes.
    std::vector<std::vector<std::pair<int, Value>>> changes;
    changes.reserve(found.value().size());
    for (const Found& f : found.value()) {
      EvalContext ev = rowContext(ctx, &f.row);
      std::vector<std::pair<int, Value>> change;
      for (size_t i = 0; i < up.assignments.size(); ++i) {
        auto v = evaluate(*up.assignments[i].value, ev);
        if (!v) return v.status();
        auto stored = convertForColumn(v.value(), t.columns[static_cast<size_t>(targets[i])],
                                       ctx.textBytesPerChar);
        if (!stored) return stored.status();
        const ColumnDef& def = t.columns[static_cast<size_t>(targets[i])];
        if (def.required && stored.value().isNull()) return errors::requiredNull(def.name);
        change.emplace_back(targets[i], std::move(stored.value()));
      }
      changes.push_back(std::move(change));
    }
    for (size_t i = 0; i < changes.size(); ++i) {
      auto placed = ctx.db.updateRow(t.name, found.value()[i].id, changes[i]);
      if (!placed) return placed.status();
    }
    affected = changes.size();
    return Status::ok();
  });
  if (!s) return s;
  return rowsAffected(affected);
}

Result<StatementResult> runDelete(Delete& del, ExecContext& ctx) {
  auto schema = findTable(ctx.db, del.table);
  if (!schema) return schema.status();
  const TableSchema& t = schema.value();
  Binding binding;
  binding.schema = &t;
  BindOptions options{t.name, "", nullptr, "WHERE"};
  // Found and deleted under the one write lock, as for an update.
  size_t affected = 0;
  Status s = transaction(ctx.db, [&]() -> Status {
    auto found = findWhere(ctx, t, binding, options, del.where.get());
    if (!found) return found.status();
    for (const Found& f : found.value()) JET_TRY(ctx.db.deleteRow(t.name, f.id));
    affected = found.value().size();
    return Status::ok();
  });
  if (!s) return s;
  return rowsAffected(affected);
}

Result<StatementResult> runCreateTable(CreateTable& ct, ExecContext& ctx) {
  auto names = ctx.db.tableNames(true);
  if (!names) return names.status();
  for (const auto& n : names.value())
    if (equalsIgnoreCase(n, ct.schema.name)) return errors::tableExists(ct.schema.name);
  Status s = transaction(ctx.db, [&]() { return ctx.db.createTable(ct.schema); });
  if (!s) return s;
  return StatementResult{};
}

}  // namespace jet::sql
