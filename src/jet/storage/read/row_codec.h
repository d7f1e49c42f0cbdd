// The row codec, decode side: pure functions from the bytes of a data page
// and of one row to the values of its columns.
//
// A data page lists its rows in an offset table; rows are stored from the
// end of the page towards the start, so a row ends where the previous one
// starts. An entry may flag the row deleted, or moved: then the row holds
// only a pointer to the page and slot where it lives now.
//
// A row is: the column count; the fixed-size columns; the variable-size
// columns; then, read from the row's end backwards, the null mask (one bit
// per column, set = present, and the value itself for Boolean columns), the
// number of variable columns, and their offsets (2 bytes each in Jet 4 and
// ACE; 1 byte each in Jet 3, where a jump table adds 256 to the offsets
// past each 256-byte boundary). A row may hold fewer columns than the table
// has (rows are not rewritten when a column is added): the missing ones
// are Null.
//
// Memo and OLE values are a 12-byte reference in the row: the value itself
// follows inline, or sits in one row of a long-value page, or runs through
// a chain of such rows. The codec parses the reference; a LongValueSource
// supplies the rows it points to, so the codec itself touches no file.
//
// Nothing here trusts the bytes: every offset is checked against the row,
// every chain is loop-guarded and bounded by the declared length, and a
// damaged row is an error, never a read outside the input.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "jet/format/jet_format.h"
#include "jet/schema.h"
#include "jet/status.h"
#include "jet/storage/pages/bytes.h"
#include "jet/storage/pages/row_slots.h"
#include "jet/storage/tables/table_def.h"
#include "jet/value.h"

namespace jet::storage {

// --- rows ---

// A row split into its parts, pointing into the row's bytes.
struct RowParts {
  ByteSpan row;
  uint16_t columnCount = 0;  // columns stored in this row
  ByteSpan nullMask;
  uint16_t varCount = 0;
  std::vector<uint16_t> varOffsets;  // varCount + 1 entries; the last ends the data
  size_t varAreaEnd = 0;             // where the offset table starts

  bool present(uint16_t columnNumber) const;
};

// hasVarColumns: the table defines variable columns (otherwise rows carry
// no offset table).
Result<RowParts> splitRow(ByteSpan row, const format::Layout& layout, bool hasVarColumns);
// The same into `out`, reusing its offset table's storage (a scan splits
// every row of a table into one RowParts).
Status splitRowInto(ByteSpan row, const format::Layout& layout, bool hasVarColumns, RowParts& out);

// --- long values ---

struct LongValueRef {
  enum class Kind { Inline, SinglePage, Chain } kind = Kind::Inline;
  uint32_t length = 0;
  RowPointer where;  // for SinglePage and Chain
  ByteSpan inlineData;
};

Result<LongValueRef> parseLongValueRef(ByteSpan field);

// Gives the bytes of a row elsewhere in the file (a long-value row).
class LongValueSource {
 public:
  virtual ~LongValueSource() = default;
  // The bytes of row `where`; the span stays valid until the next call.
  virtual Result<ByteSpan> row(RowPointer where) = 0;
  // Upper bound on the rows a chain can have (the file's page count x rows).
  virtual uint32_t maxChainRows() const = 0;
};

// Reads a long value through `source`, whichever way it is stored.
Result<Bytes> readLongValue(const LongValueRef& ref, LongValueSource& source);
// The same into `out` (replacing what it held, keeping its storage).
Status readLongValueInto(const LongValueRef& ref, LongValueSource& source, Bytes& out);

// --- values ---

struct DecodeContext {
  const format::Layout* layout = nullptr;
  uint16_t codePage = 0;                  // Jet 3 text
  LongValueSource* longValues = nullptr;  // null: memo and OLE values fail to decode
  // Where a memo stored outside the row is gathered before it becomes
  // text; null: a fresh buffer each time.
  Bytes* longValueScratch = nullptr;
};

// The value of one column of a split row.
Result<Value> decodeColumn(const RowParts& parts, const ColumnDef& column,
                           const ColumnPlacement& place, const DecodeContext& ctx);
// The same into `out`, keeping the storage of a text `out` already held.
// On failure `out` is left Null.
Status decodeColumnInto(const RowParts& parts, const ColumnDef& column,
                        const ColumnPlacement& place, const DecodeContext& ctx, Value& out);

// ACE 17 "Date/Time Extended" keeps a date as 42 bytes of text: the day
// counted from 0001-01-01 in 19 digits, ':', the 100-ns tick of the day in 19
// digits, ':', the digits of fraction kept ('7'), and a zero byte.
inline constexpr size_t kExtendedDateTimeSize = 42;
// The value of such a field; nullopt when it is not one or names no date
// between 0001-01-01 and 9999-12-31.
std::optional<ExtendedDateTime> parseExtendedDateTime(ByteSpan field);
// The field for a value (ticks within that range).
std::vector<uint8_t> extendedDateTimeField(ExtendedDateTime at);

// A calculated column keeps its value wrapped (format::kCalculated*): the
// bytes of the value inside, or an error when the wrapping is cut.
Result<ByteSpan> unwrapCalculated(ByteSpan stored);

}  // namespace jet::storage
