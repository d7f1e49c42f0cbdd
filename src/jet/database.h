// The engine's face to the layers above: an open Access database file.
//
// A Database is one process's handle on one .mdb or .accdb file. It answers
// the catalog (table names and definitions), streams rows, and writes rows.
// The point of sale and other boards use the same file at the same time:
// every operation revalidates what it read earlier against the file, and each
// statement sees everything other processes committed before it began.
//
// Transactions nest. begin() opens a level and answers the new depth (1 for
// the outermost). rollback() undoes everything since the matching begin();
// commit() of an inner level keeps its changes in the enclosing one; commit()
// of the outermost level makes them durable in the file at once. Every write
// operation outside a transaction is its own transaction. A process killed at
// any instant leaves the file with all or none of a transaction's changes.
//
// Locks: other programs' statements and transactions are waited for at most
// the lock wait (OpenOptions::lockWait, setLockWait), in the order the
// programs started waiting; a file still busy then fails the call with
// jet::native::kLocked, having read and written nothing, and the caller may
// try again. A read holds the file against writers only for its statement.
//
// Threading: one Database is used by one thread at a time.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "jet/error_codes.h"
#include "jet/format/file_format.h"
#include "jet/format/row_id.h"
#include "jet/schema.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

// A forward-only stream of the live rows of one table. Rows are decoded one at
// a time and only in the columns asked for, so memory does not grow with the
// table. The cursor must not outlive its Database, and it sees the file as it
// was when the cursor was made (a write through the same Database while a
// cursor is open invalidates the cursor: next() then fails).
class RowCursor {
 public:
  virtual ~RowCursor() = default;
  // Moves to the next live row: true when there is one, false at the end.
  virtual Result<bool> next() = 0;
  // The current row's place, valid after next() answered true.
  virtual RowId rowId() const = 0;
  // The current row's values, one per requested column, in request order.
  virtual const std::vector<Value>& values() const = 0;
};

// One index lookup: the rows whose `columns` (schema positions: the leading
// columns of one of the table's indexes, in that index's order) hold
// `values` (one per column, each of its column's type).
struct IndexLookup {
  std::vector<int> columns;
  std::vector<Value> values;
};

struct OpenOptions {
  bool readOnly = false;
  // How long to wait for another program's lock; unset, the engine's own
  // default (long enough for any statement of the point of sale).
  std::optional<std::chrono::milliseconds> lockWait = std::nullopt;
};

class Database {
 public:
  virtual ~Database() = default;

  // Opens an existing file. Refuses (with a clear error) a file that is not an
  // Access database, one with a database password, and an encrypted file.
  static Result<std::unique_ptr<Database>> open(const std::string& path, OpenOptions options = {});
  // Creates a new, empty database file (Jet4 for .mdb, Ace12 for .accdb);
  // fails if the file exists.
  static Result<std::unique_ptr<Database>> create(const std::string& path, FileFormat format);

  virtual FileFormat format() const = 0;
  virtual const std::string& path() const = 0;

  // --- catalog ---
  // User tables in catalog order; system tables (MSys*) too when asked.
  virtual Result<std::vector<std::string>> tableNames(bool includeSystem = false) = 0;
  // A table's definition, by name compared case-insensitively.
  virtual Result<TableSchema> table(std::string_view name) = 0;

  // --- reading ---
  // Streams the rows of a table, decoding only `columns` (positions in the
  // table's column list). An empty list streams row ids only.
  virtual Result<std::unique_ptr<RowCursor>> scan(std::string_view table,
                                                  std::vector<int> columns) = 0;
  // Reads one row by its place (all columns, in definition order).
  virtual Result<std::vector<Value>> readRow(std::string_view table, RowId row) = 0;

  // --- reading through indexes ---
  // The rows any of `lookups` finds, each once, in the order scan() meets
  // them, decoding `columns` as scan() does. The index's own comparison
  // finds them (text without regard to case, in the General sort order), so
  // a caller tests its own conditions on every row. kNotSupported when an
  // index can't answer (no index on those columns, a key the engine can't
  // make, a file whose indexes it does not read): scan() the table instead.
  virtual Result<std::unique_ptr<RowCursor>> seek(std::string_view table,
                                                  const std::vector<IndexLookup>& lookups,
                                                  std::vector<int> columns) {
    (void)table, (void)lookups, (void)columns;
    return Error{errc::kNotSupported, "Esta base de datos no busca por índices."};
  }
  // How many index entries each of `lookups` finds, counting no further
  // than `limit`: a cheap measure of what a seek() would read.
  virtual Result<std::vector<uint64_t>> countIndexed(std::string_view table,
                                                     const std::vector<IndexLookup>& lookups,
                                                     uint64_t limit) {
    (void)table, (void)lookups, (void)limit;
    return Error{errc::kNotSupported, "Esta base de datos no busca por índices."};
  }

  // --- writing ---
  virtual Status createTable(const TableSchema& schema) = 0;
  // Inserts a row. `values` has one entry per column in definition order; a
  // Null for an AutoNumber column takes the next number. Answers the new row's
  // place; the AutoNumber it took, if any, goes to *autoNumber.
  virtual Result<RowId> insertRow(std::string_view table, std::vector<Value> values,
                                  int32_t* autoNumber = nullptr) = 0;
  // Changes some columns of one row: pairs of (column position, new value).
  // Answers the row's place afterwards (it may move).
  virtual Result<RowId> updateRow(std::string_view table, RowId row,
                                  const std::vector<std::pair<int, Value>>& changes) = 0;
  virtual Status deleteRow(std::string_view table, RowId row) = 0;

  // --- one statement of several calls ---
  // Makes the calls up to the matching endRead() one statement to other
  // programs: the file is locked for reading once, no other program commits
  // in between, and every call sees the file as of one moment. So a SQL
  // statement waits for its turn once, not once per table it reads. Pairs
  // nest; inside a transaction they change nothing. Hold one for one
  // statement only: writers wait while it is held.
  virtual Status beginRead() { return Status::ok(); }
  virtual void endRead() {}

  // The lock wait from now on (see Locks above).
  virtual void setLockWait(std::chrono::milliseconds wait) { (void)wait; }

  // --- changing a table's definition ---
  // Each is all or nothing, like a write, and takes effect for the
  // statements that follow. kNotSupported where the database can't.
  // Adds `index` (columns by schema position) and fills it from the rows
  // already there: refused when a row has a Null the index refuses or a
  // key a unique index would repeat.
  virtual Status createIndex(std::string_view table, const IndexDef& index) {
    (void)table, (void)index;
    return Error{errc::kNotSupported, "Esta base de datos no crea índices."};
  }
  virtual Status dropIndex(std::string_view table, std::string_view index) {
    (void)table, (void)index;
    return Error{errc::kNotSupported, "Esta base de datos no elimina índices."};
  }
  // Removes a table and its rows.
  virtual Status dropTable(std::string_view table) {
    (void)table;
    return Error{errc::kNotSupported, "Esta base de datos no elimina tablas."};
  }
  // Adds a column after the others; the rows already there hold Null in it.
  virtual Status addColumn(std::string_view table, const ColumnDef& column) {
    (void)table, (void)column;
    return Error{errc::kNotSupported, "Esta base de datos no añade campos."};
  }

  // --- transactions ---
  virtual Result<int> begin() = 0;
  virtual Status commit() = 0;
  virtual Status rollback() = 0;
  virtual int transactionDepth() const = 0;
};

}  // namespace jet
