// cocina-db export FILE TABLE: the rows of a table as CSV on standard
// output, streamed one row at a time, in the format of jet/csv.h.
#include <iostream>

#include "command.h"
#include "jet/csv.h"
#include "jet/database.h"

namespace cocinadb {
namespace {

int runExport(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::cerr << "usage: cocina-db export FILE TABLE\n";
    return kExitUsage;
  }
  const std::string& file = args[0];
  auto fail = [&](const jet::Error& e) {
    std::cout.flush();
    std::cerr << "cocina-db: " << file << ": " << e.description << "\n";
    return kExitFailure;
  };
  auto db = jet::Database::open(file, jet::OpenOptions{.readOnly = true});
  if (!db) return fail(db.error());
  auto schema = (*db)->table(args[1]);
  if (!schema) return fail(schema.error());
  std::vector<int> all;
  std::vector<std::string> fields;
  for (size_t i = 0; i < schema->columns.size(); ++i) {
    all.push_back(static_cast<int>(i));
    fields.push_back(jet::csv::headerField(schema->columns[i].name));
  }
  auto cursor = (*db)->scan(schema->name, all);
  if (!cursor) return fail(cursor.error());
  std::cout << jet::csv::record(fields);
  while (true) {
    auto more = (*cursor)->next();
    if (!more) return fail(more.error());
    if (!*more) break;
    fields.clear();
    for (const auto& v : (*cursor)->values()) fields.push_back(jet::csv::field(v));
    std::cout << jet::csv::record(fields);
  }
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailure;
}

const CommandRegistration kExport(
    "export", "export FILE TABLE",
    "usage: cocina-db export FILE TABLE\n\n"
    "Writes the rows of TABLE of the Access database FILE as CSV (RFC 4180) on\n"
    "standard output: a header row of column names, then one record per row.\n"
    "Text is always in double quotes; NULL is an empty unquoted field; numbers\n"
    "are in plain form with a point as decimal separator; Date/Time is\n"
    "YYYY-MM-DD HH:MM:SS; Boolean is 1 or 0; binary and OLE values are\n"
    "hexadecimal.\n\n"
    "Exit status: 0 done, 1 wrong usage, 2 the file or the table can't be read\n"
    "(the reason goes to standard error).\n",
    runExport);

}  // namespace
}  // namespace cocinadb
