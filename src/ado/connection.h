// An ADO Connection over the cocina engine: one open Access database file and
// the SQL session that runs statements on it.
//
// Both Access providers ("Microsoft.ACE.OLEDB.12.0" and
// "Microsoft.Jet.OLEDB.4.0") are served by the one engine, which reads and
// writes every generation of the file; the name chosen stays the connection's
// Provider property. The connection string is read as ADO reads it:
// "key=value" pairs separated by ";", keys compared without regard to case;
// "Data Source" names the file and "Provider" may replace the property.
// The file is opened shared, so the point of sale keeps writing it.
//
// Commands and recordsets hold the connection through a shared_ptr, as ADO
// objects hold a reference to their connection. Every failure raises
// ado::ComError with the number the Access provider reports.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ado/constants.h"
#include "ado/recordset.h"
#include "ado/variant.h"

namespace jet {
class Database;
namespace sql {
class Session;
}
}  // namespace jet

namespace ado {

inline constexpr const char* kProviderAce12 = "Microsoft.ACE.OLEDB.12.0";
inline constexpr const char* kProviderJet4 = "Microsoft.Jet.OLEDB.4.0";

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The OLE DB provider name. Only the two Access providers open; another
  // name makes open() fail with adErrProviderNotFound. Raises
  // adErrObjectOpen while the connection is open.
  const std::string& provider() const { return provider_; }
  void setProvider(std::string provider);

  // The connection string of the last open() (or the one set before it).
  const std::string& connectionString() const { return connectionString_; }
  void setConnectionString(std::string text);

  // adUseServer (the default) or adUseClient: the cursor location that
  // recordsets opened on this connection start from.
  int32_t cursorLocation() const { return cursorLocation_; }
  void setCursorLocation(int32_t location);

  // adModeUnknown (the default) opens the file for reading and writing;
  // adModeRead opens it read-only, so nothing can be written through the
  // connection. Raises adErrObjectOpen while the connection is open.
  int32_t mode() const { return mode_; }
  void setMode(int32_t mode);

  // How long a statement waits for another program's lock on the file
  // before it fails with the busy error (ComError::nativeError() is
  // ado::native::kLocked; nothing was read or written). It stands for the
  // Access provider's lock-retry settings; ADO's CommandTimeout counts whole
  // seconds, too coarse for a board that must answer within a fraction of
  // one. Unset, the engine's default. May be set before or after open().
  std::optional<std::chrono::milliseconds> lockWait() const { return lockWait_; }
  void setLockWait(std::chrono::milliseconds wait);

  // Opens the database the connection string names. An empty string uses
  // the one set before. User and password are accepted and unused: the order
  // database has none (a file with a database password is refused by the
  // engine). Raises adErrObjectOpen when already open; a missing, unreadable
  // or foreign file raises the engine's failure unchanged.
  void open(const std::string& connectionString = "", const std::string& userId = "",
            const std::string& password = "", int32_t options = adConnectUnspecified);
  // Closes the file. An open transaction is rolled back, as ADO does.
  // Raises adErrObjectClosed when not open.
  void close();
  // adStateOpen or adStateClosed.
  int32_t state() const;

  // Nested transactions: beginTrans answers the new level (1 for the
  // outermost). commitTrans and rollbackTrans without a transaction raise
  // the provider's "no transaction" failure.
  int32_t beginTrans();
  void commitTrans();
  void rollbackTrans();

  // A recordset describing the database, as OpenSchema answers it. Only
  // adSchemaTables is offered (others raise adErrFeatureNotAvailable): one
  // row per table with TABLE_CATALOG and TABLE_SCHEMA (Null), TABLE_NAME
  // (the name as the file keeps it) and TABLE_TYPE ("TABLE" or "SYSTEM
  // TABLE"). `criteria` restricts the rows in that column order; Empty or
  // Null restricts nothing. A TABLE_NAME criterion is compared as Access
  // compares names (without regard to case); a table whose definition can't
  // be read is left out. Raises adErrObjectClosed when not open.
  Recordset openSchema(int32_t schema, const std::vector<Variant>& criteria = {});

  // The SQL session, for Command and Recordset. Raises adErrObjectClosed
  // (for a closed connection) rather than answer a dangling reference.
  jet::sql::Session& session();

 private:
  // The catalog makes tables in the connection's file, as ADOX does through
  // its active connection.
  friend class Catalog;
  jet::Database& database();

  std::string provider_ = kProviderJet4;
  std::string connectionString_;
  int32_t cursorLocation_ = adUseServer;
  int32_t mode_ = adModeUnknown;
  std::optional<std::chrono::milliseconds> lockWait_;
  std::unique_ptr<jet::Database> db_;
  std::unique_ptr<jet::sql::Session> session_;
};

// The value of `key` in a connection string ("" when absent); keys compare
// without regard to case, values may be quoted with " or '.
std::string connectionStringValue(const std::string& connectionString, const std::string& key);

}  // namespace ado
