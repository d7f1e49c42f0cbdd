// Binding one SELECT of a statement to its table: the select list (`*`
// spelled out into the table's columns, with their result types), the
// conditions split into conjuncts, GROUP BY and the aggregates, and the
// ORDER BY keys of a single SELECT, each checked against the grouping.
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

namespace jet::sql::query {

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

}  // namespace

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

}  // namespace jet::sql::query
