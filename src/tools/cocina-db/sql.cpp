// cocina-db sql FILE STATEMENT: runs one Access SQL statement on the order
// database with cocina's engine. A SELECT prints its rows as CSV in the
// format of `cocina-db export` (jet/csv.h); any other statement prints how
// many rows it changed. A failing statement prints the provider's error
// number and description on standard error and exits 2, the file untouched.
#include <iostream>

#include "command.h"
#include "jet/csv.h"
#include "jet/database.h"
#include "jet/sql/session.h"

namespace cocinadb {
namespace {

bool looksLikeRead(const std::string& statement) {
  size_t i = statement.find_first_not_of(" \t\r\n(");
  if (i == std::string::npos || statement.size() - i < 6) return false;
  std::string head = statement.substr(i, 6);
  for (auto& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return head == "SELECT";
}

int runSql(const std::vector<std::string>& args) {
  if (args.size() != 2) return usageFailure("sql FILE STATEMENT");
  const std::string& file = args[0];
  const std::string& statement = args[1];
  auto db = jet::Database::open(file, jet::OpenOptions{.readOnly = looksLikeRead(statement)});
  if (!db) {
    std::cerr << "cocina-db: " << file << ": " << db.error().number << " " << db.error().description
              << "\n";
    return kExitFailure;
  }
  jet::sql::Session session(**db);
  auto result = session.execute(statement);
  if (!result) {
    std::cerr << "cocina-db: " << result.error().number << " " << result.error().description
              << "\n";
    return kExitFailure;
  }
  if (!result->returnsRows) {
    std::cout << "rows affected: " << result->rowsAffected << "\n";
    return std::cout ? kExitOk : kExitFailure;
  }
  std::vector<std::string> fields;
  for (const auto& c : result->columns) fields.push_back(jet::csv::headerField(c.name));
  std::cout << jet::csv::record(fields);
  for (const auto& row : result->rows) {
    fields.clear();
    for (const auto& v : row) fields.push_back(jet::csv::field(v));
    std::cout << jet::csv::record(fields);
  }
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailure;
}

const CommandRegistration kSql(
    "sql", "sql FILE STATEMENT",
    "usage: cocina-db sql FILE STATEMENT\n\n"
    "Runs one Access SQL statement on the database FILE, as the kitchen board\n"
    "and the point of sale write them (SELECT, UNION, INSERT INTO, UPDATE,\n"
    "DELETE), or one that changes the tables' definitions:\n"
    "  CREATE TABLE t (col type [NOT NULL] [PRIMARY KEY | UNIQUE], ...,\n"
    "                  [CONSTRAINT name] {PRIMARY KEY | UNIQUE} (col, ...))\n"
    "  CREATE [UNIQUE] INDEX name ON t (col [ASC | DESC], ...)\n"
    "         [WITH PRIMARY | DISALLOW NULL | IGNORE NULL]\n"
    "  DROP INDEX name ON t      DROP TABLE t\n"
    "  ALTER TABLE t ADD [COLUMN] col type      ALTER TABLE t ADD CONSTRAINT ...\n"
    "A new index is filled from the rows already there, and refused when they\n"
    "repeat a key it must keep unique or hold a Null it refuses.\n"
    "A SELECT prints its rows as CSV in the format of 'cocina-db export': a\n"
    "header row of column names, then one record per row. Any other statement\n"
    "prints 'rows affected: N'. A statement is all or nothing.\n\n"
    "Exit status: 0 done, 1 wrong usage, 2 the file can't be opened or the\n"
    "statement failed (the error number and description go to standard error).\n",
    runSql);

}  // namespace
}  // namespace cocinadb
