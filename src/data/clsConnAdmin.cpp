// clsConnAdmin: opening the order database, the statement operations with
// their parameter binding, the failure reports of the updates, the insert
// with its identity, the transactions and the table check.
#include "data/clsConnAdmin.h"

#include <cctype>
#include <exception>

#include "ado/command.h"
#include "ado/constants.h"
#include "ado/error.h"
#include "data/ModuleRecordSet.h"
#include "data/failure_reporter.h"
#include "data/parameter_binding.h"
#include "data/sql_text.h"

clsConnAdmin* conexion = nullptr;

namespace {

constexpr const char* kIdentityStatement = "SELECT @@Identity AS ClientID";

// The number and text of whatever a statement threw: an ADO failure keeps
// its own, anything else is the provider's unspecified failure.
int32_t errorNumber(const std::exception& e) {
  if (auto* com = dynamic_cast<const ado::ComError*>(&e)) return com->number();
  return ado::errc::kUnspecified;
}

// Whether the catalogue of the database open on `conn` has that table.
bool hasTable(ado::Connection& conn, const std::string& name) {
  ado::Recordset tables =
      conn.openSchema(ado::adSchemaTables, {ado::Variant(), ado::Variant(), ado::Variant(name)});
  return !tables.eof();
}

// The statement text for the clipboard: whatever text the caller gave.
std::string statementText(const ado::Variant& sql) {
  try {
    return sql.toString();
  } catch (...) {
    return "";
  }
}

// A failed update, as the staff see it: the statement on the clipboard and
// the number in a message box.
void reportCommandFailure(const ado::Variant& sql, const std::exception& e) {
  // The staff see the number; whoever keeps the system running pastes the
  // statement from the clipboard to see what the database refused.
  auto& reporter = data::failureReporter();
  reporter.copyToClipboard(statementText(sql));
  reporter.showMessage("Error " + std::to_string(errorNumber(e)) +
                       " Error en el comando ejecutado");
}

}  // namespace

bool esOcupada(const std::exception& e) {
  auto* com = dynamic_cast<const ado::ComError*>(&e);
  return com && com->nativeError() == ado::native::kLocked;
}

std::string clsConnAdmin::proveedorPara(const std::string& ruta) {
  // The last five characters, whole when shorter; "accdb" in any case
  // chooses the engine of the newer files, even without a dot before it.
  std::string tail = ruta.size() > 5 ? ruta.substr(ruta.size() - 5) : ruta;
  for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return tail == "ACCDB" ? ado::kProviderAce12 : ado::kProviderJet4;
}

clsConnAdmin::clsConnAdmin(const std::string& rutaBaseDatos)
    : ruta_(rutaBaseDatos), conn_(std::make_shared<ado::Connection>()) {
  conn_->setProvider(proveedorPara(rutaBaseDatos));
  conn_->open("Data Source=" + rutaBaseDatos, "", "", ado::adConnectUnspecified);
  conn_->setLockWait(kEsperaBloqueo);
}

clsConnAdmin::~clsConnAdmin() = default;

const std::shared_ptr<ado::Connection>& clsConnAdmin::open() const {
  // After Cerrar there is no connection object, as after setting it to
  // Nothing: the operation fails as a call on no object does.
  if (!conn_) throw ado::ComError(91, "Variable de objeto o bloque With no establecido");
  return conn_;
}

ado::Variant clsConnAdmin::Cerrar() {
  open()->close();
  conn_.reset();
  return ado::Variant();
}

void clsConnAdmin::BeginTrans() {
  open()->beginTrans();
}
void clsConnAdmin::CommitTrans() {
  open()->commitTrans();
}
void clsConnAdmin::RollbackTrans() {
  open()->rollbackTrans();
}

bool clsConnAdmin::TableExists(const std::string& TableName) {
  // The open connection already sees the file as it is now; once closed,
  // the file's catalogue is read afresh, read-only.
  if (conn_ && conn_->state() == ado::adStateOpen) return hasTable(*conn_, TableName);
  ado::Connection reading;
  reading.setProvider(proveedorPara(ruta_));
  reading.setMode(ado::adModeRead);
  reading.open("Data Source=" + ruta_);
  return hasTable(reading, TableName);
}

