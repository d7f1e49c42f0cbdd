#include "ado/variant.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "ado/conversions.h"
#include "ado/error.h"
#include "jet/civil_date.h"
#include "jet/value_text.h"

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

std::string two(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

std::string dateToString(jet::DateTime dt) {
  // Access dates before 1899-12-30 count days down with the time as a
  // positive fraction: -1.25 is 1899-12-29 06:00.
  const jet::DayAndSecond at = jet::splitDateTime(dt);
  const int64_t days = at.day;
  const int32_t seconds = at.second;
  std::string out;
  if (days != 0 || seconds == 0) {
    const jet::CivilDay c = jet::civilFromDaySerial(days);
    char b[32];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", static_cast<int>(c.day), static_cast<int>(c.month),
                  static_cast<int>(c.year));
    out = b;
  }
  if (seconds != 0) {
    if (!out.empty()) out += ' ';
    out += two(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
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
    case T::ExtendedDateTime: return date(jet::dateTimeFromExtended(value.asExtendedDateTime()));
    case T::Text: return Variant(value.asText());
    case T::BigInt: return Variant(static_cast<double>(value.asBigInt()));
    case T::Decimal: {
      Variant v;
      v.kind_ = Kind::Decimal;
      v.value_ = value;
      return v;
    }
    case T::Guid: return Variant(jet::guidText(value.asGuid()));
    case T::Binary: {
      std::string hex;
      jet::appendHexText(hex, value.asBinary());
      return Variant(std::move(hex));
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
    case Kind::String: return parseNumber(value_.asText()).has_value();
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
      auto n = parseNumber(value_.asText());
      if (!n) raiseTypeMismatch();
      return *n;
    }
    case Kind::Field: return resolved().toDouble();
  }
  raiseTypeMismatch();
}

int16_t Variant::toInteger() const {
  double r = roundHalfEven(toDouble());
  if (!(r >= std::numeric_limits<int16_t>::min() && r <= std::numeric_limits<int16_t>::max()))
    raiseOverflow();
  return static_cast<int16_t>(r);
}

int32_t Variant::toLong() const {
  double r = roundHalfEven(toDouble());
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
    case Kind::Single: return formatSingle(value_.asSingle());
    case Kind::Double: return formatNumber(value_.asDouble());
    case Kind::Currency: return jet::currencyText(value_.asCurrency());
    case Kind::Decimal: return jet::shortDecimalText(value_.asDecimal());
    case Kind::Date: return dateToString(value_.asDateTime());
    case Kind::Boolean: return value_.asBoolean() ? "Verdadero" : "Falso";
    case Kind::String: return value_.asText();
    case Kind::Field: return resolved().toString();
  }
  return "";
}

}  // namespace ado
