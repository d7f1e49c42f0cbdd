// SELECT and UNION.
//
// Branches of a UNION that read the same table share one scan: each row is
// read once and offered to every branch. The conditions all branches share
// (the board's "DespCoc <> 'S' AND estado = 'Pendiente'") are tested once per
// row before any branch looks at it, so a board with forty tables costs about
// what a board with one costs. When an index can find the rows (see
// index_plan.h), the read looks them up instead of reading every row; the
// rows come in the same order and meet the same tests as in a scan. Grouped results come out in the
// order of their keys, as the Access engine returns them; ORDER BY then sorts stably, and TOP with
// ORDER BY keeps the rows tied with the last one taken.
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
#include "jet/sql/subquery.h"
#include "jet/sql/table_scan.h"
#include "jet/sql/value_ops.h"
#include "jet/text.h"

namespace jet::sql {

namespace {

ValueType valueTypeOf(ColumnType t) {
  switch (t) {
    case ColumnType::Boolean: return ValueType::Boolean;
    case ColumnType::Byte: return ValueType::Byte;
    case ColumnType::Integer: return ValueType::Integer;
    case ColumnType::Long: return ValueType::Long;
    case ColumnType::Currency: return ValueType::Currency;
    case ColumnType::Single: return ValueType::Single;
    case ColumnType::Double: return ValueType::Double;
    case ColumnType::DateTime:
    case ColumnType::ExtendedDateTime: return ValueType::DateTime;
    case ColumnType::Text:
    case ColumnType::Memo: return ValueType::Text;
    case ColumnType::Binary:
    case ColumnType::OLE: return ValueType::Binary;
    case ColumnType::Guid: return ValueType::Guid;
    case ColumnType::Numeric: return ValueType::Decimal;
    case ColumnType::BigInt: return ValueType::BigInt;
    default: return ValueType::Long;
  }
}

// One aggregate over one group.
struct Accumulator {
  std::string fn;  // MIN MAX SUM COUNT AVG FIRST LAST
  int64_t count = 0;
  bool whole = true, money = true, wholeOverflow = false;
  int64_t wholeSum = 0;
  double sum = 0;
  Value best, first, last;
  bool seen = false;

  Status add(const Value& v) {
    if (fn == "FIRST") {
      if (!seen) first = v;
      seen = true;
      return Status::ok();
    }
    if (fn == "LAST") {
      last = v;
      seen = true;
      return Status::ok();
    }
    if (v.isNull()) return Status::ok();
    ++count;
    if (fn == "COUNT") return Status::ok();
    if (fn == "MIN" || fn == "MAX") {
      if (!seen || (fn == "MIN" ? orderCompare(v, best) < 0 : orderCompare(v, best) > 0)) best = v;
      seen = true;
      return Status::ok();
    }
    auto n = numberOf(v);
    if (!n) return errors::typeMismatch();
    sum += *n;
    auto w = wholeOf(v);
    if (!w) whole = false;
    if (v.type() != ValueType::Currency && !w) money = false;
    if (w && !wholeOverflow && __builtin_add_overflow(wholeSum, *w, &wholeSum))
      wholeOverflow = true;
    return Status::ok();
  }

