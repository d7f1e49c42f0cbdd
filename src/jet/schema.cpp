#include "jet/schema.h"

#include "jet/text.h"

namespace jet {

const char* accessTypeName(ColumnType t, bool autoNumber) {
  switch (t) {
    case ColumnType::Boolean: return "Boolean";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return autoNumber ? "AutoNumber" : "Long Integer";
    case ColumnType::Currency: return "Currency";
    case ColumnType::Single: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "Date/Time";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::OLE: return "OLE Object";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return autoNumber ? "AutoNumber (Replication ID)" : "Replication ID";
    case ColumnType::Numeric: return "Decimal";
    case ColumnType::Complex: return "Complex";
    case ColumnType::BigInt: return "Large Number";
    case ColumnType::ExtendedDateTime: return "Date/Time Extended";
  }
  return "Unknown";
}

uint16_t ColumnDef::textLength() const {
  // Jet 4 and ACE keep two bytes per character; Jet 3 one. The caller that
  // knows the format adjusts; two bytes is the common case.
  return type == ColumnType::Text ? size / 2 : 0;
}

int TableSchema::findColumn(std::string_view columnName) const {
  for (size_t i = 0; i < columns.size(); ++i) {
    if (equalsIgnoreCase(columns[i].name, columnName)) return static_cast<int>(i);
  }
  return -1;
}

ColumnDef newColumn(std::string name, ColumnType type, uint16_t length, bool autoNumber) {
  ColumnDef c;
  c.name = std::move(name);
  c.type = type;
  c.size = type == ColumnType::Text ? static_cast<uint16_t>(length * 2) : 0;
  c.autoNumber = autoNumber;
  if (type == ColumnType::Numeric) c.precision = 18;  // Access's default Decimal
  return c;
}

IndexDef newIndex(std::string name, std::vector<int> columns, bool primary) {
  IndexDef ix;
  ix.name = std::move(name);
  ix.primary = ix.unique = primary;
  for (int c : columns) ix.columns.push_back(IndexColumn{c, true});
  return ix;
}

}  // namespace jet
