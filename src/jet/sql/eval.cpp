// Expression evaluation; see eval.h. AND and OR stop at the first operand
// that decides them, so a costly test after a cheap one runs only when it
// matters.
#include "jet/sql/eval.h"

#include "jet/sql/collation.h"
#include "jet/sql/errors.h"
#include "jet/sql/functions.h"
#include "jet/sql/value_ops.h"
#include "jet/text.h"

namespace jet::sql {

namespace {

// The operand's value without copying when it is a column or a literal.
Result<const Value*> operand(const Expr& e, const EvalContext& ctx, Value& scratch) {
  if (e.kind == ExprKind::Column) return &(*ctx.row)[static_cast<size_t>(e.slot)];
  if (e.kind == ExprKind::Literal) return &e.value;
  auto v = evaluate(e, ctx);
  if (!v) return v.status();
  scratch = std::move(v.value());
  return &scratch;
}

Result<Value> comparison(const std::string& op, const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return Value();
  auto c = compare(a, b);
  if (!c) return c.status();
  int r = c.value();
  bool t = op == "="    ? r == 0
           : op == "<>" ? r != 0
           : op == "<"  ? r < 0
           : op == ">"  ? r > 0
           : op == "<=" ? r <= 0
                        : r >= 0;
  return Value::boolean(t);
}

}  // namespace

Result<Value> evaluate(const Expr& e, const EvalContext& ctx) {
  switch (e.kind) {
    case ExprKind::Literal: return e.value;
    case ExprKind::Parameter:
      if (!ctx.params || e.index >= static_cast<int>(ctx.params->size()))
        return errors::missingParameter();
      return (*ctx.params)[static_cast<size_t>(e.index)];
    case ExprKind::Identity: return ctx.identity;
    case ExprKind::Column:
      if (!ctx.row || e.slot < 0 || e.slot >= static_cast<int>(ctx.row->size()))
        return errors::missingParameter();
      return (*ctx.row)[static_cast<size_t>(e.slot)];
    case ExprKind::Star: return Value::boolean(true);
    case ExprKind::Aggregate:
      if (!ctx.aggregates || e.slot < 0 || e.slot >= static_cast<int>(ctx.aggregates->size()))
        return errors::aggregateInWhere(e.text);
      return (*ctx.aggregates)[static_cast<size_t>(e.slot)];
    case ExprKind::Unary: {
      auto v = evaluate(*e.args[0], ctx);
      if (!v) return v;
      if (e.op == "NOT") {
        auto l = logicalOf(v.value());
        return truth(l ? std::optional<bool>(!*l) : std::nullopt);
      }
      if (e.op == "-") return negate(v.value());
      if (v.value().isText() || v.value().isNull()) return v;
      if (!numberOf(v.value())) return errors::typeMismatch();
      return v;
    }
    case ExprKind::Binary: {
      const std::string& op = e.op;
      if (op == "AND" || op == "OR") {
        auto a = evaluate(*e.args[0], ctx);
        if (!a) return a;
        auto la = logicalOf(a.value());
        if (op == "AND" && la && !*la) return Value::boolean(false);
        if (op == "OR" && la && *la) return Value::boolean(true);
        auto b = evaluate(*e.args[1], ctx);
        if (!b) return b;
        auto lb = logicalOf(b.value());
        if (op == "AND") {
          if (lb && !*lb) return Value::boolean(false);
          if (!la || !lb) return Value();
          return Value::boolean(true);
        }
        if (lb && *lb) return Value::boolean(true);
        if (!la || !lb) return Value();
        return Value::boolean(false);
      }
      Value sa, sb;
      auto a = operand(*e.args[0], ctx, sa);
      if (!a) return a.status();
      auto b = operand(*e.args[1], ctx, sb);
      if (!b) return b.status();
      const Value& x = *a.value();
      const Value& y = *b.value();
      if (op == "XOR") {
        auto lx = logicalOf(x), ly = logicalOf(y);
        if (!lx || !ly) return Value();
        return Value::boolean(*lx != *ly);
      }
      if (op == "LIKE") {
        if (x.isNull() || y.isNull()) return Value();
        bool m = likeMatches(textOf(x), textOf(y));
        return Value::boolean(m != e.negated);
      }
      if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=")
        return comparison(op, x, y);
      return arithmetic(op, x, y);
    }
    case ExprKind::IsNull: {
      Value s;
      auto v = operand(*e.args[0], ctx, s);
      if (!v) return v.status();
      return Value::boolean(v.value()->isNull() != e.negated);
    }
    case ExprKind::Between: {
      Value s0, s1, s2;
      auto v = operand(*e.args[0], ctx, s0);
      if (!v) return v.status();
      auto lo = operand(*e.args[1], ctx, s1);
      if (!lo) return lo.status();
      auto hi = operand(*e.args[2], ctx, s2);
      if (!hi) return hi.status();
      auto ge = comparison(">=", *v.value(), *lo.value());
      if (!ge) return ge;
      auto le = comparison("<=", *v.value(), *hi.value());
      if (!le) return le;
      auto l1 = logicalOf(ge.value()), l2 = logicalOf(le.value());
      std::optional<bool> r;
      if ((l1 && !*l1) || (l2 && !*l2))
        r = false;
      else if (l1 && l2)
        r = true;
      if (r && e.negated) r = !*r;
      return truth(r);
    }
    case ExprKind::In: {
      Value s;
      auto v = operand(*e.args[0], ctx, s);
      if (!v) return v.status();
      if (v.value()->isNull()) return Value();
      bool sawNull = false;
      for (size_t i = 1; i < e.args.size(); ++i) {
        Value si;
        auto item = operand(*e.args[i], ctx, si);
        if (!item) return item.status();
        if (item.value()->isNull()) {
          sawNull = true;
          continue;
        }
        auto c = compare(*v.value(), *item.value());
        if (!c) return c.status();
        if (c.value() == 0) return Value::boolean(!e.negated);
      }
      if (sawNull) return Value();
      return Value::boolean(e.negated);
    }
    case ExprKind::Call: {
      if (e.args.size() == 3 && equalsIgnoreCase(e.name, "IIF")) {
        auto c = evaluate(*e.args[0], ctx);
        if (!c) return c;
        return evaluate(*e.args[isTrue(c.value()) ? 1 : 2], ctx);
      }
      std::vector<Value> args;
      args.reserve(e.args.size());
      for (const auto& a : e.args) {
        auto v = evaluate(*a, ctx);
        if (!v) return v;
        args.push_back(std::move(v.value()));
      }
      return callFunction(e.name, args);
    }
  }
  return errors::syntax("");
}

Result<bool> holds(const Expr& e, const EvalContext& ctx) {
  auto v = evaluate(e, ctx);
  if (!v) return v.status();
  return isTrue(v.value());
}

}  // namespace jet::sql