ado::Recordset clsConnAdmin::Query(const ado::Variant& sql,
                                   const std::vector<ado::Variant>& params) {
  const auto& conn = open();
  ado::Recordset rs;
  rs.setCursorLocation(ado::adUseClient);
  ado::Command cmd;
  cmd.setActiveConnection(conn);
  cmd.setCommandText(sql.toString());
  if (params.empty()) {
    rs.setCursorLocation(ado::adUseClient);
    rs.open(sql.toString(), conn, ado::adOpenStatic, ado::adLockReadOnly, ado::adOptionUnspecified);
  } else {
    cmd.setCommandType(ado::adCmdText);
    cmd.setPrepared(true);
    data::bindParameters(cmd, params, data::BindingUse::Read);
    rs.open(cmd, ado::adOpenStatic, ado::adLockReadOnly, ado::adOptionUnspecified);
  }
  return rs;
}

ado::Variant clsConnAdmin::QueryProgres(const ado::Variant& sql, ado::Recordset& rs,
                                        const std::vector<ado::Variant>& params) {
  const auto& conn = open();
  rs.setProperty("Initial Fetch Size", ado::Variant(int16_t{0}));
  rs.setProperty("Background Fetch Size", ado::Variant(int16_t{1}));
  if (params.empty()) {
    rs.setCursorLocation(ado::adUseClient);
    rs.open(sql.toString(), conn, ado::adOpenDynamic, ado::adLockOptimistic,
            ado::adOptionUnspecified);
  } else {
    ado::Command cmd;
    cmd.setActiveConnection(conn);
    cmd.setCommandText(sql.toString());
    cmd.setCommandType(ado::adCmdText);
    cmd.setPrepared(true);
    data::bindParameters(cmd, params, data::BindingUse::Read);
    rs.open(cmd, ado::adOpenStatic, ado::adLockReadOnly, ado::adOptionUnspecified);
  }
  return ado::Variant();
}

int32_t clsConnAdmin::ejecutar(const ado::Variant& sql, const std::vector<ado::Variant>& params) {
  const auto& conn = open();
  ado::Command cmd;
  cmd.setActiveConnection(conn);
  cmd.setCommandText(sql.toString());
  if (!params.empty()) {
    cmd.setCommandType(ado::adCmdText);
    cmd.setPrepared(true);
    data::bindParameters(cmd, params, data::BindingUse::Update);
  }
  int32_t affected = 0;
  cmd.execute(&affected, ado::adOptionUnspecified);
  return affected;
}

int32_t clsConnAdmin::comando(const ado::Variant& sql, const std::vector<ado::Variant>& params) {
  try {
    return ejecutar(sql, params);
  } catch (const std::exception& e) {
    reportCommandFailure(sql, e);
    return -1;
  }
}

Escritura clsConnAdmin::comandoReintentable(const ado::Variant& sql,
                                            const std::vector<ado::Variant>& params) {
  try {
    ejecutar(sql, params);
    return Escritura::Hecha;
  } catch (const std::exception& e) {
    if (esOcupada(e)) return Escritura::Ocupada;
    reportCommandFailure(sql, e);
    return Escritura::Fallida;
  }
}

std::string clsConnAdmin::ValidarSql(const ado::Variant& sSql) {
  return data::quotesDoubled(sSql.toString());
}

int32_t clsConnAdmin::Insert(const ado::Variant& sql) {
  int32_t result = 0;
  try {
    // A failed insert has been reported by comando; an insert that added no
    // row made no identity. Either way the identity statement would answer
    // the one of an earlier insert on this connection, so the answer is the
    // failure value 0.
    if (comando(sql, {}) <= 0) return 0;
    ado::Recordset rs = Query(kIdentityStatement, {});
    if (esRecordsetVacio(rs)) {
      result = -1;
    } else {
      ado::Variant id = rs.fields("ClientID").resolved();
      // The engine answers no identity (Null) when the table has no
      // AutoNumber, where the Access engine answers 0.
      result = id.isNull() ? 0 : id.toLong();
    }
    return result;
  } catch (const std::exception& e) {
    auto& reporter = data::failureReporter();
    const std::string number = std::to_string(errorNumber(e));
    reporter.copyToClipboard(statementText(sql));
    reporter.showMessage(number);
    reporter.showMessage("Error " + number + " Error en el insert ejecutado");
    return result;
  }
}
