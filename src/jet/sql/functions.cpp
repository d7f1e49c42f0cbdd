// Scalar functions; see functions.h.
#include "jet/sql/functions.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <cmath>

#include "jet/convert.h"
#include "jet/sql/dates.h"
#include "jet/sql/errors.h"
#include "jet/sql/value_ops.h"
#include "jet/text.h"

namespace jet::sql {

namespace {

struct Signature {
  const char* name;
  size_t minArgs;
  size_t maxArgs;
};

constexpr Signature kFunctions[] = {
    {"INSTR", 2, 3}, {"LEN", 1, 1},   {"LEFT", 2, 2}, {"RIGHT", 2, 2},  {"MID", 2, 3},
    {"UCASE", 1, 1}, {"LCASE", 1, 1}, {"TRIM", 1, 1}, {"LTRIM", 1, 1},  {"RTRIM", 1, 1},
    {"NZ", 1, 2},    {"IIF", 3, 3},   {"ABS", 1, 1},  {"INT", 1, 1},    {"FIX", 1, 1},
    {"ROUND", 1, 2}, {"CSTR", 1, 1},  {"CLNG", 1, 1}, {"CINT", 1, 1},   {"CDBL", 1, 1},
    {"VAL", 1, 1},   {"NOW", 0, 0},   {"DATE", 0, 0}, {"TIME", 0, 0},   {"YEAR", 1, 1},
    {"MONTH", 1, 1}, {"DAY", 1, 1},   {"SGN", 1, 1},  {"STR", 1, 1},    {"SPACE", 1, 1},
    {"UPPER", 1, 1}, {"LOWER", 1, 1}, {"HOUR", 1, 1}, {"MINUTE", 1, 1}, {"SECOND", 1, 1},
    {"CBOOL", 1, 1}, {"CDATE", 1, 1}, {"CSNG", 1, 1}, {"CCUR", 1, 1}};

const Signature* find(const std::string& name) {
  for (const auto& f : kFunctions)
    if (equalsIgnoreCase(name, f.name)) return &f;
  return nullptr;
}

icu::UnicodeString u16(const std::string& s) {
  return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
}
std::string utf8(const icu::UnicodeString& u) {
  std::string out;
  u.toUTF8String(out);
  return out;
}

Result<double> numberArg(const Value& v) {
  auto n = numberOf(v);
  if (!n) return errors::typeMismatch();
  return *n;
}

// A whole-number argument (a position or a length) that must not be negative.
Result<int32_t> countArg(const Value& v, bool positive) {
  auto n = numberArg(v);
  if (!n) return n.status();
  double r = roundHalfEven(n.value());
  if (r < (positive ? 1 : 0) || r > 2147483647.0) return errors::typeMismatch();
  return static_cast<int32_t>(r);
}

icu::UnicodeString folded(const icu::UnicodeString& s) {
  icu::UnicodeString f(s);
  // Simple (one-to-one) folding keeps every position where it was.
  for (int32_t i = 0; i < f.length(); ++i)
    f.setCharAt(i, static_cast<char16_t>(u_foldCase(f.charAt(i), U_FOLD_CASE_DEFAULT)));
  return f;
}

std::string trimmed(const std::string& s, bool left, bool right) {
  size_t a = 0, b = s.size();
  if (left)
    while (a < b && s[a] == ' ') ++a;
  if (right)
    while (b > a && s[b - 1] == ' ') --b;
  return s.substr(a, b - a);
}

// Val: the number at the start of a text, blanks ignored; 0 when there is none.
double leadingNumber(const std::string& s) {
  std::string digits;
  bool point = false, exponent = false, any = false;
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) digits += s[i++];
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c == ' ' || c == '\t') continue;
    if (c >= '0' && c <= '9') {
      digits += c;
      any = true;
    } else if (c == '.' && !point && !exponent) {
      digits += c;
      point = true;
    } else if ((c == 'e' || c == 'E') && any && !exponent) {
      digits += 'e';
      exponent = true;
      if (i + 1 < s.size() && (s[i + 1] == '-' || s[i + 1] == '+')) digits += s[++i];
    } else {
      break;
    }
  }
  if (!any) return 0;
  while (!digits.empty() && (digits.back() == 'e' || digits.back() == '-' || digits.back() == '+'))
    digits.pop_back();
  // What is left is always a number text; one beyond a double gives 0.
  return parseNumber(digits).value_or(0);
}

