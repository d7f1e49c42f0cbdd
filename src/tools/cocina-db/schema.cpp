// cocina-db schema FILE [TABLE]: the definition of one table or of every
// user table: columns with their Access types and sizes, then indexes.
#include <iomanip>
#include <iostream>
#include <sstream>

#include "command.h"
#include "jet/database.h"

namespace cocinadb {
namespace {

std::string typeText(const jet::ColumnDef& c, jet::FileFormat format) {
  std::ostringstream out;
  out << jet::accessTypeName(c.type, c.autoNumber);
  switch (c.type) {
    case jet::ColumnType::Text:
      out << " (" << (format == jet::FileFormat::Jet3 ? c.size : c.size / 2) << ")";
      break;
    case jet::ColumnType::Binary: out << " (" << c.size << ")"; break;
    case jet::ColumnType::Numeric:
      out << " (" << int(c.precision) << ", " << int(c.scale) << ")";
      break;
    default: break;
  }
  return out.str();
}

void printTable(std::ostream& out, const jet::TableSchema& t, jet::FileFormat format) {
  out << "TABLE " << t.name << "\n";
  size_t width = 4;
  for (const auto& c : t.columns) width = std::max(width, c.name.size());
  for (const auto& c : t.columns) {
    out << "  " << std::left << std::setw(static_cast<int>(width)) << c.name << "  "
        << typeText(c, format);
    if (c.required && c.type != jet::ColumnType::Boolean) out << "  NOT NULL";
    out << "\n";
  }
  for (const auto& i : t.indexes) {
    if (i.foreignKey) continue;  // a relationship's own index, not the table's
    out << "  INDEX " << i.name << " (";
    for (size_t k = 0; k < i.columns.size(); ++k) {
      if (k) out << ", ";
      const int col = i.columns[k].column;
      out << (col >= 0 && static_cast<size_t>(col) < t.columns.size() ? t.columns[col].name : "?");
      if (!i.columns[k].ascending) out << " DESC";
    }
    out << ")";
    // The properties in the words of CREATE INDEX's WITH clause.
    if (i.primary) out << " PRIMARY";
    if (i.unique && !i.primary) out << " UNIQUE";
    if (i.required && !i.primary) out << " DISALLOW NULL";
    if (i.ignoreNulls) out << " IGNORE NULL";
    out << "\n";
  }
}

int runSchema(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) return usageFailure("schema FILE [TABLE]");
  auto db = jet::Database::open(args[0], jet::OpenOptions{.readOnly = true});
  if (!db) return fileFailure(args[0], db.error().description);
  std::vector<std::string> names;
  if (args.size() == 2) {
    names.push_back(args[1]);
  } else {
    auto all = (*db)->tableNames(false);
    if (!all) return fileFailure(args[0], all.error().description);
    names = std::move(*all);
  }
  for (size_t i = 0; i < names.size(); ++i) {
    auto t = (*db)->table(names[i]);
    if (!t) return fileFailure(args[0], t.error().description);
    if (i) std::cout << "\n";
    printTable(std::cout, *t, (*db)->format());
  }
  return kExitOk;
}

const CommandRegistration kSchema(
    "schema", "schema FILE [TABLE]",
    "usage: cocina-db schema FILE [TABLE]\n\n"
    "Shows the definition of TABLE, or of every user table, in the Access\n"
    "database FILE: each column with its Access type and size (Text in\n"
    "characters, Decimal as precision and scale) and NOT NULL when required,\n"
    "then each index with its columns and PRIMARY, UNIQUE, DISALLOW NULL or\n"
    "IGNORE NULL.\n\n"
    "Exit status: 0 done, 1 wrong usage, 2 the file or the table can't be read.\n",
    runSchema);

}  // namespace
}  // namespace cocinadb
