// Index key encoding: the flag of each part, numbers and dates; text is
// keyed by the order of its column (index_key_general*.cpp).
#include "jet/storage/read/index_key.h"

#include <cstdio>
#include <cstring>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"

namespace jet::storage {

namespace {

constexpr uint8_t kAscendingValue = 0x7F;
constexpr uint8_t kAscendingNull = 0x00;
constexpr uint8_t kDescendingValue = 0x80;
constexpr uint8_t kDescendingNull = 0xFF;
constexpr uint8_t kEndExtra = 0x00;

void appendBigEndian(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint64_t orderedDouble(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return (bits & 0x8000000000000000ull) ? ~bits : bits ^ 0x8000000000000000ull;
}

uint32_t orderedFloat(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return (bits & 0x80000000u) ? ~bits : bits ^ 0x80000000u;
}

}  // namespace

Result<TextKeyOrder> textKeyOrderFor(FileFormat format, uint16_t sortOrder, uint8_t sortVersion) {
  if (sortOrder == format::kGeneralSortOrder) {
    if (format == FileFormat::Jet3) return TextKeyOrder::General97;
    if (sortVersion == 0) return TextKeyOrder::General;
    if (sortVersion == 1) return TextKeyOrder::General2010;
  }
  char buf[48];
  std::snprintf(buf, sizeof buf, "%u (versión %u)", unsigned{sortOrder}, unsigned{sortVersion});
  return Error{errc::kNotSupported,
               std::string("El motor no calcula las claves del orden de texto ") + buf +
                   "; no se ha modificado nada."};
}

Status appendIndexKeyPart(std::vector<uint8_t>& key, ColumnType type, const Value& value,
                          bool ascending, TextKeyOrder order) {
  if (value.isNull()) {
    key.push_back(ascending ? kAscendingNull : kDescendingNull);
    return Status::ok();
  }
  key.push_back(ascending ? kAscendingValue : kDescendingValue);
  size_t start = key.size();
  switch (type) {
    case ColumnType::Byte: key.push_back(value.asByte()); break;
    case ColumnType::Integer:
      appendBigEndian(key, static_cast<uint16_t>(value.asInteger()) ^ 0x8000u, 2);
      break;
    case ColumnType::Long:
      appendBigEndian(key, static_cast<uint32_t>(value.asLong()) ^ 0x80000000u, 4);
      break;
    case ColumnType::BigInt:
      appendBigEndian(key, static_cast<uint64_t>(value.asBigInt()) ^ 0x8000000000000000ull, 8);
      break;
    case ColumnType::Currency:
      appendBigEndian(key, static_cast<uint64_t>(value.asCurrency().scaled) ^ 0x8000000000000000ull,
                      8);
      break;
    case ColumnType::Double: appendBigEndian(key, orderedDouble(value.asDouble()), 8); break;
    case ColumnType::DateTime:
      appendBigEndian(key, orderedDouble(value.asDateTime().days), 8);
      break;
    case ColumnType::Single: appendBigEndian(key, orderedFloat(value.asSingle()), 4); break;
    case ColumnType::Text:
    case ColumnType::Memo: {
      if (order == TextKeyOrder::General97) {
        // Self-ending: the whole part is inverted for a descending column.
        auto t = general97TextKey(value.asText());
        if (!t) return t.status();
        key.insert(key.end(), t->begin(), t->end());
        if (!ascending) {
          for (size_t i = start; i < key.size(); ++i) key[i] = static_cast<uint8_t>(~key[i]);
        }
        return Status::ok();
      }
      auto t = order == TextKeyOrder::General2010 ? general2010TextKey(value.asText())
                                                  : generalTextKey(value.asText());
      if (!t) return t.status();
      key.insert(key.end(), t->begin(), t->end());
      if (!ascending) key.push_back(kEndExtra);
      break;
    }
    default:
      return Error{errc::kNotSupported,
                   "El motor todavía no mantiene índices sobre campos de este tipo; no se ha "
                   "modificado nada."};
  }
  if (!ascending) {
    for (size_t i = start; i < key.size(); ++i) key[i] = static_cast<uint8_t>(~key[i]);
  }
  if (type == ColumnType::Text || type == ColumnType::Memo) key.push_back(kEndExtra);
  return Status::ok();
}

}  // namespace jet::storage