Result<Value> dateArg(const Value& v) {
  if (v.type() == ValueType::DateTime) return v;
  if (v.isText()) {
    if (auto d = parseDateText(v.asText())) return Value::dateTime(*d);
  }
  auto n = numberOf(v, false);
  if (!n) return errors::typeMismatch();
  return Value::dateTime(DateTime{*n});
}

Result<Value> wholeIn(double x, double lo, double hi, bool isLong) {
  double r = roundHalfEven(x);
  if (!(r >= lo && r <= hi)) return errors::overflow();
  return isLong ? Value::longValue(static_cast<int32_t>(r))
                : Value::integer(static_cast<int16_t>(r));
}

}  // namespace

Status checkFunction(const std::string& name, size_t argumentCount) {
  const Signature* f = find(name);
  if (!f) return errors::unknownFunction(name);
  if (argumentCount < f->minArgs || argumentCount > f->maxArgs)
    return errors::wrongArgumentCount(name);
  return Status::ok();
}

Result<Value> callFunction(const std::string& nameIn, const std::vector<Value>& a) {
  JET_TRY(checkFunction(nameIn, a.size()));
  std::string name = find(nameIn)->name;

  if (name == "NOW") return Value::dateTime(nowLocal());
  if (name == "DATE") return Value::dateTime(todayLocal());
  if (name == "TIME") {
    double d = nowLocal().days;
    return Value::dateTime(DateTime{d - std::floor(d)});
  }
  if (name == "NZ") {
    if (!a[0].isNull()) return a[0];
    return a.size() > 1 ? a[1] : Value::text("");
  }
  if (name == "INSTR") {
    size_t s = a.size() == 3 ? 1 : 0;
    int32_t start = 1;
    if (a.size() == 3) {
      if (a[0].isNull()) return Value();
      auto st = countArg(a[0], true);
      if (!st) return st.status();
      start = st.value();
    }
    if (a[s].isNull() || a[s + 1].isNull()) return Value();
    icu::UnicodeString hay = folded(u16(textOf(a[s])));
    icu::UnicodeString needle = folded(u16(textOf(a[s + 1])));
    if (start > hay.length()) return Value::longValue(0);
    if (needle.isEmpty()) return Value::longValue(start);
    int32_t at = hay.indexOf(needle, start - 1);
    return Value::longValue(at < 0 ? 0 : at + 1);
  }

  // Every other function gives NULL for a NULL first argument.
  if (a[0].isNull()) return Value();

  if (name == "LEN") return Value::longValue(u16(textOf(a[0])).length());
  if (name == "LEFT" || name == "RIGHT") {
    if (a[1].isNull()) return errors::typeMismatch();
    auto n = countArg(a[1], false);
    if (!n) return n.status();
    icu::UnicodeString s = u16(textOf(a[0]));
    int32_t k = std::min(n.value(), s.length());
    return Value::text(
        utf8(name == "LEFT" ? s.tempSubString(0, k) : s.tempSubString(s.length() - k, k)));
  }
  if (name == "MID") {
    if (a[1].isNull()) return errors::typeMismatch();
    auto st = countArg(a[1], true);
    if (!st) return st.status();
    icu::UnicodeString s = u16(textOf(a[0]));
    int32_t len = s.length();
    if (a.size() == 3) {
      if (a[2].isNull()) return errors::typeMismatch();
      auto l = countArg(a[2], false);
      if (!l) return l.status();
      len = l.value();
    }
    if (st.value() > s.length()) return Value::text("");
    return Value::text(utf8(s.tempSubString(st.value() - 1, len)));
  }
  if (name == "UCASE" || name == "UPPER") return Value::text(utf8(u16(textOf(a[0])).toUpper()));
  if (name == "LCASE" || name == "LOWER") return Value::text(utf8(u16(textOf(a[0])).toLower()));
  if (name == "TRIM") return Value::text(trimmed(textOf(a[0]), true, true));
  if (name == "LTRIM") return Value::text(trimmed(textOf(a[0]), true, false));
  if (name == "RTRIM") return Value::text(trimmed(textOf(a[0]), false, true));
  if (name == "CSTR" || name == "STR") {
    std::string s = textOf(a[0]);
    if (name == "STR" && numberOf(a[0], false) && !s.empty() && s[0] != '-') s = " " + s;
    return Value::text(s);
  }
  if (name == "SPACE") {
    auto n = countArg(a[0], false);
    if (!n) return n.status();
    if (n.value() > 65535) return errors::overflow();
    return Value::text(std::string(static_cast<size_t>(n.value()), ' '));
  }
  if (name == "VAL") return Value::dbl(leadingNumber(textOf(a[0])));
  if (name == "CBOOL") {
    auto n = numberArg(a[0]);
    if (!n) return n.status();
    return Value::boolean(n.value() != 0);
  }
  if (name == "CDATE") return dateArg(a[0]);

  if (name == "YEAR" || name == "MONTH" || name == "DAY" || name == "HOUR" || name == "MINUTE" ||
      name == "SECOND") {
    auto d = dateArg(a[0]);
    if (!d) return d.status();
    double days = d.value().asDateTime().days;
    if (name == "YEAR" || name == "MONTH" || name == "DAY") {
      CivilDate c = civilFromDays(days);
      return Value::integer(static_cast<int16_t>(name == "YEAR"    ? c.year
                                                 : name == "MONTH" ? c.month
                                                                   : c.day));
    }
    long secs = std::lround((days - std::floor(days)) * 86400.0) % 86400;
    long part = name == "HOUR" ? secs / 3600 : name == "MINUTE" ? (secs / 60) % 60 : secs % 60;
    return Value::integer(static_cast<int16_t>(part));
  }

  // Numeric functions.
  auto x = numberArg(a[0]);
  if (!x) return x.status();
  double v = x.value();
  if (name == "ABS") {
    if (auto w = wholeOf(a[0])) return wholeNumber(*w < 0 ? -*w : *w);
    if (a[0].type() == ValueType::Currency)
      return Value::currency(Currency{std::llabs(a[0].asCurrency().scaled)});
    return Value::dbl(std::fabs(v));
  }
  if (name == "SGN") return Value::integer(static_cast<int16_t>(v > 0 ? 1 : v < 0 ? -1 : 0));
  if (name == "INT" || name == "FIX") {
    double r = name == "INT" ? std::floor(v) : std::trunc(v);
    if (wholeOf(a[0])) return wholeNumber(static_cast<int64_t>(r));
    return Value::dbl(r == 0 ? 0.0 : r);
  }
  if (name == "ROUND") {
    int places = 0;
    if (a.size() == 2) {
      if (a[1].isNull()) return errors::typeMismatch();
      auto p = countArg(a[1], false);
      if (!p) return p.status();
      if (p.value() > 15) return Value::dbl(v);
      places = p.value();
    }
    double scale = std::pow(10.0, places);
    double r = roundHalfEven(v * scale) / scale;
    if (wholeOf(a[0])) return a[0];
    return Value::dbl(r);
  }
  if (name == "CLNG") return wholeIn(v, -2147483648.0, 2147483647.0, true);
  if (name == "CINT") return wholeIn(v, -32768, 32767, false);
  if (name == "CDBL") return Value::dbl(v);
  if (name == "CSNG") {
    if (std::fabs(v) > 3.4e38) return errors::overflow();
    return Value::single(static_cast<float>(v));
  }
  if (name == "CCUR") {
    if (std::fabs(v) > 9.2e14) return errors::overflow();
    return Value::currency(Currency{std::llround(v * 10000.0)});
  }
  return errors::unknownFunction(nameIn);
}

}  // namespace jet::sql
