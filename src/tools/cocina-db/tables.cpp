// cocina-db tables FILE: the user tables of the database, one a line, in
// catalog order.
#include <iostream>

#include "command.h"
#include "jet/database.h"

namespace cocinadb {
namespace {

int runTables(const std::vector<std::string>& args) {
  bool system = false;
  std::vector<std::string> rest;
  for (const auto& a : args) {
    if (a == "--system") {
      system = true;
    } else {
      rest.push_back(a);
    }
  }
  if (rest.size() != 1 || (!rest[0].empty() && rest[0][0] == '-'))
    return usageFailure("tables [--system] FILE");
  auto db = jet::Database::open(rest[0], jet::OpenOptions{.readOnly = true});
  if (!db) return fileFailure(rest[0], db.error().description);
  auto names = (*db)->tableNames(system);
  if (!names) return fileFailure(rest[0], names.error().description);
  for (const auto& n : *names) std::cout << n << "\n";
  return kExitOk;
}

const CommandRegistration kTables(
    "tables", "tables [--system] FILE",
    "usage: cocina-db tables [--system] FILE\n\n"
    "Lists the tables of the Access database FILE (.mdb or .accdb), one a line,\n"
    "in the order the database keeps them. Access's own system tables are left\n"
    "out unless --system is given.\n\n"
    "Exit status: 0 done, 1 wrong usage, 2 the file can't be read.\n",
    runTables);

}  // namespace
}  // namespace cocinadb
