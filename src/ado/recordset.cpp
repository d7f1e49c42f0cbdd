// The Recordset: rows held on the client, the current position, fields by
// name, and the two fetch-size properties of a client cursor.
//
// A Field keeps the recordset's rows alive and remembers which opening of
// the recordset it came from, so a Field taken before a close (or before the
// recordset was opened again on other rows) raises instead of reading rows
// that are gone.
#include "ado/recordset.h"

#include <limits>
#include <utility>
#include <vector>

#include "ado/command.h"
#include "ado/connection.h"
#include "ado/error.h"
#include "jet/sql/session.h"
#include "jet/text.h"

namespace ado {

namespace {

[[noreturn]] void raiseClosed() {
  raiseAdoError(adErrObjectClosed);
}

[[noreturn]] void raiseOpen() {
  raiseAdoError(adErrObjectOpen);
}

[[noreturn]] void raiseNotFound() {
  raiseAdoError(adErrItemNotFound);
}

[[noreturn]] void raiseNoCurrentRecord() {
  raiseAdoError(adErrNoCurrentRecord);
}

[[noreturn]] void raiseInvalidConnection() {
  raiseAdoError(adErrInvalidConnection);
}

struct FetchProperty {
  const char* name;
  int16_t initial;
};
constexpr FetchProperty kFetchProperties[] = {{"Initial Fetch Size", 50},
                                              {"Background Fetch Size", 15}};

}  // namespace

struct Recordset::State {
  bool open = false;
  uint64_t opening = 0;  // counts the openings; a Field belongs to one
  int32_t cursorLocation = adUseServer;
  int32_t cursorType = adOpenForwardOnly;
  int32_t lockType = adLockReadOnly;
  std::vector<jet::sql::ResultColumn> columns;
  std::vector<std::vector<jet::Value>> rows;
  size_t position = 0;  // rows.size() is the end
  Variant fetch[2] = {Variant(kFetchProperties[0].initial), Variant(kFetchProperties[1].initial)};

  void requireOpen() const {
    if (!open) raiseClosed();
  }
};

namespace {

class RecordsetField : public FieldSource {
 public:
  RecordsetField(std::shared_ptr<const Recordset::State> state, size_t column)
      : state_(std::move(state)), column_(column), opening_(state_->opening) {}

  std::string name() const override {
    check();
    return state_->columns[column_].name;
  }

  Variant value() const override {
    check();
    if (state_->position >= state_->rows.size()) raiseNoCurrentRecord();
    const auto& row = state_->rows[state_->position];
    if (column_ >= row.size()) return Variant::null();
    return Variant::fromValue(row[column_]);
  }

 private:
  void check() const {
    if (!state_->open || state_->opening != opening_ || column_ >= state_->columns.size())
      raiseClosed();
  }

