// The key a row gives in one real index of its table: one part per key
// column, each keyed as the file's format and the column's sort order say
// (see index_key.h). The writer keys the rows it adds and removes with it,
// and the integrity check the rows it compares with the entries Access or
// the engine wrote, so both always agree on a key and on which rows an
// index leaves out.
#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/file_format.h"
#include "jet/status.h"
#include "jet/storage/tables/table_def.h"
#include "jet/storage/tables/table_layout.h"
#include "jet/value.h"

namespace jet::storage {

// `values` holds one value per schema column. kNotSupported when a text
// column is kept in a sort order the engine does not compute or a value
// can't be keyed (the statement then changes nothing).
Result<std::vector<uint8_t>> rowIndexKey(FileFormat format, const TableDef& def,
                                         const TableLayout& layout, const RealIndex& index,
                                         const std::vector<Value>& values);

}  // namespace jet::storage
