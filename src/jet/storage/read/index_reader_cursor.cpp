// Streaming the rows an index lookup found; see index_reader_cursor.h.
#include "jet/storage/read/index_reader_cursor.h"

#include "jet/error_codes.h"
#include "jet/storage/read/table_cursor.h"

namespace jet::storage {

IndexedRowCursor::IndexedRowCursor(Pager& pager, std::shared_ptr<const TableDef> def,
                                   std::vector<RowId> rows, std::vector<int> columns)
    : pager_(pager),
      def_(std::move(def)),
      rows_(std::move(rows)),
      columns_(std::move(columns)),
      statement_(pager.statementNumber()) {}

IndexedRowCursor::~IndexedRowCursor() {
  hold_.release();
}

Result<bool> IndexedRowCursor::next() {
  if (pager_.statementNumber() != statement_) {
    hold_.release();
    return Error{errc::kUnspecified,
                 "La lectura por índice ya no es válida: la base de datos cambió mientras tanto."};
  }
  if (next_ >= rows_.size()) {
    hold_.release();
    return false;
  }
  current_ = rows_[next_++];
  if (auto s = readRowAt(pager_, *def_, current_, columns_, values_); !s) {
    Error failure = s.error();  // taken before the statement's lock goes
    hold_.release();
    return failure;
  }
  return true;
}

}  // namespace jet::storage
