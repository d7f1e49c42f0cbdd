// Table definitions as the engine sees them: the Access column types by the
// codes the file stores, sizes, flags, and index definitions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jet {

// Column type codes as stored in a table definition.
enum class ColumnType : uint8_t {
  Boolean = 0x01,
  Byte = 0x02,
  Integer = 0x03,  // 16-bit
  Long = 0x04,     // 32-bit (AutoNumber is a Long with the auto flag)
  Currency = 0x05,
  Single = 0x06,
  Double = 0x07,
  DateTime = 0x08,
  Binary = 0x09,  // fixed-size or short binary
  Text = 0x0A,
  OLE = 0x0B,      // long binary
  Memo = 0x0C,     // long text
  Guid = 0x0F,     // Replication ID
  Numeric = 0x10,  // DECIMAL
  Complex = 0x12,  // ACE attachment and multi-valued columns: the id stored
  BigInt = 0x13,
  ExtendedDateTime = 0x14,  // ACE 17 "Date/Time Extended"
};

// The name Access gives the type in its table designer ("Long Integer", ...).
const char* accessTypeName(ColumnType t, bool autoNumber);

struct ColumnDef {
  std::string name;
  ColumnType type = ColumnType::Text;
  uint16_t size = 0;        // bytes for fixed columns; characters x bytes-per-char for Text
  bool autoNumber = false;  // Long AutoNumber (or Guid AutoNumber)
  bool fixed = false;       // stored in the fixed part of the row
  bool required = false;
  // Access 2010 and later: the value is computed from other columns and
  // kept, wrapped, as the value of `type` (the result type).
  bool calculated = false;
  uint8_t precision = 0;  // Numeric only
  uint8_t scale = 0;      // Numeric only
  // Complex only: the column's ComplexID in MSysComplexColumns, which names
  // what it holds (attachments, several values of one type, a memo's
  // version history).
  uint32_t complexId = 0;
  // Text size in characters, as Access shows it (Text(50)); 0 for other types.
  uint16_t textLength() const;
};

struct IndexColumn {
  int column = 0;  // index into TableSchema::columns
  bool ascending = true;
};

// An index and the properties Access keeps for it. A primary key and a
// required index refuse a row with a Null in any of their columns; an index
// that ignores nulls holds no entry for a row whose columns are all Null; a
// unique one refuses a second row with the same key, except where a column
// of the key is Null (Nulls are never equal to each other).
struct IndexDef {
  std::string name;
  std::vector<IndexColumn> columns;
  bool primary = false;
  bool unique = false;
  bool ignoreNulls = false;
  bool required = false;    // "Required" (DISALLOW NULL); a primary key refuses Nulls too
  bool foreignKey = false;  // a relationship's index: not shown as the user's own
};

// A column for a new table. For Text, `length` is in characters (stored as
// two bytes each); other types take the size the engine gives their type.
ColumnDef newColumn(std::string name, ColumnType type, uint16_t length = 0,
                    bool autoNumber = false);
// An ascending index on `columns`; a primary key is also unique.
IndexDef newIndex(std::string name, std::vector<int> columns, bool primary = false);

struct TableSchema {
  std::string name;
  std::vector<ColumnDef> columns;
  std::vector<IndexDef> indexes;
  bool system = false;
  uint32_t rowCount = 0;  // as kept in the table definition

  // Column position by name, compared as Access does (case-insensitive); -1 if none.
  int findColumn(std::string_view columnName) const;
};

}  // namespace jet