  Value result() const {
    if (fn == "COUNT")
      return Value::longValue(static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX)));
    if (fn == "FIRST") return first;
    if (fn == "LAST") return last;
    if (fn == "MIN" || fn == "MAX") return seen ? best : Value();
    if (count == 0) return Value();
    if (fn == "AVG") return Value::dbl(sum / static_cast<double>(count));
    if (whole && !wholeOverflow) return wholeNumber(wholeSum);
    if (money && std::fabs(sum) < 9.2e14)
      return Value::currency(Currency{std::llround(sum * 10000.0)});
    return Value::dbl(sum);
  }
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

EvalContext rowContext(const ExecContext& ctx, const std::vector<Value>* row) {
  EvalContext e;
  e.row = row;
  e.params = &ctx.params;
  e.identity = ctx.identity;
  return e;
}

Status bindBranch(Branch& br, Binding& binding, const std::string& table, ExecContext& ctx,
                  std::vector<OrderItem>* orderBy) {
  Select& s = *br.select;
  BindOptions plain{table, s.alias, nullptr, "WHERE"};
  BindOptions withAggregates{table, s.alias, &br.aggregates, ""};

  for (size_t i = 0; i < s.items.size(); ++i) {
    SelectItem& item = s.items[i];
    if (!item.expr) {
      if (!binding.schema) return errors::syntax("");
      for (size_t c = 0; c < binding.schema->columns.size(); ++c) {
        auto col = std::make_unique<Expr>();
        col->kind = ExprKind::Column;
        col->name = binding.schema->columns[c].name;
        col->text = col->name;
        col->slot = binding.slotOf(static_cast<int>(c));
        ResultColumn rc;
        rc.name = col->name;
        rc.columnType = binding.schema->columns[c].type;
        rc.type = valueTypeOf(rc.columnType);
        rc.size = binding.schema->columns[c].size;
        br.columns.push_back(rc);
        br.outputs.push_back(col.get());
        br.ownedOutputs.push_back(std::move(col));
      }
      continue;
    }
    JET_TRY(bindExpr(*item.expr, binding, withAggregates));
    ResultColumn rc;
    if (!item.alias.empty())
      rc.name = item.alias;
    else if (item.expr->kind == ExprKind::Column)
      rc.name = item.expr->name;
    else
      rc.name = "Expr" + std::to_string(1000 + i);
    if (item.expr->kind == ExprKind::Column) {
      const ColumnDef& def =
          binding.schema
              ->columns[static_cast<size_t>(binding.columns[static_cast<size_t>(item.expr->slot)])];
      rc.columnType = def.type;
      rc.type = valueTypeOf(def.type);
      rc.size = def.size;
    }
    br.columns.push_back(rc);
    br.outputs.push_back(item.expr.get());
  }
  if (s.where) JET_TRY(bindExpr(*s.where, binding, plain));
  BindOptions groupKeys{table, s.alias, nullptr, "GROUP BY"};
  for (auto& g : s.groupBy) JET_TRY(bindExpr(*g, binding, groupKeys));
  if (s.having) JET_TRY(bindExpr(*s.having, binding, withAggregates));

  // ORDER BY of a single SELECT: an output name or position, else an expression.
  if (orderBy) {
    for (auto& item : *orderBy) {
      OrderKey key;
      key.descending = item.descending;
      Expr& e = *item.expr;
      if (e.kind == ExprKind::Literal && wholeOf(e.value)) {
        int64_t n = *wholeOf(e.value);
        if (n < 1 || n > static_cast<int64_t>(br.outputs.size())) return errors::syntax("ORDER BY");
        key.output = static_cast<int>(n - 1);
      } else if (e.kind == ExprKind::Column && e.qualifier.empty() &&
                 (!binding.schema || binding.schema->findColumn(e.name) < 0)) {
        for (size_t i = 0; i < br.columns.size(); ++i)
          if (equalsIgnoreCase(br.columns[i].name, e.name)) key.output = static_cast<int>(i);
        if (key.output < 0) return errors::missingParameter();
      } else {
        JET_TRY(bindExpr(e, binding, withAggregates));
        key.expr = &e;
      }
      br.orderKeys.push_back(key);
    }
  }

  br.grouped = !s.groupBy.empty() || !br.aggregates.empty() || s.having;
  if (br.grouped) {
    // Outside aggregates, only the grouped columns can be shown.
    std::vector<int> groupSlots;
    std::vector<std::string> groupTexts;
    for (auto& g : s.groupBy) {
      if (g->kind == ExprKind::Column) groupSlots.push_back(g->slot);
      groupTexts.push_back(g->text);
    }
    auto check = [&](const Expr& e) -> Status {
      for (const auto& t : groupTexts)
        if (equalsIgnoreCase(t, e.text)) return Status::ok();
      Status result;
      forEachPlainColumn(e, [&](const Expr& c) {
        if (result && std::find(groupSlots.begin(), groupSlots.end(), c.slot) == groupSlots.end())
          result = errors::notInAggregate(c.text);
      });
      return result;
    };
    for (const Expr* o : br.outputs) JET_TRY(check(*o));
    if (s.having) JET_TRY(check(*s.having));
    for (const auto& k : br.orderKeys)
      if (k.expr) JET_TRY(check(*k.expr));
  }
  (void)ctx;
  return Status::ok();
}

Status finishRow(Branch& br, const EvalContext& ev) {
  OutRow out;
  out.values.reserve(br.outputs.size());
  for (const Expr* o : br.outputs) {
    auto v = evaluate(*o, ev);
    if (!v) return v.status();
    out.values.push_back(std::move(v.value()));
  }
  for (const auto& k : br.orderKeys) {
    if (k.output >= 0) {
      out.keys.push_back(out.values[static_cast<size_t>(k.output)]);
    } else {
      auto v = evaluate(*k.expr, ev);
      if (!v) return v.status();
      out.keys.push_back(std::move(v.value()));
    }
  }
  br.rows.push_back(std::move(out));
  return Status::ok();
}

// A row that passed the shared conditions, offered to one branch.
Status offer(Branch& br, const std::vector<Value>& row, const ExecContext& ctx) {
  EvalContext ev = rowContext(ctx, &row);
  for (Expr* c : br.conditions) {
    auto ok = holds(*c, ev);
    if (!ok) return ok.status();
    if (!ok.value()) return Status::ok();
  }
  if (!br.grouped) return finishRow(br, ev);

  std::vector<Value> key;
  key.reserve(br.select->groupBy.size());
  for (auto& g : br.select->groupBy) {
    auto v = evaluate(*g, ev);
    if (!v) return v.status();
    key.push_back(std::move(v.value()));
  }
  auto [it, fresh] = br.groupIndex.try_emplace(std::move(key), br.groups.size());
  if (fresh) {
    Group g;
    g.firstRow = row;
    for (Expr* a : br.aggregates) {
      Accumulator acc;
      std::string fn = a->name;
      for (auto& ch : fn) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      acc.fn = fn;
      g.accumulators.push_back(acc);
    }
    br.groups.push_back(std::move(g));
  }
  Group& g = br.groups[it->second];
  for (size_t i = 0; i < br.aggregates.size(); ++i) {
    const Expr& arg = *br.aggregates[i]->args[0];
    if (arg.kind == ExprKind::Star) {
      JET_TRY(g.accumulators[i].add(Value::boolean(true)));
      continue;
    }
    auto v = evaluate(arg, ev);
    if (!v) return v.status();
    JET_TRY(g.accumulators[i].add(v.value()));
  }
  return Status::ok();
}

Status finishGroups(Branch& br, const ExecContext& ctx) {
  if (!br.grouped) return Status::ok();
  // Aggregates without GROUP BY answer one row even over no rows.
  if (br.groups.empty() && br.select->groupBy.empty()) {
    Group g;
    for (Expr* a : br.aggregates) {
      Accumulator acc;
      for (char ch : a->name)
        acc.fn += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      g.accumulators.push_back(acc);
    }
    br.groups.push_back(std::move(g));
    br.groupIndex.emplace(std::vector<Value>{}, 0);
  }
  for (const auto& [key, index] : br.groupIndex) {
    Group& g = br.groups[index];
    std::vector<Value> results;
    for (const auto& acc : g.accumulators) results.push_back(acc.result());
    EvalContext ev = rowContext(ctx, &g.firstRow);
    ev.aggregates = &results;
    if (br.select->having) {
      auto ok = holds(*br.select->having, ev);
      if (!ok) return ok.status();
      if (!ok.value()) continue;
    }
    JET_TRY(finishRow(br, ev));
  }
  return Status::ok();
}

void sortRows(std::vector<OutRow>& rows, const std::vector<OrderKey>& keys) {
  if (keys.empty()) return;
  std::stable_sort(rows.begin(), rows.end(), [&](const OutRow& a, const OutRow& b) {
    for (size_t i = 0; i < keys.size(); ++i) {
      int c = orderCompare(a.keys[i], b.keys[i]);
      if (c != 0) return keys[i].descending ? c > 0 : c < 0;
    }
    return false;
  });
}

bool sameValues(const std::vector<Value>& a, const std::vector<Value>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (orderCompare(a[i], b[i]) != 0) return false;
  return true;
}

// Duplicates removed; what is left comes sorted by its values, as the
// Access engine's DISTINCT and UNION return it.
void removeDuplicates(std::vector<OutRow>& rows) {
  std::stable_sort(rows.begin(), rows.end(),
                   [](const OutRow& a, const OutRow& b) { return KeyLess()(a.values, b.values); });
  rows.erase(
      std::unique(rows.begin(), rows.end(),
                  [](const OutRow& a, const OutRow& b) { return sameValues(a.values, b.values); }),
      rows.end());
}

void applyTop(std::vector<OutRow>& rows, const Select& s, bool ordered) {
  if (!s.top) return;
  size_t n = s.topPercent
                 ? static_cast<size_t>(std::ceil(*s.top * static_cast<double>(rows.size()) / 100.0))
                 : static_cast<size_t>(*s.top);
  if (n >= rows.size()) return;
  if (n == 0) {
    rows.clear();
    return;
  }
  size_t keep = n;
  if (ordered) {
    while (keep < rows.size() && sameValues(rows[keep].keys, rows[n - 1].keys)) ++keep;
  }
  rows.resize(keep);
}

// Reads the rows of `read` that an index finds, when one pays: false (and
// nothing read) when the table is to be read whole instead.
Result<bool> readThroughIndex(TableRead& read, const ScanRequest& request, ExecContext& ctx,
                              const std::function<Status(RowId, const std::vector<Value>&)>& emit) {
  IndexPlanRequest plan;
  plan.table = read.table;
  plan.schema = &read.schema;
  plan.binding = &read.binding;
  plan.params = &ctx.params;
  plan.shared.assign(read.shared.begin(), read.shared.end());
  for (Branch* br : read.branches)
    plan.ownByBranch.emplace_back(br->conditions.begin(), br->conditions.end());
  auto lookups = chooseIndexLookups(ctx.db, plan);
  if (!lookups) return lookups.status();
  if (!*lookups) return false;
  return seekTable(ctx.db, request, **lookups, emit);
}

// Branches sharing a table: one read of it.
Status readTable(TableRead& read, ExecContext& ctx) {
  // Conditions every branch has: split off and tested first, once per row.
  std::vector<std::vector<Expr*>> lists;
  bool allFiltered = true;
  for (Branch* br : read.branches) {
    std::vector<Expr*> list;
    if (br->select->where)
      conjuncts(*br->select->where, list);
    else
      allFiltered = false;
    lists.push_back(std::move(list));
  }
  if (allFiltered && !lists.empty()) {
    for (Expr* candidate : lists[0]) {
      bool everywhere = true;
      for (size_t b = 1; b < lists.size() && everywhere; ++b) {
        everywhere = std::any_of(lists[b].begin(), lists[b].end(), [&](Expr* e) {
          return equalsIgnoreCase(e->text, candidate->text);
        });
      }
      if (everywhere) read.shared.push_back(candidate);
    }
  }
  for (size_t b = 0; b < read.branches.size(); ++b) {
    for (Expr* c : lists[b]) {
      bool isShared = std::any_of(read.shared.begin(), read.shared.end(),
                                  [&](Expr* e) { return equalsIgnoreCase(e->text, c->text); });
      if (!isShared) read.branches[b]->conditions.push_back(c);
    }
  }

  ScanRequest request;
  request.table = read.table;
  request.columns = read.binding.columns;
  request.filterSlots.assign(request.columns.size(), false);
  bool everyBranchFiltered = allFiltered;
  for (Branch* br : read.branches) {
    if (br->select->where)
      forEachPlainColumn(*br->select->where, [&](const Expr& c) {
        request.filterSlots[static_cast<size_t>(c.slot)] = true;
      });
  }
  if (everyBranchFiltered) {
    request.filter = [&](const std::vector<Value>& row) -> Result<bool> {
      EvalContext ev = rowContext(ctx, &row);
      for (Expr* c : read.shared) {
        auto ok = holds(*c, ev);
        if (!ok || !ok.value()) return ok;
      }
      for (Branch* br : read.branches) {
        bool all = true;
        for (Expr* c : br->conditions) {
          auto ok = holds(*c, ev);
          if (!ok) return ok;
          if (!ok.value()) {
            all = false;
            break;
          }
        }
        if (all) return true;
      }
      return false;
    };
  }
  auto emit = [&](RowId, const std::vector<Value>& row) -> Status {
    for (Branch* br : read.branches) JET_TRY(offer(*br, row, ctx));
    return Status::ok();
  };
  if (everyBranchFiltered) {
    auto found = readThroughIndex(read, request, ctx, emit);
    if (!found) return found.status();
    if (*found) return Status::ok();
  }
  return scanTable(ctx.db, request, emit);
}

}  // namespace

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