  std::shared_ptr<const Recordset::State> state_;
  size_t column_;
  uint64_t opening_;
};

}  // namespace

Recordset::Recordset() : state_(std::make_shared<State>()) {}

int32_t Recordset::cursorLocation() const {
  return state_->cursorLocation;
}

void Recordset::setCursorLocation(int32_t location) {
  if (state_->open) raiseOpen();
  if (location != adUseServer && location != adUseClient) raiseAdoError(adErrInvalidArgument);
  state_->cursorLocation = location;
}

int32_t Recordset::cursorType() const {
  return state_->cursorType;
}
int32_t Recordset::lockType() const {
  return state_->lockType;
}

void Recordset::open(const std::string& source, const std::shared_ptr<Connection>& connection,
                     int32_t cursorType, int32_t lockType, int32_t /*options*/) {
  if (state_->open) raiseOpen();
  if (!connection || connection->state() != adStateOpen) raiseInvalidConnection();
  Command command;
  command.setActiveConnection(connection);
  command.setCommandText(source);
  open(command, cursorType, lockType);
}

void Recordset::open(Command& source, int32_t cursorType, int32_t lockType, int32_t /*options*/) {
  if (state_->open) raiseOpen();
  jet::sql::StatementResult result = source.run();
  // A statement that returns no rows leaves the recordset closed, as ADO
  // leaves it.
  if (!result.returnsRows) return;
  openOn(std::move(result), cursorType, lockType);
}

void Recordset::openOn(jet::sql::StatementResult result, int32_t cursorType, int32_t lockType) {
  if (state_->open) raiseOpen();
  State& s = *state_;
  s.columns = std::move(result.columns);
  s.rows = std::move(result.rows);
  s.position = 0;
  // A client cursor is always static; unspecified choices take ADO's
  // defaults (forward-only, read-only).
  if (s.cursorLocation == adUseClient)
    s.cursorType = adOpenStatic;
  else
    s.cursorType = cursorType == adOpenUnspecified ? adOpenForwardOnly : cursorType;
  s.lockType = lockType == adLockUnspecified ? adLockReadOnly : lockType;
  ++s.opening;
  s.open = true;
}

void Recordset::close() {
  state_->requireOpen();
  State& s = *state_;
  s.open = false;
  s.columns.clear();
  s.rows.clear();
  s.position = 0;
}

int32_t Recordset::state() const {
  return state_->open ? adStateOpen : adStateClosed;
}

bool Recordset::eof() const {
  state_->requireOpen();
  return state_->position >= state_->rows.size();
}

bool Recordset::bof() const {
  state_->requireOpen();
  // Only forward moves exist, so the position is before the first row only
  // when there is no row at all.
  return state_->rows.empty();
}

int32_t Recordset::recordCount() const {
  state_->requireOpen();
  if (state_->cursorLocation == adUseServer && state_->cursorType == adOpenForwardOnly) return -1;
  size_t n = state_->rows.size();
  return n > static_cast<size_t>(std::numeric_limits<int32_t>::max())
             ? std::numeric_limits<int32_t>::max()
             : static_cast<int32_t>(n);
}

void Recordset::moveFirst() {
  state_->requireOpen();
  if (state_->rows.empty()) raiseNoCurrentRecord();
  state_->position = 0;
}

void Recordset::moveNext() {
  state_->requireOpen();
  if (state_->position >= state_->rows.size()) raiseNoCurrentRecord();
  ++state_->position;
}

Variant Recordset::fields(std::string_view name) const {
  state_->requireOpen();
  for (size_t i = 0; i < state_->columns.size(); ++i)
    if (jet::equalsIgnoreCase(state_->columns[i].name, name))
      return Variant::field(std::make_shared<RecordsetField>(state_, i));
  raiseNotFound();
}

Variant Recordset::fields(int32_t index) const {
  state_->requireOpen();
  if (index < 0 || static_cast<size_t>(index) >= state_->columns.size()) raiseNotFound();
  return Variant::field(std::make_shared<RecordsetField>(state_, static_cast<size_t>(index)));
}

int32_t Recordset::fieldCount() const {
  state_->requireOpen();
  return static_cast<int32_t>(state_->columns.size());
}

std::string Recordset::fieldName(int32_t index) const {
  state_->requireOpen();
  if (index < 0 || static_cast<size_t>(index) >= state_->columns.size()) raiseNotFound();
  return state_->columns[static_cast<size_t>(index)].name;
}

void Recordset::setProperty(std::string_view name, const Variant& value) {
  if (state_->cursorLocation != adUseClient) raiseNotFound();
  for (size_t i = 0; i < 2; ++i) {
    if (jet::equalsIgnoreCase(kFetchProperties[i].name, name)) {
      // The property holds a whole number of rows.
      state_->fetch[i] = Variant(value.toLong());
      return;
    }
  }
  raiseNotFound();
}

Variant Recordset::property(std::string_view name) const {
  if (state_->cursorLocation != adUseClient) raiseNotFound();
  for (size_t i = 0; i < 2; ++i)
    if (jet::equalsIgnoreCase(kFetchProperties[i].name, name)) return state_->fetch[i];
  raiseNotFound();
}

}  // namespace ado
