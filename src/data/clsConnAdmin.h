// The system's one door to the order database: the connection object
// clsConnAdmin and its statement operations.
//
// Creating the object opens the database at once, shared, so the point of
// sale keeps writing the same file. The provider follows the file's
// generation: a path whose last five characters are "ACCDB" (any case) gets
// "Microsoft.ACE.OLEDB.12.0", any other path "Microsoft.Jet.OLEDB.4.0". The
// connection string is "Data Source=" and the path, nothing more.
//
// Reads (Query, QueryProgres) raise ado::ComError to the caller unchanged.
// Updates (comando) never raise: a failure puts the statement on the
// clipboard, shows "Error <number> Error en el comando ejecutado" through the
// FailureReporter and answers -1.
//
// Parameter lists are 0-based; an empty list binds nothing and the statement
// is sent as plain text. The binding rules are in data/parameter_binding.h.
//
// A busy file: the point of sale locks the file while it writes. Once open,
// the connection waits at most kEsperaBloqueo for its turn (the engine's
// turns are fair), so a statement of the board gives the window back within
// a fraction of a second; a file still busy then fails the statement, having
// read and written nothing (esOcupada tells that failure). Opening waits as
// long as the engine's default: the board is not on the screen yet.
//
// One thread (the board's) uses the object; nothing here locks.
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "ado/connection.h"
#include "ado/recordset.h"
#include "ado/variant.h"

// How long a statement of the board waits for the point of sale's lock.
inline constexpr std::chrono::milliseconds kEsperaBloqueo{250};

// Whether `e` is the failure of a file another program kept busy past the
// lock wait: the statement did nothing and may be run again.
bool esOcupada(const std::exception& e);

// What became of an update run once through comandoReintentable.
enum class Escritura {
  Hecha,    // it ran (whether or not a row matched)
  Ocupada,  // the file was busy: nothing written, nothing reported
  Fallida,  // any other failure, reported as comando reports it
};

class clsConnAdmin {
 public:
  // Opens the database at `rutaBaseDatos` (the board passes the settings
  // value of that name). A missing or unreadable file, or an empty path,
  // raises the failure with its number and description; no object is made.
  explicit clsConnAdmin(const std::string& rutaBaseDatos);
  ~clsConnAdmin();
  clsConnAdmin(const clsConnAdmin&) = delete;
  clsConnAdmin& operator=(const clsConnAdmin&) = delete;

  // Closes the connection and drops it; answers the empty variant. A second
  // call raises (there is no connection to close). Final: the object never
  // reopens, and the statement operations must not be called afterwards.
  ado::Variant Cerrar();

  // The connection's own transactions; failures pass to the caller
  // unchanged (a commit without a transaction raises).
  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();

  // Whether the database file has a table of that name (compared as Access
  // does, without regard to case). Asks the file's own catalogue, opened
  // afresh on rutaBaseDatos: a file that can't be opened raises; a missing
  // table answers false.
  bool TableExists(const std::string& TableName);

  // Runs a statement that returns rows: an open, client-side, static,
  // read-only recordset with every row already read. Raises on failure.
  ado::Recordset Query(const ado::Variant& sql, const std::vector<ado::Variant>& params);

  // Fills the caller's recordset `rs` (new, not open) with the rows of
  // `sql`, setting its two fetch-size properties first. `rs` must have a
  // client-side cursor location (the fetch sizes exist only there); a
  // server-side one raises adErrItemNotFound. Answers the empty variant.
  ado::Variant QueryProgres(const ado::Variant& sql, ado::Recordset& rs,
                            const std::vector<ado::Variant>& params);

  // Runs a statement that changes rows; answers the rows affected, or -1
  // after a failure (reported as described above). Never raises.
  int32_t comando(const ado::Variant& sql, const std::vector<ado::Variant>& params);

  // comando for an update the caller will run again when the file was
  // busy: that failure is not reported (no message box per try) and answers
  // Ocupada; every other one is reported as comando reports it.
  Escritura comandoReintentable(const ado::Variant& sql, const std::vector<ado::Variant>& params);

  // `sSql` as text with every "'" doubled, for a value written into a
  // statement text between single quotes.
  std::string ValidarSql(const ado::Variant& sSql);

  // Runs an insert and answers the identity the database generated for the
  // new row; -1 when the identity statement answers no row. When the insert
  // itself fails (comando reported it), the answer is 0, the failure value,
  // and not the identity of some earlier insert on this connection. A
  // failure of the identity read shows two messages (the number alone, then
  // "Error <n> Error en el insert ejecutado"), copies the statement to the
  // clipboard, and answers 0.
  int32_t Insert(const ado::Variant& sql);

  // The ADO connection (null after Cerrar), for the tools and the tests.
  const std::shared_ptr<ado::Connection>& connection() const { return conn_; }
  // The path the object was created with.
  const std::string& rutaBaseDatos() const { return ruta_; }

  // The provider the choice rule gives a database path.
  static std::string proveedorPara(const std::string& rutaBaseDatos);

 private:
  // The open connection, or adErrObjectClosed after Cerrar.
  const std::shared_ptr<ado::Connection>& open() const;
  // Runs an update; answers the rows affected, raises on failure.
  int32_t ejecutar(const ado::Variant& sql, const std::vector<ado::Variant>& params);

  std::string ruta_;
  std::shared_ptr<ado::Connection> conn_;
};

// The process-wide connection, created by the board when it loads and kept
// until the program ends. Null until then.
extern clsConnAdmin* conexion;
