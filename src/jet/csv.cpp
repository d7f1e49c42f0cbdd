// CSV fields for every value type. Dates are read through jet/civil_date.h,
// exact numbers through jet/value_text.h; this file adds the quoting, the
// shortest fixed form of floating numbers and the ISO layout of a date.
#include "jet/csv.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "jet/civil_date.h"
#include "jet/value_text.h"

namespace jet::csv {

namespace {

template <class F>
void appendShortestFixed(std::string& out, F x) {
  if (std::isnan(x)) {
    out += "NaN";
    return;
  }
  if (std::isinf(x)) {
    out += x < 0 ? "-Infinity" : "Infinity";
    return;
  }
  // The largest double in fixed form has 309 digits before the point, the
  // smallest 324 behind it, so the buffer always holds the shortest form.
  char buf[512];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
  out.append(buf, r.ptr);
}

template <class I>
void appendInteger(std::string& out, I value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

// Two decimal digits of n (0..99) at p.
inline void putTwoDigits(char* p, unsigned n) {
  p[0] = static_cast<char>('0' + n / 10);
  p[1] = static_cast<char>('0' + n % 10);
}

void appendDateTime(std::string& out, DateTime dt) {
  // Beyond any calendar Access shows: an empty field.
  if (!std::isfinite(dt.days) || std::fabs(dt.days) > 3.0e6) return;
  const DayAndSecond at = splitDateTime(dt);
  const CivilDay date = civilFromDaySerial(at.day);
  const int64_t y = date.year;
  const unsigned m = date.month, dd = date.day;
  const unsigned seconds = static_cast<unsigned>(at.second);
  const unsigned hh = seconds / 3600, mm = seconds / 60 % 60, ss = seconds % 60;
  if (y < 0 || y > 9999) {
    // Years outside four digits keep the printf form (a sign, a wider year).
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02u:%02u:%02u",
                          static_cast<long long>(y), m, dd, hh, mm, ss);
    out.append(buf, static_cast<size_t>(n));
    return;
  }
  char buf[19];  // YYYY-MM-DD HH:MM:SS
  putTwoDigits(buf, static_cast<unsigned>(y / 100));
  putTwoDigits(buf + 2, static_cast<unsigned>(y % 100));
  buf[4] = '-';
  putTwoDigits(buf + 5, m);
  buf[7] = '-';
  putTwoDigits(buf + 8, dd);
  buf[10] = ' ';
  putTwoDigits(buf + 11, hh);
  buf[13] = ':';
  putTwoDigits(buf + 14, mm);
  buf[16] = ':';
  putTwoDigits(buf + 17, ss);
  out.append(buf, sizeof buf);
}

// YYYY-MM-DD HH:MM:SS, then .fffffff when the second has a fraction.
void appendExtendedDateTime(std::string& out, ExtendedDateTime at) {
  if (at.ticks < 0 || at.ticks > kLastExtendedTick) return;
  const CivilDay date = civilFromDaySerial(at.ticks / kTicksPerDay + kFirstExtendedDaySerial);
  const int64_t ofDay = at.ticks % kTicksPerDay;
  const int64_t seconds = ofDay / kTicksPerSecond, fraction = ofDay % kTicksPerSecond;
  char buf[40];
  int n = std::snprintf(
      buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld", static_cast<long long>(date.year),
      date.month, date.day, static_cast<long long>(seconds / 3600),
      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  out.append(buf, static_cast<size_t>(n));
  if (fraction != 0) {
    n = std::snprintf(buf, sizeof buf, ".%07lld", static_cast<long long>(fraction));
    out.append(buf, static_cast<size_t>(n));
  }
}

}  // namespace

void appendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  // Copy the runs between quotes whole; most texts have none.
  while (true) {
    const size_t q = text.find('"');
    if (q == std::string_view::npos) break;
    out.append(text.data(), q + 1);
    out.push_back('"');
    text.remove_prefix(q + 1);
  }
  out.append(text);
  out.push_back('"');
}

std::string quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  appendQuoted(out, text);
  return out;
}

std::string headerField(std::string_view name) {
  if (name.find_first_of(",\"\r\n") != std::string_view::npos) return quoted(name);
  return std::string(name);
}

std::string record(const std::vector<std::string>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out.push_back(',');
    out += fields[i];
  }
  out += kRecordEnd;
  return out;
}

std::string plainNumber(double x) {
  std::string out;
  appendShortestFixed(out, x);
  return out;
}
std::string plainNumber(float x) {
  std::string out;
  appendShortestFixed(out, x);
  return out;
}

std::string formatDateTime(DateTime dt) {
  std::string out;
  appendDateTime(out, dt);
  return out;
}

std::string formatExtendedDateTime(ExtendedDateTime at) {
  std::string out;
  appendExtendedDateTime(out, at);
  return out;
}

std::string formatGuid(const Guid& g) {
  return guidText(g);
}

std::string formatDecimal(const Decimal& d) {
  return decimalText(d);
}

std::string formatCurrency(Currency c) {
  return currencyText(c);
}

void appendField(std::string& out, const Value& v) {
  switch (v.type()) {
    case ValueType::Null: return;
    case ValueType::Boolean: out.push_back(v.asBoolean() ? '1' : '0'); return;
    case ValueType::Byte: appendInteger(out, v.asByte()); return;
    case ValueType::Integer: appendInteger(out, v.asInteger()); return;
    case ValueType::Long: appendInteger(out, v.asLong()); return;
    case ValueType::BigInt: appendInteger(out, v.asBigInt()); return;
    case ValueType::Currency: appendCurrencyText(out, v.asCurrency()); return;
    case ValueType::Single: appendShortestFixed(out, v.asSingle()); return;
    case ValueType::Double: appendShortestFixed(out, v.asDouble()); return;
    case ValueType::DateTime: appendDateTime(out, v.asDateTime()); return;
    case ValueType::ExtendedDateTime: appendExtendedDateTime(out, v.asExtendedDateTime()); return;
    case ValueType::Text: appendQuoted(out, v.asText()); return;
    case ValueType::Binary:
      // A zero-length binary has no hex digits; quoted, it stays apart from Null.
      if (v.asBinary().empty())
        out += "\"\"";
      else
        appendHexText(out, v.asBinary());
      return;
    case ValueType::Guid: out += formatGuid(v.asGuid()); return;
    case ValueType::Decimal: out += formatDecimal(v.asDecimal()); return;
  }
}

std::string field(const Value& v) {
  std::string out;
  appendField(out, v);
  return out;
}

}  // namespace jet::csv
