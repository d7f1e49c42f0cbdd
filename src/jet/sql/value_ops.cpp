// Operators and conversions; see value_ops.h.
#include "jet/sql/value_ops.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "jet/civil_date.h"
#include "jet/convert.h"
#include "jet/sql/collation.h"
#include "jet/sql/dates.h"
#include "jet/sql/errors.h"
#include "jet/text.h"

namespace jet::sql {

namespace {

double decimalToDouble(const Decimal& d) {
  double m = static_cast<double>(d.magnitude);
  m /= std::pow(10.0, d.scale);
  return d.negative ? -m : m;
}

bool isIntegral(ValueType t) {
  return t == ValueType::Boolean || t == ValueType::Byte || t == ValueType::Integer ||
         t == ValueType::Long || t == ValueType::BigInt;
}

}  // namespace

std::optional<double> numberOf(const Value& v, bool readText) {
  switch (v.type()) {
    case ValueType::Boolean: return v.asBoolean() ? -1.0 : 0.0;
    case ValueType::Byte: return v.asByte();
    case ValueType::Integer: return v.asInteger();
    case ValueType::Long: return v.asLong();
    case ValueType::BigInt: return static_cast<double>(v.asBigInt());
    case ValueType::Currency: return static_cast<double>(v.asCurrency().scaled) / 10000.0;
    case ValueType::Single: return v.asSingle();
    case ValueType::Double: return v.asDouble();
    case ValueType::DateTime: return v.asDateTime().days;
    case ValueType::ExtendedDateTime: return dateTimeFromExtended(v.asExtendedDateTime()).days;
    case ValueType::Decimal: return decimalToDouble(v.asDecimal());
    case ValueType::Text:
      if (readText) return parseNumber(v.asText());
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<int64_t> wholeOf(const Value& v) {
  switch (v.type()) {
    case ValueType::Boolean: return v.asBoolean() ? -1 : 0;
    case ValueType::Byte: return v.asByte();
    case ValueType::Integer: return v.asInteger();
    case ValueType::Long: return v.asLong();
    case ValueType::BigInt: return v.asBigInt();
    default: return std::nullopt;
  }
}

Value wholeNumber(int64_t n) {
  if (n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max())
    return Value::longValue(static_cast<int32_t>(n));
  return Value::dbl(static_cast<double>(n));
}

std::string formatDate(DateTime d) {
  CivilDate c = civilFromDays(d.days);
  double frac = d.days - std::floor(d.days);
  long secs = std::lround(frac * 86400.0);
  char buf[64];
  if (secs == 0 || secs >= 86400) {
    std::snprintf(buf, sizeof buf, "%d/%d/%d", c.day, c.month, c.year);
  } else {
    std::snprintf(buf, sizeof buf, "%d/%d/%d %ld:%02ld:%02ld", c.day, c.month, c.year, secs / 3600,
                  (secs / 60) % 60, secs % 60);
  }
  return buf;
}

std::string textOf(const Value& v) {
  switch (v.type()) {
    case ValueType::Null: return "";
    case ValueType::Text: return v.asText();
    case ValueType::Single: return formatSingle(v.asSingle());
    case ValueType::DateTime: return formatDate(v.asDateTime());
    case ValueType::ExtendedDateTime:
      return formatDate(dateTimeFromExtended(v.asExtendedDateTime()));
    case ValueType::Binary: return std::string(v.asBinary().begin(), v.asBinary().end());
    case ValueType::Guid: {
      std::string s = "{";
      char buf[4];
      for (size_t i = 0; i < 16; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", v.asGuid().bytes[i]);
        s += buf;
        if (i == 3 || i == 5 || i == 7 || i == 9) s += '-';
      }
      return s + "}";
    }
    default: {
      if (auto w = wholeOf(v)) return std::to_string(*w);
      return formatNumber(*numberOf(v));
    }
  }
}

bool isTrue(const Value& v) {
  if (v.isNull()) return false;
  if (v.type() == ValueType::Boolean) return v.asBoolean();
  auto n = numberOf(v);
  return n && *n != 0;
}

std::optional<bool> logicalOf(const Value& v) {
  if (v.isNull()) return std::nullopt;
  return isTrue(v);
}

Value truth(std::optional<bool> b) {
  return b ? Value::boolean(*b) : Value();
}

Result<Value> negate(const Value& a) {
  if (a.isNull()) return Value();
  if (auto w = wholeOf(a)) return wholeNumber(-*w);
  if (a.type() == ValueType::Currency) return Value::currency(Currency{-a.asCurrency().scaled});
  if (a.type() == ValueType::DateTime) return Value::dateTime(DateTime{-a.asDateTime().days});
  auto n = numberOf(a);
  if (!n) return errors::typeMismatch();
  return Value::dbl(-*n);
}

Result<Value> arithmetic(const std::string& op, const Value& a, const Value& b) {
  if (op == "&") {
    if (a.isNull() && b.isNull()) return Value();
    return Value::text(textOf(a) + textOf(b));
  }
  if (a.isNull() || b.isNull()) return Value();
  if (op == "+" && a.isText() && b.isText()) return Value::text(a.asText() + b.asText());

  auto x = numberOf(a), y = numberOf(b);
  if (!x || !y) return errors::typeMismatch();
  const bool whole = isIntegral(a.type()) && isIntegral(b.type());
  const bool date = a.type() == ValueType::DateTime || b.type() == ValueType::DateTime;
  const bool money = (a.type() == ValueType::Currency || b.type() == ValueType::Currency) &&
                     (a.type() == ValueType::Currency || isIntegral(a.type())) &&
                     (b.type() == ValueType::Currency || isIntegral(b.type()));

  if (op == "+" || op == "-" || op == "*") {
    if (whole) {
      int64_t p = *wholeOf(a), q = *wholeOf(b), r = 0;
      bool overflow = op == "+"   ? __builtin_add_overflow(p, q, &r)
                      : op == "-" ? __builtin_sub_overflow(p, q, &r)
                                  : __builtin_mul_overflow(p, q, &r);
      if (!overflow) return wholeNumber(r);
    }
    double r = op == "+" ? *x + *y : op == "-" ? *x - *y : *x * *y;
    if (!std::isfinite(r)) return errors::overflow();
    if (date && op != "*") return Value::dateTime(DateTime{r});
    if (money && std::fabs(r) < 9.2e14) return Value::currency(Currency{std::llround(r * 10000.0)});
    return Value::dbl(r);
  }
  if (op == "/") {
    if (*y == 0) return errors::divisionByZero();
    double r = *x / *y;
    if (!std::isfinite(r)) return errors::overflow();
    return Value::dbl(r);
  }
  if (op == "\\" || op == "MOD") {
    double p = roundHalfEven(*x), q = roundHalfEven(*y);
    if (std::fabs(p) > 9.2e18 || std::fabs(q) > 9.2e18) return errors::overflow();
    int64_t ip = static_cast<int64_t>(p), iq = static_cast<int64_t>(q);
    if (iq == 0) return errors::divisionByZero();
    if (iq == -1) return wholeNumber(op == "MOD" ? 0 : -ip);
    return wholeNumber(op == "MOD" ? ip % iq : ip / iq);
  }
  if (op == "^") {
    double r = std::pow(*x, *y);
    if (!std::isfinite(r)) return errors::overflow();
    return Value::dbl(r);
  }
  return errors::syntax("");
}

Result<int> compare(const Value& a, const Value& b) {
  if (a.isText() && b.isText()) return compareText(a.asText(), b.asText());
  if (auto p = wholeOf(a)) {
    if (auto q = wholeOf(b)) return *p < *q ? -1 : (*p > *q ? 1 : 0);
  }
  auto x = numberOf(a), y = numberOf(b);
  if (a.isText() && !b.isText() && !x) {
    // A date compared with a date text: read the text as a date.
    if (b.type() == ValueType::DateTime) {
      if (auto d = parseDateText(a.asText())) x = d->days;
    }
  }
  if (b.isText() && !a.isText() && !y) {
    if (a.type() == ValueType::DateTime) {
      if (auto d = parseDateText(b.asText())) y = d->days;
    }
  }
  if (!x || !y) {
    if (a.type() == ValueType::Binary && b.type() == ValueType::Binary)
      return a.asBinary() < b.asBinary() ? -1 : (a.asBinary() == b.asBinary() ? 0 : 1);
    if (a.type() == ValueType::Guid && b.type() == ValueType::Guid)
      return a.asGuid().bytes < b.asGuid().bytes ? -1 : (a.asGuid() == b.asGuid() ? 0 : 1);
    return errors::typeMismatch();
  }
  return *x < *y ? -1 : (*x > *y ? 1 : 0);
}

int orderCompare(const Value& a, const Value& b) {
  auto rank = [](const Value& v) {
    if (v.isNull()) return 0;
    if (v.isText()) return 2;
    if (numberOf(v, false)) return 1;
    return 3;
  };
  int ra = rank(a), rb = rank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (ra == 0) return 0;
  if (ra == 2) return compareText(a.asText(), b.asText());
  auto c = compare(a, b);
  return c ? c.value() : 0;
}

Result<Value> convertForColumn(const Value& v, const ColumnDef& column, int textBytesPerChar) {
  if (v.isNull()) return v;
  auto number = [&]() -> Result<double> {
    auto n = numberOf(v);
    if (!n) return errors::typeMismatch();
    return *n;
  };
  auto whole = [&](double lo, double hi) -> Result<int64_t> {
    auto n = number();
    if (!n) return n.status();
    double r = roundHalfEven(n.value());
    if (r < lo || r > hi) return errors::overflow();
    return static_cast<int64_t>(r);
  };
  switch (column.type) {
    case ColumnType::Boolean: {
      if (v.type() == ValueType::Boolean) return v;
      auto n = number();
      if (!n) return n.status();
      return Value::boolean(n.value() != 0);
    }
    case ColumnType::Byte: {
      auto w = whole(0, 255);
      if (!w) return w.status();
      return Value::byte(static_cast<uint8_t>(w.value()));
    }
    case ColumnType::Integer: {
      auto w = whole(-32768, 32767);
      if (!w) return w.status();
      return Value::integer(static_cast<int16_t>(w.value()));
    }
    case ColumnType::Long: {
      auto w = whole(-2147483648.0, 2147483647.0);
      if (!w) return w.status();
      return Value::longValue(static_cast<int32_t>(w.value()));
    }
    case ColumnType::BigInt: {
      auto w = whole(-9.2e18, 9.2e18);
      if (!w) return w.status();
      return Value::bigInt(w.value());
    }
    case ColumnType::Currency: {
      if (v.type() == ValueType::Currency) return v;
      auto n = number();
      if (!n) return n.status();
      if (std::fabs(n.value()) > 9.2e14) return errors::overflow();
      return Value::currency(Currency{std::llround(n.value() * 10000.0)});
    }
    case ColumnType::Single: {
      auto n = number();
      if (!n) return n.status();
      if (std::fabs(n.value()) > 3.4e38) return errors::overflow();
      return Value::single(static_cast<float>(n.value()));
    }
    case ColumnType::Double: {
      if (v.type() == ValueType::Double) return v;
      auto n = number();
      if (!n) return n.status();
      return Value::dbl(n.value());
    }
    case ColumnType::DateTime:
    case ColumnType::ExtendedDateTime: {
      if (v.type() == ValueType::DateTime || v.type() == ValueType::ExtendedDateTime) return v;
      if (v.isText()) {
        if (auto d = parseDateText(v.asText())) return Value::dateTime(*d);
        return errors::typeMismatch();
      }
      auto n = numberOf(v, false);
      if (!n) return errors::typeMismatch();
      return Value::dateTime(DateTime{*n});
    }
    case ColumnType::Text:
    case ColumnType::Memo: {
      std::string s = textOf(v);
      if (column.type == ColumnType::Text && column.size > 0) {
        size_t maxChars = column.size / static_cast<size_t>(std::max(textBytesPerChar, 1));
        if (utf16Length(s) > maxChars) return errors::overflow();
      }
      return Value::text(std::move(s));
    }
    default: return v;
  }
}

}  // namespace jet::sql
