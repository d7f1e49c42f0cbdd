// Connection::openSchema: the tables of the open file as the rows of a
// recordset, so code above the data-access layer asks what the file holds in
// ADO terms and never meets the engine's catalogue.
#include <optional>
#include <string>
#include <vector>

#include "ado/connection.h"
#include "ado/error.h"
#include "jet/database.h"
#include "jet/sql/session.h"
#include "jet/text.h"

namespace ado {

namespace {

// The text of criterion `i`, or nothing when it restricts nothing.
std::optional<std::string> criterion(const std::vector<Variant>& criteria, size_t i) {
  if (i >= criteria.size() || criteria[i].isEmpty() || criteria[i].isNull()) return std::nullopt;
  return criteria[i].toString();
}

jet::sql::ResultColumn textColumn(const char* name) {
  jet::sql::ResultColumn c;
  c.name = name;
  c.type = jet::ValueType::Text;
  return c;
}

}  // namespace

Recordset Connection::openSchema(int32_t schema, const std::vector<Variant>& criteria) {
  jet::Database& db = database();
  if (schema != adSchemaTables) raiseAdoError(adErrFeatureNotAvailable);
  const std::optional<std::string> wantedName = criterion(criteria, 2);
  const std::optional<std::string> wantedType = criterion(criteria, 3);

  // A name criterion asks the catalogue for that one table, as Access finds
  // a table named in a statement; otherwise every table, system ones too.
  std::vector<std::string> names;
  if (wantedName) {
    names.push_back(*wantedName);
  } else if (auto all = db.tableNames(true)) {
    names = std::move(all.value());
  }

  jet::sql::StatementResult result;
  result.returnsRows = true;
  result.columns = {textColumn("TABLE_CATALOG"), textColumn("TABLE_SCHEMA"),
                    textColumn("TABLE_NAME"), textColumn("TABLE_TYPE")};
  for (const std::string& name : names) {
    auto table = db.table(name);
    if (!table) continue;
    const std::string type = table.value().system ? "SYSTEM TABLE" : "TABLE";
    if (wantedType && !jet::equalsIgnoreCase(*wantedType, type)) continue;
    result.rows.push_back({jet::Value::null(), jet::Value::null(),
                           jet::Value::text(table.value().name), jet::Value::text(type)});
  }

  Recordset rs;
  rs.setCursorLocation(cursorLocation_);
  rs.openOn(std::move(result), adOpenUnspecified, adLockReadOnly);
  return rs;
}

}  // namespace ado
