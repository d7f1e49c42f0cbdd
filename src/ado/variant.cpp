#include "ado/variant.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "ado/error.h"
#include "jet/convert.h"

namespace ado {

namespace {

[[noreturn]] void raiseTypeMismatch() {
  throw ComError(kErrTypeMismatch, "No coinciden los tipos");
}
[[noreturn]] void raiseInvalidNull() {
  throw ComError(kErrInvalidNull, "Uso no válido de Null");
}
[[noreturn]] void raiseOverflow() {
  throw ComError(kErrOverflow, "Desbordamiento");
}

double decimalToDouble(const jet::Decimal& d) {
  double v = static_cast<double>(d.magnitude) / std::pow(10.0, d.scale);
  return d.negative ? -v : v;
}

std::string decimalToString(const jet::Decimal& d) {
  std::string digits;
  unsigned __int128 m = d.magnitude;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(m % 10)));
    m /= 10;
  } while (m != 0);
  while (digits.size() <= d.scale) digits.insert(digits.begin(), '0');
  std::string whole = digits.substr(0, digits.size() - d.scale);
  std::string frac = digits.substr(digits.size() - d.scale);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  std::string out = whole;
  if (!frac.empty()) out += jet::kDecimalSeparator + frac;
  if (d.negative && out != "0") out.insert(out.begin(), '-');
  return out;
}

std::string two(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

// Days since 1899-12-30 to a civil date (proleptic Gregorian).
void civilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468 - 25569;  // from 1899-12-30 to the count from 0000-03-01
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

std::string dateToString(jet::DateTime dt) {
  // Access dates before 1899-12-30 count days down with the time as a
  // positive fraction: -1.25 is 1899-12-29 06:00.
  double days = std::trunc(dt.days);
  double frac = std::fabs(dt.days - days);
  int64_t seconds = static_cast<int64_t>(std::llround(frac * 86400.0));
  if (seconds >= 86400) {
    seconds -= 86400;
    days += dt.days < 0 ? -1 : 1;
  }
  std::string out;
  if (days != 0 || seconds == 0) {
    int y, m, d;
    civilFromDays(static_cast<int64_t>(days), y, m, d);
    char b[32];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", d, m, y);
    out = b;
  }
  if (seconds != 0) {
    if (!out.empty()) out += ' ';
    out += two(static_cast<int>(seconds / 3600)) + ":" + two(static_cast<int>(seconds / 60 % 60)) +
           ":" + two(static_cast<int>(seconds % 60));
  }
  return out;
}

}  // namespace

Variant Variant::null() {
  Variant v;
  v.kind_ = Kind::Null;
  return v;
}

Variant Variant::currency(jet::Currency c) {
  Variant v;
  v.kind_ = Kind::Currency;
  v.value_ = jet::Value::currency(c);
  return v;
}

Variant Variant::date(jet::DateTime d) {
  Variant v;
  v.kind_ = Kind::Date;
  v.value_ = jet::Value::dateTime(d);
  return v;
}

Variant Variant::field(std::shared_ptr<const FieldSource> f) {
  Variant v;
  v.kind_ = Kind::Field;
  v.field_ = std::move(f);
  return v;
}

Variant Variant::fromValue(const jet::Value& value) {
  using T = jet::ValueType;
  switch (value.type()) {
    case T::Null: return null();
    case T::Boolean: return Variant(value.asBoolean());
    case T::Byte: return Variant(value.asByte());
    case T::Integer: return Variant(value.asInteger());
    case T::Long: return Variant(value.asLong());
    case T::Currency: return currency(value.asCurrency());
    case T::Single: return Variant(value.asSingle());
    case T::Double: return Variant(value.asDouble());
    case T::DateTime: return date(value.asDateTime());
    case T::Text: return Variant(value.asText());
    case T::BigInt: return Variant(static_cast<double>(value.asBigInt()));
    case T::Decimal: {
      Variant v;
      v.kind_ = Kind::Decimal;
      v.value_ = value;
      return v;
    }
    case T::Guid: {
      static const char* hex = "0123456789ABCDEF";
      const auto& b = value.asGuid().bytes;
      // Access shows a GUID as {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, the first
      // three groups little-endian.
      const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
      std::string s = "{";
      for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
        s += hex[b[order[i]] >> 4];
        s += hex[b[order[i]] & 15];
      }
      return Variant(s + "}");
    }
    case T::Binary: {
      static const char* hex = "0123456789ABCDEF";
      std::string s;
      for (uint8_t c : value.asBinary()) {
        s += hex[c >> 4];
        s += hex[c & 15];
      }
      return Variant(s);
    }
  }
  return null();
}

