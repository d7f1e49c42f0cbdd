// Running `IN (SELECT ...)` subqueries; see subquery.h.
#include "jet/sql/subquery.h"

#include "jet/error_codes.h"

namespace jet::sql {

Status resolveSubqueries(Expr& e, ExecContext& ctx) {
  for (auto& a : e.args)
    if (a) JET_TRY(resolveSubqueries(*a, ctx));
  if (e.kind != ExprKind::In || !e.subquery) return Status::ok();
  std::shared_ptr<Query> sub = std::move(e.subquery);
  auto answer = runQuery(*sub, ctx);
  if (!answer) return answer.status();
  if (answer->columns.size() != 1) {
    return Error{errc::kSyntax,
                 "Ha escrito una subconsulta que puede devolver más de un campo sin usar la "
                 "palabra reservada EXISTS en la cláusula FROM de la consulta principal. Revise "
                 "la instrucción SELECT de la subconsulta para solicitar un solo campo."};
  }
  for (auto& row : answer->rows) {
    auto item = std::make_unique<Expr>();
    item->kind = ExprKind::Literal;
    item->value = std::move(row[0]);
    e.args.push_back(std::move(item));
  }
  return Status::ok();
}

Status resolveSubqueries(Select& s, ExecContext& ctx) {
  for (auto& item : s.items)
    if (item.expr) JET_TRY(resolveSubqueries(*item.expr, ctx));
  if (s.where) JET_TRY(resolveSubqueries(*s.where, ctx));
  for (auto& g : s.groupBy) JET_TRY(resolveSubqueries(*g, ctx));
  if (s.having) JET_TRY(resolveSubqueries(*s.having, ctx));
  return Status::ok();
}

}  // namespace jet::sql
