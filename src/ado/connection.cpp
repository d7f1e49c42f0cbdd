// The ADO Connection: opening the file through the engine, the provider
// property, the connection string, and the nested transactions.
#include "ado/connection.h"

#include <cctype>

#include "ado/error.h"
#include "jet/database.h"
#include "jet/error_codes.h"
#include "jet/sql/session.h"
#include "jet/text.h"

namespace ado {

namespace {

[[noreturn]] void raise(const jet::Error& e) {
  throw ComError(e);
}

[[noreturn]] void raiseClosed() {
  raiseAdoError(adErrObjectClosed);
}

[[noreturn]] void raiseOpen() {
  raiseAdoError(adErrObjectOpen);
}

std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool isAccessProvider(const std::string& name) {
  // "Microsoft.Jet.OLEDB.4.0" and "Microsoft.ACE.OLEDB.12.0"; later ACE
  // versions (16.0) are the same engine to a program that opens a file.
  std::string n = trim(name);
  return jet::equalsIgnoreCase(n, kProviderJet4) || jet::equalsIgnoreCase(n, kProviderAce12) ||
         jet::equalsIgnoreCase(n, "Microsoft.ACE.OLEDB.16.0");
}

}  // namespace

std::string connectionStringValue(const std::string& text, const std::string& key) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eq = text.find('=', pos);
    if (eq == std::string::npos) break;
    std::string name = trim(text.substr(pos, eq - pos));
    size_t v = eq + 1;
    while (v < text.size() && text[v] == ' ') ++v;
    std::string value;
    size_t next;
    if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
      char q = text[v];
      size_t close = text.find(q, v + 1);
      if (close == std::string::npos) close = text.size();
      value = text.substr(v + 1, close - v - 1);
      next = text.find(';', close);
    } else {
      next = text.find(';', v);
      value = trim(text.substr(v, next == std::string::npos ? std::string::npos : next - v));
    }
    if (jet::equalsIgnoreCase(name, key)) return value;
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  return "";
}

Connection::Connection() = default;

Connection::~Connection() {
  if (db_ && db_->transactionDepth() > 0) {
    while (db_->transactionDepth() > 0) {
      if (!db_->rollback()) break;
    }
  }
}

void Connection::setProvider(std::string provider) {
  if (db_) raiseOpen();
  provider_ = std::move(provider);
}

void Connection::setConnectionString(std::string text) {
  if (db_) raiseOpen();
  connectionString_ = std::move(text);
}

void Connection::setCursorLocation(int32_t location) {
  if (location != adUseServer && location != adUseClient) raiseAdoError(adErrInvalidArgument);
  cursorLocation_ = location;
}

void Connection::setMode(int32_t mode) {
  if (db_) raiseOpen();
  mode_ = mode;
}

void Connection::setLockWait(std::chrono::milliseconds wait) {
  lockWait_ = wait;
  if (db_) db_->setLockWait(wait);
}

void Connection::open(const std::string& connectionString, const std::string& /*userId*/,
                      const std::string& /*password*/, int32_t /*options*/) {
  if (db_) raiseOpen();
  if (!connectionString.empty()) connectionString_ = connectionString;
  std::string provider = connectionStringValue(connectionString_, "Provider");
  if (!provider.empty()) provider_ = provider;
  if (!isAccessProvider(provider_)) raiseAdoError(adErrProviderNotFound);
  std::string path = connectionStringValue(connectionString_, "Data Source");
  if (path.empty()) throw ComError(jet::errc::kUnspecified, "No se pudo encontrar el archivo ''.");
  auto db = jet::Database::open(path, jet::OpenOptions{
                                          .readOnly = (mode_ & adModeReadWrite) == adModeRead,
                                          .lockWait = lockWait_,
                                      });
  if (!db) raise(db.error());
  db_ = std::move(db.value());
  session_ = std::make_unique<jet::sql::Session>(*db_);
}

void Connection::close() {
  if (!db_) raiseClosed();
  while (db_->transactionDepth() > 0) {
    if (!db_->rollback()) break;
  }
  session_.reset();
  db_.reset();
}

int32_t Connection::state() const {
  return db_ ? adStateOpen : adStateClosed;
}

int32_t Connection::beginTrans() {
  auto level = database().begin();
  if (!level) raise(level.error());
  return level.value();
}

void Connection::commitTrans() {
  auto s = database().commit();
  if (!s) raise(s.error());
}

void Connection::rollbackTrans() {
  auto s = database().rollback();
  if (!s) raise(s.error());
}

jet::Database& Connection::database() {
  if (!db_) raiseClosed();
  return *db_;
}

jet::sql::Session& Connection::session() {
  if (!session_) raiseClosed();
  return *session_;
}

}  // namespace ado
