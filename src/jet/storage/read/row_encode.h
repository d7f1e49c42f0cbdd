// The row encoder: the inverse of the row decoder.
//
// A row is laid out as Access lays it: the column count, the fixed columns at
// their offsets, the variable columns one after another, the end-of-data
// offset, the variable offsets in reverse order, their count, and the null
// mask (one bit per column number, set when the value is present; Boolean
// values live in the mask itself). Text is UCS-2, compressed when the column
// allows it and the compressed form is shorter.
//
// Access 97 rows count columns and variable columns in one byte, keep only
// the low byte of each offset, and carry a jump table before the count: its
// n-th entry names the first offset at or past byte 256*(n+1), and its
// length follows from the row's length, so it may end with a filler entry.
// Their text is in the file's code page; a character the code page lacks
// is an error, never a question mark.
//
// Memo and OLE values go to a
// LongValueSink, which decides whether they stay in the row or go to
// long-value pages, and answers the 12-byte field the row keeps.
//
// Values are converted to the column's type first (a Double for a Long
// column, a Long for a Currency column); a value that does not fit its column
// is an error and nothing is encoded.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "jet/schema.h"
#include "jet/status.h"
#include "jet/storage/tables/table_def.h"
#include "jet/value.h"

namespace jet::storage {

class LongValueSink {
 public:
  virtual ~LongValueSink() = default;
  // Keeps `data` (the value's bytes as stored) and answers the row's field:
  // the 12-byte header, followed by the data itself when it stays inline.
  virtual Result<std::vector<uint8_t>> storeLongValue(std::vector<uint8_t> data) = 0;
};

// UCS-2 little-endian bytes of `text`; with `compress`, the FF FE compressed
// form when every character fits one byte and that form is shorter.
std::vector<uint8_t> encodeUcs2Text(std::u16string_view text, bool compress);

// `value` converted to what `column` stores; Null stays Null.
Result<Value> coerceForColumn(const ColumnDef& column, const Value& value);

struct RowEncodeOptions {
  // Per column (parallel to schema.columns): compress text. Empty: never.
  std::vector<bool> compressText;
  // Per column: the long-value field to keep as it is (an unchanged memo of
  // an updated row). Empty, or nullopt for a column: encode the value.
  std::vector<std::optional<std::vector<uint8_t>>> keepLongField;
  // The file is an Access 97 one, its text in this Windows code page.
  bool jet3 = false;
  uint16_t codePage = 0;
};

// The row's bytes. `values` has one entry per column of def.schema.columns,
// already coerced or not. `sink` receives memo and OLE values (may be null
// when the table has none that are non-null).
Result<std::vector<uint8_t>> encodeRow(const TableDef& def, const std::vector<Value>& values,
                                       LongValueSink* sink, const RowEncodeOptions& options = {});

// The raw bytes of variable column slot `varIndex` in a stored row of a
// table with variable columns (empty when absent or null), for keeping
// unchanged long-value fields.
std::optional<std::vector<uint8_t>> variableFieldBytes(std::span<const uint8_t> row,
                                                       uint16_t varIndex, bool jet3);

}  // namespace jet::storage
