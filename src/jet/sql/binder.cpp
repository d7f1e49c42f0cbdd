// Name binding; see binder.h.
#include "jet/sql/binder.h"

#include "jet/sql/errors.h"
#include "jet/sql/functions.h"
#include "jet/text.h"

namespace jet::sql {

int Binding::slotOf(int column) {
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i] == column) return static_cast<int>(i);
  columns.push_back(column);
  return static_cast<int>(columns.size() - 1);
}

Status bindExpr(Expr& e, Binding& b, const BindOptions& o, bool insideAggregate) {
  switch (e.kind) {
    case ExprKind::Column: {
      bool qualifierOk = e.qualifier.empty() || equalsIgnoreCase(e.qualifier, o.table) ||
                         (!o.alias.empty() && equalsIgnoreCase(e.qualifier, o.alias));
      int col = (b.schema && qualifierOk) ? b.schema->findColumn(e.name) : -1;
      if (col < 0) {
        // Now, Date and Time may be written without parentheses.
        if (e.qualifier.empty() &&
            (equalsIgnoreCase(e.name, "NOW") || equalsIgnoreCase(e.name, "DATE") ||
             equalsIgnoreCase(e.name, "TIME"))) {
          e.kind = ExprKind::Call;
          return Status::ok();
        }
        return errors::missingParameter();
      }
      e.slot = b.slotOf(col);
      return Status::ok();
    }
    case ExprKind::Aggregate: {
      if (insideAggregate || !o.aggregates) {
        if (std::string(o.clause) == "WHERE") return errors::aggregateInWhere(e.text);
        return errors::syntaxInExpression(e.text);
      }
      if (e.args.size() != 1) return errors::wrongArgumentCount(e.name);
      if (e.args[0]->kind == ExprKind::Star && !equalsIgnoreCase(e.name, "COUNT"))
        return errors::syntaxInExpression(e.text);
      if (e.args[0]->kind != ExprKind::Star) JET_TRY(bindExpr(*e.args[0], b, o, true));
      e.slot = static_cast<int>(o.aggregates->size());
      o.aggregates->push_back(&e);
      return Status::ok();
    }
    case ExprKind::Call: JET_TRY(checkFunction(e.name, e.args.size())); break;
    case ExprKind::Star: return errors::syntaxInExpression(e.text);
    default: break;
  }
  for (auto& a : e.args) JET_TRY(bindExpr(*a, b, o, insideAggregate));
  return Status::ok();
}

void forEachPlainColumn(const Expr& e, const std::function<void(const Expr&)>& f) {
  if (e.kind == ExprKind::Aggregate) return;
  if (e.kind == ExprKind::Column) f(e);
  for (const auto& a : e.args) forEachPlainColumn(*a, f);
}

void conjuncts(Expr& e, std::vector<Expr*>& out) {
  if (e.kind == ExprKind::Binary && e.op == "AND") {
    conjuncts(*e.args[0], out);
    conjuncts(*e.args[1], out);
    return;
  }
  out.push_back(&e);
}

}  // namespace jet::sql
