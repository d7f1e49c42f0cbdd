// ADO Recordset: the rows of a read, with a current row and named fields.
//
// A Recordset is a handle, as an ADO object reference is: copies refer to
// the same rows and the same current position, and the rows live as long as
// any copy (or any Field taken from it) does. A default-made Recordset is a
// new, closed one, as `New ADODB.Recordset` gives.
//
// open() runs the statement at once and keeps every row on the client, so
// the record count is exact for every cursor except a server-side
// forward-only one, which reports -1 as ADO does. The end flag (eof) is set
// past the last row; on a result without rows both eof and bof are set.
// Fields are found by name without regard to case. A Field is an
// ado::Variant of type "Field" that reads the current row when it is used.
//
// Reading a closed recordset raises adErrObjectClosed; reading a field
// without a current row raises adErrNoCurrentRecord.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ado/constants.h"
#include "ado/variant.h"

namespace jet::sql {
struct StatementResult;
}

namespace ado {

class Command;
class Connection;

class Recordset {
 public:
  Recordset();

  // adUseServer until set. Raises adErrObjectOpen while open.
  int32_t cursorLocation() const;
  void setCursorLocation(int32_t location);
  // The cursor and lock types of the last open(); a client-side cursor is
  // always static, as ADO makes it.
  int32_t cursorType() const;
  int32_t lockType() const;

  // Opens on a statement text run on `connection`. Raises adErrObjectOpen
  // when already open, adErrInvalidConnection without an open connection,
  // and the engine's failure for the statement.
  void open(const std::string& source, const std::shared_ptr<Connection>& connection,
            int32_t cursorType = adOpenUnspecified, int32_t lockType = adLockUnspecified,
            int32_t options = adOptionUnspecified);
  // Opens on a command: its text, type, parameters and connection.
  void open(Command& source, int32_t cursorType = adOpenUnspecified,
            int32_t lockType = adLockUnspecified, int32_t options = adOptionUnspecified);
  void close();
  int32_t state() const;

  bool eof() const;
  bool bof() const;
  int32_t recordCount() const;
  void moveFirst();
  // Raises adErrNoCurrentRecord at the end.
  void moveNext();

  // The field of that name (any case), as a Field variant; raises
  // adErrItemNotFound for a name the result does not have.
  Variant fields(std::string_view name) const;
  // The field at a position from 0.
  Variant fields(int32_t index) const;
  int32_t fieldCount() const;
  std::string fieldName(int32_t index) const;

  // The dynamic properties of a client-side cursor: "Initial Fetch Size" and
  // "Background Fetch Size" (names compared without regard to case). A
  // server-side recordset does not have them: adErrItemNotFound. All rows
  // arrive at once here, so the values change no result.
  void setProperty(std::string_view name, const Variant& value);
  Variant property(std::string_view name) const;

  // Opens the recordset on rows the engine already answered (Command uses
  // it for a statement that returns rows).
  void openOn(jet::sql::StatementResult result, int32_t cursorType, int32_t lockType);

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace ado
