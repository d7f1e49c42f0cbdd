// ADOX's Catalog over the cocina engine: creating a new database file and
// appending table definitions (columns and indexes) to it.
//
// Catalog.Create takes a connection string as ADOX does: "Data Source" names
// the new file, which must not exist; "Jet OLEDB:Engine Type" 5 gives an
// Access 2000 file (.mdb), 6 an Access 2007 one (.accdb); without it the
// file's name decides (".accdb" in any case gives Access 2007). The new file
// is then opened through an ado::Connection, the catalog's active connection.
//
// A table goes in whole, with its indexes and their properties, as
// Tables.Append does (in SQL the same takes a CREATE TABLE and a CREATE
// INDEX for each index that is not a constraint). Every failure raises
// ado::ComError with the provider's number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ado/connection.h"
#include "ado/constants.h"

namespace ado {

// ADOX Column: a name, an ADO data type (adInteger, adDouble, adCurrency,
// adDate, adBoolean, adVarWChar for Text, adLongVarWChar for Memo) and, for
// Text, its length in characters.
struct CatalogColumn {
  std::string name;
  int32_t type = adVarWChar;
  int32_t definedSize = 0;
  bool autoIncrement = false;  // adInteger only: an AutoNumber
};

// ADOX Index: the columns it orders by, what it does with Nulls
// (IndexNulls: adIndexNullsAllow, adIndexNullsDisallow, or
// adIndexNullsIgnore, which leaves out the rows whose columns are all Null),
// and each column's SortOrder (adSortAscending unless given).
struct CatalogIndex {
  std::string name;
  std::vector<std::string> columns;
  bool primaryKey = false;  // implies unique, and refuses Nulls
  bool unique = false;
  int32_t indexNulls = adIndexNullsAllow;
  std::vector<int32_t> sortOrders;  // per column; empty: all ascending
};

// ADOX Table: columns in definition order, then indexes.
struct CatalogTable {
  std::string name;
  std::vector<CatalogColumn> columns;
  std::vector<CatalogIndex> indexes;
};

class Catalog {
 public:
  Catalog() = default;
  // Works on the database `connection` has open (it must stay open while
  // tables are appended).
  explicit Catalog(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}

  const std::shared_ptr<Connection>& activeConnection() const { return connection_; }

  // Creates the file the connection string names and opens it; the open
  // connection becomes the active one and is answered.
  std::shared_ptr<Connection> create(const std::string& connectionString);

  // Adds a table with its indexes. Raises adErrInvalidConnection without an
  // open active connection, adErrInvalidArgument for a type the engine
  // cannot store, an index on a column the table lacks, or an IndexNulls or
  // SortOrder the engine does not keep (adIndexNullsIgnoreAny).
  void appendTable(const CatalogTable& table);

 private:
  std::shared_ptr<Connection> connection_;
};

}  // namespace ado
