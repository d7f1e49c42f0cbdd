// cocina-db schema FILE [TABLE]: the definition of one table or of every
// user table: columns with their Access types and sizes, then indexes.
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>

#include "command.h"
#include "jet/database.h"
#include "jet/format/jet_format.h"

namespace cocinadb {
namespace {

// What each complex column of the file holds, by its ComplexID: Access
// keeps one row per complex column in MSysComplexColumns, naming the
// template table of its kind ("MSysComplexType_Attachment", a
// "MSysComplexType_" of the value type for a multi-value column,
// "MSysComplexTypeVH_..." for a memo's version history).
using ComplexKinds = std::map<uint32_t, std::string>;

std::string complexKind(const std::string& templateName) {
  static const std::map<std::string, std::string> kValueTypes = {
      {"UnsignedByte", "Byte"}, {"Short", "Integer"},     {"Long", "Long Integer"},
      {"IEEESingle", "Single"}, {"IEEEDouble", "Double"}, {"GUID", "Replication ID"},
      {"Decimal", "Decimal"},   {"Text", "Text"}};
  const std::string prefix = "MSysComplexType_";
  if (templateName == prefix + "Attachment") return "Attachment";
  if (templateName.rfind("MSysComplexTypeVH_", 0) == 0) return "Version history";
  if (templateName.rfind(prefix, 0) == 0) {
    auto t = kValueTypes.find(templateName.substr(prefix.size()));
    if (t != kValueTypes.end()) return "Multi-value (" + t->second + ")";
  }
  return "Complex";
}

// Calls `row` with the values of two named columns of every row of a
// system table; false when the table or a column can't be read.
template <class Row>
bool eachPair(jet::Database& db, const char* table, const char* first, const char* second,
              Row row) {
  auto schema = db.table(table);
  if (!schema) return false;
  const int a = schema->findColumn(first), b = schema->findColumn(second);
  if (a < 0 || b < 0) return false;
  auto cursor = db.scan(table, {a, b});
  if (!cursor) return false;
  while (true) {
    auto more = (*cursor)->next();
    if (!more) return false;
    if (!*more) return true;
    const auto& v = (*cursor)->values();
    row(v[0], v[1]);
  }
}

// Empty when the file has no complex columns (every file before ACE) or
// their catalog can't be read: the columns are then shown as "Complex".
ComplexKinds readComplexKinds(jet::Database& db) {
  ComplexKinds kinds;
  std::multimap<int32_t, uint32_t> byTemplate;  // template object id -> ComplexIDs
  const bool listed =
      eachPair(db, "MSysComplexColumns", "ComplexID", "ComplexTypeObjectID",
               [&](const jet::Value& id, const jet::Value& type) {
                 if (id.type() == jet::ValueType::Long && type.type() == jet::ValueType::Long)
                   byTemplate.emplace(type.asLong(), static_cast<uint32_t>(id.asLong()));
               });
  if (!listed || byTemplate.empty()) return kinds;
  eachPair(db, "MSysObjects", "Id", "Name", [&](const jet::Value& id, const jet::Value& name) {
    if (id.type() != jet::ValueType::Long || !name.isText()) return;
    auto [from, to] = byTemplate.equal_range(id.asLong());
    for (auto it = from; it != to; ++it) kinds[it->second] = complexKind(name.asText());
  });
  return kinds;
}

std::string typeText(const jet::ColumnDef& c, jet::FileFormat format, const ComplexKinds& kinds) {
  std::ostringstream out;
  if (c.type == jet::ColumnType::Complex) {
    auto kind = kinds.find(c.complexId);
    out << (kind != kinds.end() ? kind->second : "Complex");
    return out.str();
  }
  if (c.calculated) out << "Calculated ";
  out << jet::accessTypeName(c.type, c.autoNumber);
  switch (c.type) {
    case jet::ColumnType::Text: {
      // A calculated text's size counts the wrapping around its value.
      const int bytes =
          c.calculated ? c.size - static_cast<int>(jet::format::kCalculatedOverhead) : c.size;
      out << " (" << (format == jet::FileFormat::Jet3 ? bytes : bytes / 2) << ")";
      break;
    }
    case jet::ColumnType::Binary: out << " (" << c.size << ")"; break;
    case jet::ColumnType::Numeric:
      out << " (" << int(c.precision) << ", " << int(c.scale) << ")";
      break;
    default: break;
  }
  return out.str();
}

void printTable(std::ostream& out, const jet::TableSchema& t, jet::FileFormat format,
                const ComplexKinds& kinds) {
  out << "TABLE " << t.name << "\n";
  size_t width = 4;
  for (const auto& c : t.columns) width = std::max(width, c.name.size());
  for (const auto& c : t.columns) {
    out << "  " << std::left << std::setw(static_cast<int>(width)) << c.name << "  "
        << typeText(c, format, kinds);
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
  const ComplexKinds kinds = readComplexKinds(**db);
  for (size_t i = 0; i < names.size(); ++i) {
    auto t = (*db)->table(names[i]);
    if (!t) return fileFailure(args[0], t.error().description);
    if (i) std::cout << "\n";
    printTable(std::cout, *t, (*db)->format(), kinds);
  }
  return kExitOk;
}

const CommandRegistration kSchema(
    "schema", "schema FILE [TABLE]",
    "usage: cocina-db schema FILE [TABLE]\n\n"
    "Shows the definition of TABLE, or of every user table, in the Access\n"
    "database FILE: each column with its Access type and size (Text in\n"
    "characters, Decimal as precision and scale; a calculated column as\n"
    "\"Calculated\" and its result type; Attachment, Multi-value (TYPE) or\n"
    "Version history for complex columns) and NOT NULL when required,\n"
    "then each index with its columns and PRIMARY, UNIQUE, DISALLOW NULL or\n"
    "IGNORE NULL.\n\n"
    "Exit status: 0 done, 1 wrong usage, 2 the file or the table can't be read.\n",
    runSchema);

}  // namespace
}  // namespace cocinadb
