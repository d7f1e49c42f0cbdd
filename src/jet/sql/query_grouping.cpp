// A branch's rows after its table is read: the branch's own conditions,
// then either the output row at once or, for a grouped branch, the group
// its key names and that group's aggregates (MIN MAX SUM COUNT AVG FIRST
// LAST, with the Access engine's result types), turned into output rows
// once every row has been offered.
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

}  // namespace

Status Accumulator::add(const Value& v) {
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
  if (w && !wholeOverflow && __builtin_add_overflow(wholeSum, *w, &wholeSum)) wholeOverflow = true;
  return Status::ok();
}

Value Accumulator::result() const {
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

}  // namespace jet::sql::query
