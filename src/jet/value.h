// The values the engine stores and computes with: one Value per column of a
// row, per SQL expression result and per statement parameter.
//
// A Value is a small tagged union. Text is held as UTF-8 whatever the file
// keeps (code-page text in Jet 3, UCS-2 in Jet 4 and ACE); dates are held as
// Access keeps them, days since 1899-12-30 with the time of day as the
// fraction, so nothing is lost between the file and the caller.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace jet {

// Money, as Access keeps it: a whole number of ten-thousandths.
struct Currency {
  int64_t scaled = 0;
  friend bool operator==(const Currency&, const Currency&) = default;
};

// Days since 1899-12-30; the fraction is the time of day (0.5 is noon).
// Negative values count days before 1899-12-30 with a positive time fraction.
struct DateTime {
  double days = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// A Date/Time Extended value: 100-nanosecond ticks since 0001-01-01
// 00:00:00, the whole range and fraction Access 2019 keeps (0001-01-01 to
// 9999-12-31 23:59:59.9999999), which a DateTime's double cannot hold.
struct ExtendedDateTime {
  int64_t ticks = 0;
  friend bool operator==(const ExtendedDateTime&, const ExtendedDateTime&) = default;
};

// A replication id: the 16 bytes as stored in the file.
struct Guid {
  std::array<uint8_t, 16> bytes{};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// Access DECIMAL: a 96-bit magnitude with a sign and a scale (digits after
// the point); precision is the column's declared precision.
struct Decimal {
  bool negative = false;
  uint8_t precision = 18;
  uint8_t scale = 0;
  unsigned __int128 magnitude = 0;
  friend bool operator==(const Decimal&, const Decimal&) = default;
};

using Bytes = std::vector<uint8_t>;

enum class ValueType : uint8_t {
  Null,
  Boolean,
  Byte,
  Integer,  // 16-bit signed
  Long,     // 32-bit signed
  Currency,
  Single,
  Double,
  DateTime,
  Text,
  Binary,
  Guid,
  Decimal,
  BigInt,            // 64-bit signed (ACE "Large Number")
  ExtendedDateTime,  // ACE 17 "Date/Time Extended"
};

class Value {
 public:
  Value() = default;  // Null
  static Value null() { return Value(); }
  static Value boolean(bool b) { return Value(Storage(std::in_place_index<1>, b)); }
  static Value byte(uint8_t b) { return Value(Storage(std::in_place_index<2>, b)); }
  static Value integer(int16_t i) { return Value(Storage(std::in_place_index<3>, i)); }
  static Value longValue(int32_t i) { return Value(Storage(std::in_place_index<4>, i)); }
  static Value currency(Currency c) { return Value(Storage(std::in_place_index<5>, c)); }
  static Value single(float f) { return Value(Storage(std::in_place_index<6>, f)); }
  static Value dbl(double d) { return Value(Storage(std::in_place_index<7>, d)); }
  static Value dateTime(DateTime d) { return Value(Storage(std::in_place_index<8>, d)); }
  static Value text(std::string s) { return Value(Storage(std::in_place_index<9>, std::move(s))); }
  static Value binary(Bytes b) { return Value(Storage(std::in_place_index<10>, std::move(b))); }
  static Value guid(Guid g) { return Value(Storage(std::in_place_index<11>, g)); }
  static Value decimal(Decimal d) { return Value(Storage(std::in_place_index<12>, d)); }
  static Value bigInt(int64_t i) { return Value(Storage(std::in_place_index<13>, i)); }
  static Value extendedDateTime(ExtendedDateTime d) {
    return Value(Storage(std::in_place_index<14>, d));
  }

  ValueType type() const { return static_cast<ValueType>(storage_.index()); }
  bool isNull() const { return storage_.index() == 0; }
  bool isText() const { return type() == ValueType::Text; }
  // Boolean, Byte, Integer, Long, Currency, Single, Double, Decimal, BigInt.
  bool isNumeric() const;

  bool asBoolean() const { return std::get<1>(storage_); }
  uint8_t asByte() const { return std::get<2>(storage_); }
  int16_t asInteger() const { return std::get<3>(storage_); }
  int32_t asLong() const { return std::get<4>(storage_); }
  Currency asCurrency() const { return std::get<5>(storage_); }
  float asSingle() const { return std::get<6>(storage_); }
  double asDouble() const { return std::get<7>(storage_); }
  DateTime asDateTime() const { return std::get<8>(storage_); }
  const std::string& asText() const { return std::get<9>(storage_); }
  const Bytes& asBinary() const { return std::get<10>(storage_); }
  const Guid& asGuid() const { return std::get<11>(storage_); }
  const Decimal& asDecimal() const { return std::get<12>(storage_); }
  int64_t asBigInt() const { return std::get<13>(storage_); }
  ExtendedDateTime asExtendedDateTime() const { return std::get<14>(storage_); }

  // Makes this value Text and answers its string, emptied, for the caller
  // to fill. A value that already held text keeps its storage, so a scan
  // that refills one Value row after row allocates nothing once warm.
  std::string& textBuffer() {
    if (auto* s = std::get_if<9>(&storage_)) {
      s->clear();
      return *s;
    }
    return storage_.emplace<9>();
  }

  // Exact equality of type and content (not SQL comparison).
  friend bool operator==(const Value&, const Value&) = default;

 private:
  using Storage =
      std::variant<std::monostate, bool, uint8_t, int16_t, int32_t, Currency, float, double,
                   DateTime, std::string, Bytes, Guid, Decimal, int64_t, ExtendedDateTime>;
  explicit Value(Storage s) : storage_(std::move(s)) {}
  Storage storage_;
};

// The name of a value type as ADO and VBA report it ("Long", "String", ...).
const char* typeName(ValueType t);

}  // namespace jet
