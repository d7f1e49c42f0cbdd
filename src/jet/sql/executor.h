// Running parsed statements over a Database. The Session (session.h) owns
// the parse and the identity; these functions do the work of each kind.
#pragma once

#include <vector>

#include "jet/database.h"
#include "jet/sql/ast.h"
#include "jet/sql/eval.h"
#include "jet/sql/session.h"

namespace jet::sql {

struct ExecContext {
  Database& db;
  const std::vector<Value>& params;
  Value identity;  // what @@IDENTITY answers now
  int textBytesPerChar = 2;
};

Result<StatementResult> runQuery(Query& q, ExecContext& ctx);

// Each write runs inside its own transaction level; `*newIdentity` receives
// the AutoNumber an insert took.
Result<StatementResult> runInsert(Insert& ins, ExecContext& ctx, Value* newIdentity);
Result<StatementResult> runUpdate(Update& up, ExecContext& ctx);
Result<StatementResult> runDelete(Delete& del, ExecContext& ctx);
Result<StatementResult> runCreateTable(CreateTable& ct, ExecContext& ctx);
// The other changes of definitions (ddl_exec.cpp).
Result<StatementResult> runCreateIndex(CreateIndex& ci, ExecContext& ctx);
Result<StatementResult> runDropIndex(DropIndex& di, ExecContext& ctx);
Result<StatementResult> runDropTable(DropTable& dt, ExecContext& ctx);
Result<StatementResult> runAddColumn(AddColumn& ac, ExecContext& ctx);

// Runs `work` inside a transaction level: commit on success, rollback on failure.
template <class F>
Status transaction(Database& db, F work) {
  auto level = db.begin();
  if (!level) return level.status();
  Status s = work();
  if (!s) {
    (void)db.rollback();
    return s;
  }
  return db.commit();
}

// The evaluation context of one source row (none for a statement without
// a table): the row, the statement's parameters and @@IDENTITY.
EvalContext rowContext(const ExecContext& ctx, const std::vector<Value>* row);

// The table's definition, or the provider's "table not found" error.
Result<TableSchema> findTable(Database& db, const std::string& name);

}  // namespace jet::sql
