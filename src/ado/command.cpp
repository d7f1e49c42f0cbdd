// The Command: a statement text with its parameters, run through the
// connection's SQL session.
#include "ado/command.h"

#include <limits>
#include <vector>

#include "ado/error.h"
#include "jet/error_codes.h"
#include "jet/sql/session.h"

namespace ado {

namespace {

[[noreturn]] void raiseInvalidConnection() {
  raiseAdoError(adErrInvalidConnection);
}

std::string bracketed(const std::string& table) {
  if (!table.empty() && table.front() == '[') return table;
  return "[" + table + "]";
}

}  // namespace

jet::sql::StatementResult Command::run() {
  if (!connection_ || connection_->state() != adStateOpen) raiseInvalidConnection();
  std::string text = text_;
  switch (type_) {
    case adCmdTable: text = "SELECT * FROM " + bracketed(text_); break;
    case adCmdStoredProc:
      throw ComError(jet::errc::kNotSupported,
                     "El proveedor no admite la operación solicitada: consultas guardadas.");
    default: break;
  }
  std::vector<jet::Value> values;
  values.reserve(static_cast<size_t>(parameters_.count()));
  for (const Parameter& p : parameters_) {
    if (p.direction() == adParamInput || p.direction() == adParamInputOutput ||
        p.direction() == adParamUnknown)
      values.push_back(p.engineValue());
  }
  auto result = connection_->session().execute(text, values);
  if (!result) throw ComError(result.error());
  return std::move(result.value());
}

Recordset Command::execute(int32_t* recordsAffected, int32_t /*options*/) {
  jet::sql::StatementResult result = run();
  Recordset rs;
  if (result.returnsRows) {
    if (recordsAffected) *recordsAffected = -1;
    rs.openOn(std::move(result), adOpenForwardOnly, adLockReadOnly);
    return rs;
  }
  if (recordsAffected) {
    int64_t n = result.rowsAffected;
    *recordsAffected = n > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                               : static_cast<int32_t>(n);
  }
  return rs;
}

}  // namespace ado
