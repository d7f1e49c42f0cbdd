// ADO Command: one statement text, its type, its parameters, run on a
// connection.
//
// execute() runs the text through the engine's SQL session with the
// parameters bound in order to the "?" marks. A statement that returns rows
// answers an open recordset holding them; any other answers a closed
// recordset and reports the rows it changed. adCmdTable texts are table
// names and read the whole table. Failures raise ado::ComError with the
// provider's number and Spanish description.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ado/connection.h"
#include "ado/constants.h"
#include "ado/parameter.h"
#include "ado/recordset.h"
#include "ado/variant.h"

namespace jet::sql {
struct StatementResult;
}

namespace ado {

class Command {
 public:
  Command() = default;

  const std::shared_ptr<Connection>& activeConnection() const { return connection_; }
  void setActiveConnection(std::shared_ptr<Connection> connection) {
    connection_ = std::move(connection);
  }
  const std::string& commandText() const { return text_; }
  void setCommandText(std::string text) { text_ = std::move(text); }
  // adCmdUnknown until set; adCmdUnknown and adCmdText run the text as SQL.
  int32_t commandType() const { return type_; }
  void setCommandType(int32_t type) { type_ = type; }
  // A prepared statement is kept parsed by the engine between runs; the flag
  // changes no result.
  bool prepared() const { return prepared_; }
  void setPrepared(bool prepared) { prepared_ = prepared; }

  Parameters& parameters() { return parameters_; }
  const Parameters& parameters() const { return parameters_; }
  // A new parameter, not yet appended to parameters().
  Parameter createParameter(std::string name = "", int32_t type = adEmpty,
                            int32_t direction = adParamInput, int32_t size = 0,
                            Variant value = Variant()) const {
    return Parameter(std::move(name), type, direction, size, std::move(value));
  }

  // Runs the statement. *recordsAffected (when given) receives the rows an
  // INSERT, UPDATE or DELETE changed, -1 for a statement that returns rows.
  // Raises adErrInvalidConnection without an open active connection.
  Recordset execute(int32_t* recordsAffected = nullptr, int32_t options = adOptionUnspecified);

  // The engine's answer for the statement, for Recordset::open.
  jet::sql::StatementResult run();

 private:
  std::shared_ptr<Connection> connection_;
  std::string text_;
  int32_t type_ = adCmdUnknown;
  bool prepared_ = false;
  Parameters parameters_;
};

}  // namespace ado
