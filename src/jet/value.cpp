#include "jet/value.h"

namespace jet {

bool Value::isNumeric() const {
  switch (type()) {
    case ValueType::Boolean:
    case ValueType::Byte:
    case ValueType::Integer:
    case ValueType::Long:
    case ValueType::Currency:
    case ValueType::Single:
    case ValueType::Double:
    case ValueType::Decimal:
    case ValueType::BigInt: return true;
    default: return false;
  }
}

const char* typeName(ValueType t) {
  switch (t) {
    case ValueType::Null: return "Null";
    case ValueType::Boolean: return "Boolean";
    case ValueType::Byte: return "Byte";
    case ValueType::Integer: return "Integer";
    case ValueType::Long: return "Long";
    case ValueType::Currency: return "Currency";
    case ValueType::Single: return "Single";
    case ValueType::Double: return "Double";
    case ValueType::DateTime: return "Date";
    case ValueType::Text: return "String";
    case ValueType::Binary: return "Byte()";
    case ValueType::Guid: return "String";
    case ValueType::Decimal: return "Decimal";
    case ValueType::BigInt: return "LongLong";
    case ValueType::ExtendedDateTime: return "Date";
  }
  return "Unknown";
}

}  // namespace jet
