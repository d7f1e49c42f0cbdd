// The rows an index lookup found, streamed like a scan: RowCursor over a
// list of row places, read and decoded one at a time in the asked columns.
//
// The cursor holds a reference to the pager and the table definition; it
// must not outlive the FileDatabase that made it.
#pragma once

#include <memory>
#include <vector>

#include "jet/database.h"
#include "jet/storage/pages/pager.h"
#include "jet/storage/tables/table_def.h"

namespace jet::storage {

class IndexedRowCursor : public RowCursor {
 public:
  IndexedRowCursor(Pager& pager, std::shared_ptr<const TableDef> def, std::vector<RowId> rows,
                   std::vector<int> columns);
  ~IndexedRowCursor() override;
  // Makes the cursor end the pager's statement when it reaches the end or
  // is destroyed (the lookup of a read statement).
  void holdStatement() { hold_.hold(); }

  Result<bool> next() override;
  RowId rowId() const override { return current_; }
  const std::vector<Value>& values() const override { return values_; }

 private:
  Pager& pager_;
  std::shared_ptr<const TableDef> def_;
  std::vector<RowId> rows_;
  std::vector<int> columns_;
  size_t next_ = 0;
  RowId current_;
  std::vector<Value> values_;
  uint64_t statement_ = 0;
  StatementHold hold_{pager_};
};

}  // namespace jet::storage
