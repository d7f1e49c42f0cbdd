// CREATE INDEX, DROP INDEX, DROP TABLE and ALTER TABLE ... ADD: each finds
// its table (the provider's "table not found" error when it can't), turns
// the names of the statement into the table's columns, and hands the change
// to the database inside a transaction level of its own, so a change the
// database refuses halfway (a duplicate key in the rows a new unique index
// covers) leaves the table as it was.
#include "jet/sql/errors.h"
#include "jet/sql/executor.h"

namespace jet::sql {

namespace {

template <class F>
Result<StatementResult> changeDefinition(Database& db, F change) {
  JET_TRY(transaction(db, change));
  return StatementResult{};
}

}  // namespace

Result<StatementResult> runCreateIndex(CreateIndex& ci, ExecContext& ctx) {
  auto schema = findTable(ctx.db, ci.table);
  if (!schema) return schema.status();
  IndexDef index = ci.index;
  for (size_t i = 0; i < ci.columns.size(); ++i) {
    int at = schema->findColumn(ci.columns[i]);
    if (at < 0) return errors::noField(ci.columns[i], schema->name);
    index.columns[i].column = at;
  }
  return changeDefinition(ctx.db, [&] { return ctx.db.createIndex(schema->name, index); });
}

Result<StatementResult> runDropIndex(DropIndex& di, ExecContext& ctx) {
  auto schema = findTable(ctx.db, di.table);
  if (!schema) return schema.status();
  return changeDefinition(ctx.db, [&] { return ctx.db.dropIndex(schema->name, di.index); });
}

Result<StatementResult> runDropTable(DropTable& dt, ExecContext& ctx) {
  auto schema = findTable(ctx.db, dt.table);
  if (!schema) return schema.status();
  return changeDefinition(ctx.db, [&] { return ctx.db.dropTable(schema->name); });
}

Result<StatementResult> runAddColumn(AddColumn& ac, ExecContext& ctx) {
  auto schema = findTable(ctx.db, ac.table);
  if (!schema) return schema.status();
  return changeDefinition(ctx.db, [&] { return ctx.db.addColumn(schema->name, ac.column); });
}

}  // namespace jet::sql
