// The Session: parse, check the parameters, run, remember the identity.
#include "jet/sql/session.h"

#include "jet/sql/errors.h"
#include "jet/sql/executor.h"
#include "jet/sql/parser.h"

namespace jet::sql {

struct Session::Impl {
  Value identity;  // Null until this session's first insert into a table with an AutoNumber
};

Session::Session(Database& db) : db_(db), impl_(std::make_unique<Impl>()) {}
Session::~Session() = default;

Value Session::lastIdentity() const {
  return impl_->identity;
}

Result<StatementResult> Session::execute(std::string_view sql, const std::vector<Value>& params) {
  const int bytesPerChar = db_.format() == FileFormat::Jet3 ? 1 : 2;
  auto parsed = parse(sql, bytesPerChar);
  if (!parsed) return parsed.status();
  Statement& st = parsed.value();
  if (static_cast<size_t>(st.parameterCount) > params.size()) return errors::missingParameter();

  // @@IDENTITY answers 0 before any insert, as the Access engine does.
  ExecContext ctx{db_, params, impl_->identity.isNull() ? Value::longValue(0) : impl_->identity,
                  bytesPerChar};
  switch (st.kind) {
    case StatementKind::Query: {
      // One read of the file for the whole statement: it waits for its turn
      // once, every table it reads is of one moment, and the point of sale
      // is held off only while it runs.
      JET_TRY(db_.beginRead());
      struct ReadEnd {
        Database& db;
        ~ReadEnd() { db.endRead(); }
      } end{db_};
      return runQuery(st.query, ctx);
    }
    case StatementKind::Insert: return runInsert(st.insert, ctx, &impl_->identity);
    case StatementKind::Update: return runUpdate(st.update, ctx);
    case StatementKind::Delete: return runDelete(st.del, ctx);
    case StatementKind::CreateTable: return runCreateTable(st.create, ctx);
    case StatementKind::CreateIndex: return runCreateIndex(st.createIndex, ctx);
    case StatementKind::DropIndex: return runDropIndex(st.dropIndex, ctx);
    case StatementKind::DropTable: return runDropTable(st.dropTable, ctx);
    case StatementKind::AddColumn: return runAddColumn(st.addColumn, ctx);
  }
  return errors::invalidStatement();
}

}  // namespace jet::sql
