// The variant of the data-access layer and of the order code: a value that
// carries its own type, as the system's code passes values around (statement
// texts, parameter lists, field values).
//
// Types: Empty (never assigned), Null, Integer (16-bit), Long (32-bit),
// Single, Double, Currency, Date, String, Boolean, Byte, Decimal, and Field:
// a field of an open recordset, whose value is read when it is used.
// typeName() answers the names the binding rules test ("String", "Long",
// "Field", ...). Conversions follow the system's number format (ado/conversions.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "jet/value.h"

namespace ado {

class Variant;

// What a Field variant refers to: a column of the current row of an open
// recordset. The recordset implements it.
class FieldSource {
 public:
  virtual ~FieldSource() = default;
  virtual std::string name() const = 0;
  virtual Variant value() const = 0;
};

class Variant {
 public:
  enum class Kind : uint8_t {
    Empty,
    Null,
    Integer,
    Long,
    Single,
    Double,
    Currency,
    Date,
    String,
    Boolean,
    Byte,
    Decimal,
    Field,
  };

  Variant() = default;  // Empty
  Variant(int16_t v) : kind_(Kind::Integer), value_(jet::Value::integer(v)) {}
  Variant(int32_t v) : kind_(Kind::Long), value_(jet::Value::longValue(v)) {}
  Variant(float v) : kind_(Kind::Single), value_(jet::Value::single(v)) {}
  Variant(double v) : kind_(Kind::Double), value_(jet::Value::dbl(v)) {}
  Variant(bool v) : kind_(Kind::Boolean), value_(jet::Value::boolean(v)) {}
  Variant(uint8_t v) : kind_(Kind::Byte), value_(jet::Value::byte(v)) {}
  Variant(std::string v) : kind_(Kind::String), value_(jet::Value::text(std::move(v))) {}
  Variant(const char* v) : Variant(std::string(v)) {}
  static Variant empty() { return Variant(); }
  static Variant null();
  static Variant currency(jet::Currency c);
  static Variant date(jet::DateTime d);
  static Variant field(std::shared_ptr<const FieldSource> f);
  // From an engine value: Null, numbers, text and dates keep their type;
  // BigInt becomes Double, Guid becomes its text form, Binary stays a Null-free
  // byte string held as text of hexadecimal digits.
  static Variant fromValue(const jet::Value& v);

  Kind kind() const { return kind_; }
  // "Empty", "Null", "Integer", "Long", "Single", "Double", "Currency",
  // "Date", "String", "Boolean", "Byte", "Decimal", "Field".
  const char* typeName() const;
  bool isEmpty() const { return kind_ == Kind::Empty; }
  // Null, or a Field whose value is Null.
  bool isNull() const;

  // The value behind a Field (read now); any other variant unchanged.
  Variant resolved() const;
  // The engine value (Empty becomes Null, a Field its current value).
  jet::Value toValue() const;
  // The field reference of a Field variant, else null.
  const std::shared_ptr<const FieldSource>& fieldSource() const { return field_; }

  // The numeric test: numbers and Booleans are numeric; a text is numeric when
  // the number format accepts it (blanks around it allowed); Empty is numeric
  // (it converts to 0); Null, dates and everything else are not.
  bool isNumeric() const;

  // Conversions. Each raises ComError: kErrTypeMismatch for a text that is
  // not a number, kErrInvalidNull for Null, kErrOverflow out of range.
  double toDouble() const;
  // Whole numbers round a half to the even neighbour (2.5 gives 2).
  int16_t toInteger() const;
  int32_t toLong() const;
  bool toBoolean() const;
  // The plain text form: numbers without thousands separator and with
  // decimals only when present; Empty gives ""; Boolean "Verdadero"/"Falso"
  // as the Spanish system writes them; a date as "dd/mm/yyyy hh:mm:ss"
  // (the time left out at midnight, the date left out on day 0).
  // Null raises kErrInvalidNull.
  std::string toString() const;

 private:
  Kind kind_ = Kind::Empty;
  jet::Value value_;
  std::shared_ptr<const FieldSource> field_;
};

}  // namespace ado