const char* Variant::typeName() const {
  switch (kind_) {
    case Kind::Empty: return "Empty";
    case Kind::Null: return "Null";
    case Kind::Integer: return "Integer";
    case Kind::Long: return "Long";
    case Kind::Single: return "Single";
    case Kind::Double: return "Double";
    case Kind::Currency: return "Currency";
    case Kind::Date: return "Date";
    case Kind::String: return "String";
    case Kind::Boolean: return "Boolean";
    case Kind::Byte: return "Byte";
    case Kind::Decimal: return "Decimal";
    case Kind::Field: return "Field";
  }
  return "Unknown";
}

bool Variant::isNull() const {
  if (kind_ == Kind::Field) return field_ ? field_->value().isNull() : true;
  return kind_ == Kind::Null;
}

Variant Variant::resolved() const {
  if (kind_ == Kind::Field) return field_ ? field_->value() : null();
  return *this;
}

jet::Value Variant::toValue() const {
  if (kind_ == Kind::Field) return resolved().toValue();
  return value_;  // Empty and Null hold a null value
}

bool Variant::isNumeric() const {
  switch (kind_) {
    case Kind::Empty:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Single:
    case Kind::Double:
    case Kind::Currency:
    case Kind::Boolean:
    case Kind::Byte:
    case Kind::Decimal: return true;
    case Kind::String: return jet::parseNumber(value_.asText()).has_value();
    case Kind::Field: return resolved().isNumeric();
    case Kind::Null:
    case Kind::Date: return false;
  }
  return false;
}

double Variant::toDouble() const {
  switch (kind_) {
    case Kind::Empty: return 0;
    case Kind::Null: raiseInvalidNull();
    case Kind::Integer: return value_.asInteger();
    case Kind::Long: return value_.asLong();
    case Kind::Single: return value_.asSingle();
    case Kind::Double: return value_.asDouble();
    case Kind::Currency: return static_cast<double>(value_.asCurrency().scaled) / 10000.0;
    case Kind::Date: return value_.asDateTime().days;
    case Kind::Boolean: return value_.asBoolean() ? -1 : 0;  // True is -1 in Access
    case Kind::Byte: return value_.asByte();
    case Kind::Decimal: return decimalToDouble(value_.asDecimal());
    case Kind::String: {
      auto n = jet::parseNumber(value_.asText());
      if (!n) raiseTypeMismatch();
      return *n;
    }
    case Kind::Field: return resolved().toDouble();
  }
  raiseTypeMismatch();
}

int16_t Variant::toInteger() const {
  double r = jet::roundHalfEven(toDouble());
  if (!(r >= std::numeric_limits<int16_t>::min() && r <= std::numeric_limits<int16_t>::max()))
    raiseOverflow();
  return static_cast<int16_t>(r);
}

int32_t Variant::toLong() const {
  double r = jet::roundHalfEven(toDouble());
  if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
    raiseOverflow();
  return static_cast<int32_t>(r);
}

bool Variant::toBoolean() const {
  if (kind_ == Kind::String) {
    const std::string& s = value_.asText();
    if (s == "True" || s == "Verdadero") return true;
    if (s == "False" || s == "Falso") return false;
  }
  return toDouble() != 0;
}

std::string Variant::toString() const {
  switch (kind_) {
    case Kind::Empty: return "";
    case Kind::Null: raiseInvalidNull();
    case Kind::Integer: return std::to_string(value_.asInteger());
    case Kind::Long: return std::to_string(value_.asLong());
    case Kind::Byte: return std::to_string(value_.asByte());
    case Kind::Single: return jet::formatSingle(value_.asSingle());
    case Kind::Double: return jet::formatNumber(value_.asDouble());
    case Kind::Currency: {
      jet::Decimal d;
      int64_t s = value_.asCurrency().scaled;
      d.negative = s < 0;
      d.scale = 4;
      d.magnitude = static_cast<unsigned __int128>(s < 0 ? -static_cast<__int128>(s) : s);
      return decimalToString(d);
    }
    case Kind::Decimal: return decimalToString(value_.asDecimal());
    case Kind::Date: return dateToString(value_.asDateTime());
    case Kind::Boolean: return value_.asBoolean() ? "Verdadero" : "Falso";
    case Kind::String: return value_.asText();
    case Kind::Field: return resolved().toString();
  }
  return "";
}

}  // namespace ado
