// The ADOX Catalog: a new file through the engine's Database::create, and
// table definitions turned into the engine's schemas.
#include "ado/catalog.h"

#include "ado/error.h"
#include "jet/database.h"
#include "jet/error_codes.h"
#include "jet/schema.h"
#include "jet/text.h"

namespace ado {

namespace {

[[noreturn]] void raiseInvalidArgument() {
  raiseAdoError(adErrInvalidArgument);
}

bool endsWithAccdb(const std::string& path) {
  return path.size() >= 6 && jet::equalsIgnoreCase(path.substr(path.size() - 6), ".accdb");
}

jet::FileFormat formatOf(const std::string& connectionString, const std::string& path) {
  std::string engineType = connectionStringValue(connectionString, "Jet OLEDB:Engine Type");
  if (engineType == "5") return jet::FileFormat::Jet4;
  if (engineType == "6") return jet::FileFormat::Ace12;
  if (!engineType.empty()) raiseInvalidArgument();
  return endsWithAccdb(path) ? jet::FileFormat::Ace12 : jet::FileFormat::Jet4;
}

jet::ColumnType engineType(const CatalogColumn& c) {
  switch (c.type) {
    case adBoolean: return jet::ColumnType::Boolean;
    case adUnsignedTinyInt: return jet::ColumnType::Byte;
    case adSmallInt: return jet::ColumnType::Integer;
    case adInteger: return jet::ColumnType::Long;
    case adSingle: return jet::ColumnType::Single;
    case adDouble: return jet::ColumnType::Double;
    case adCurrency: return jet::ColumnType::Currency;
    case adDate: return jet::ColumnType::DateTime;
    case adVarWChar: return jet::ColumnType::Text;
    case adLongVarWChar: return jet::ColumnType::Memo;
    default: raiseInvalidArgument();
  }
}

jet::TableSchema engineSchema(const CatalogTable& table) {
  jet::TableSchema schema;
  schema.name = table.name;
  for (const CatalogColumn& c : table.columns) {
    jet::ColumnType type = engineType(c);
    bool textSized = type == jet::ColumnType::Text;
    if (textSized && (c.definedSize < 1 || c.definedSize > 255)) raiseInvalidArgument();
    if (c.autoIncrement && type != jet::ColumnType::Long) raiseInvalidArgument();
    schema.columns.push_back(jet::newColumn(
        c.name, type, textSized ? static_cast<uint16_t>(c.definedSize) : 0, c.autoIncrement));
  }
  for (const CatalogIndex& ix : table.indexes) {
    std::vector<int> columns;
    for (const std::string& name : ix.columns) {
      int at = schema.findColumn(name);
      if (at < 0) raiseInvalidArgument();
      columns.push_back(at);
    }
    jet::IndexDef def = jet::newIndex(ix.name, std::move(columns), ix.primaryKey);
    def.unique = ix.primaryKey || ix.unique;
    if (ix.indexNulls == adIndexNullsDisallow) {
      def.required = true;
    } else if (ix.indexNulls == adIndexNullsIgnore) {
      def.ignoreNulls = true;
    } else if (ix.indexNulls != adIndexNullsAllow) {
      raiseInvalidArgument();
    }
    if (!ix.sortOrders.empty() && ix.sortOrders.size() != def.columns.size())
      raiseInvalidArgument();
    for (size_t k = 0; k < ix.sortOrders.size(); ++k) {
      if (ix.sortOrders[k] != adSortAscending && ix.sortOrders[k] != adSortDescending) {
        raiseInvalidArgument();
      }
      def.columns[k].ascending = ix.sortOrders[k] == adSortAscending;
    }
    schema.indexes.push_back(std::move(def));
  }
  return schema;
}

}  // namespace

std::shared_ptr<Connection> Catalog::create(const std::string& connectionString) {
  std::string path = connectionStringValue(connectionString, "Data Source");
  if (path.empty()) throw ComError(jet::errc::kUnspecified, "No se pudo encontrar el archivo ''.");
  {
    auto made = jet::Database::create(path, formatOf(connectionString, path));
    if (!made) throw ComError(made.error());
  }
  auto connection = std::make_shared<Connection>();
  connection->open(connectionString);
  connection_ = connection;
  return connection;
}

void Catalog::appendTable(const CatalogTable& table) {
  if (!connection_ || connection_->state() != adStateOpen) raiseAdoError(adErrInvalidConnection);
  jet::Status s = connection_->database().createTable(engineSchema(table));
  if (!s) throw ComError(s.error());
}

}  // namespace ado
