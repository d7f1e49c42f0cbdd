// Access SQL on one open database: what a connection of the data-access layer
// and `cocina-db sql` run statements through.
//
// A Session parses and runs one statement at a time, binds positional `?`
// parameters in order, keeps the last AutoNumber it generated for
// `SELECT @@IDENTITY`, and maps failures to the numbers the Access provider
// reports (jet/error_codes.h) with Spanish descriptions. Each write statement
// is all or nothing: it runs inside a transaction level of its own. Each
// SELECT reads the file as one statement (Database::beginRead), so another
// program's commit never falls between two of its tables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet::sql {

struct ResultColumn {
  std::string name;                  // the alias, or the column's own name
  ValueType type = ValueType::Null;  // type of the values (Null if all rows are null)
  ColumnType columnType =
      ColumnType::Text;  // storage type, for a column read straight from a table
  uint16_t size = 0;
};

struct StatementResult {
  bool returnsRows = false;  // a SELECT (or UNION)
  std::vector<ResultColumn> columns;
  std::vector<std::vector<Value>> rows;
  int64_t rowsAffected = 0;  // INSERT, UPDATE, DELETE
};

class Session {
 public:
  // `db` must outlive the session.
  explicit Session(Database& db);
  ~Session();

  // Parses and runs one statement. `params` fill the `?` marks in order;
  // fewer values than marks fail with errc::kMissingParameter.
  Result<StatementResult> execute(std::string_view sql, const std::vector<Value>& params = {});

  // The last AutoNumber this session's inserts took; Null before the first.
  Value lastIdentity() const;

  Database& database() { return db_; }

 private:
  struct Impl;
  Database& db_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace jet::sql
