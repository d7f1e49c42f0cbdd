// CSV fields for every value type. Dates go through the proleptic Gregorian
// calendar from day 0 = 1899-12-30, as Access counts; a negative date keeps
// its time of day as a positive fraction, as Access does.
#include "jet/csv.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace jet::csv {

namespace {

// Civil date of a day count from 1970-01-01 (Gregorian, any sign).
void civilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

constexpr int64_t kAccessEpochFromUnix = -25569;  // 1899-12-30 in days from 1970-01-01

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
  // The largest double in fixed form has 309 digits before the point.
  char buf[512];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
  if (r.ec != std::errc()) {
    out += std::to_string(x);
    return;
  }
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
  double d = dt.days;
  if (!std::isfinite(d) || std::fabs(d) > 3.0e6) return;  // beyond any calendar Access shows
  double whole = d < 0 ? std::ceil(d) : std::floor(d);
  double fraction = std::fabs(d - whole);
  int64_t day = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(fraction * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    day += 1;
  }
  int64_t y;
  unsigned m, dd;
  civilFromDays(day + kAccessEpochFromUnix, y, m, dd);
  const unsigned hh = static_cast<unsigned>(seconds / 3600);
  const unsigned mm = static_cast<unsigned>(seconds / 60 % 60);
  const unsigned ss = static_cast<unsigned>(seconds % 60);
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

void appendCurrency(std::string& out, Currency c) {
  const bool negative = c.scaled < 0;
  // -(scaled + 1) + 1 keeps the most negative amount from overflowing.
  const uint64_t magnitude =
      negative ? static_cast<uint64_t>(-(c.scaled + 1)) + 1 : static_cast<uint64_t>(c.scaled);
  if (negative) out.push_back('-');
  appendInteger(out, magnitude / 10000);
  unsigned fraction = static_cast<unsigned>(magnitude % 10000);
  if (fraction == 0) return;
  char digits[4];
  for (int i = 3; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  size_t used = 4;
  while (digits[used - 1] == '0') --used;  // 1.5, not 1.5000
  out.push_back('.');
  out.append(digits, used);
}

void appendHex(std::string& out, const Bytes& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const size_t at = out.size();
  out.resize(at + bytes.size() * 2);
  char* p = out.data() + at;
  for (uint8_t b : bytes) {
    *p++ = kHex[b >> 4];
    *p++ = kHex[b & 15];
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

std::string formatGuid(const Guid& g) {
  const auto& b = g.bytes;
  char buf[64];
  std::snprintf(buf, sizeof buf,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return buf;
}

std::string formatDecimal(const Decimal& d) {
  std::string digits;
  unsigned __int128 m = d.magnitude;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(m % 10)));
    m /= 10;
  } while (m != 0);
  if (d.scale > 0) {
    if (digits.size() <= d.scale) digits.insert(0, d.scale - digits.size() + 1, '0');
    digits.insert(digits.size() - d.scale, ".");
  }
  if (d.negative && d.magnitude != 0) digits.insert(0, "-");
  return digits;
}

std::string formatCurrency(Currency c) {
  std::string out;
  appendCurrency(out, c);
  return out;
}

void appendField(std::string& out, const Value& v) {
  switch (v.type()) {
    case ValueType::Null: return;
    case ValueType::Boolean: out.push_back(v.asBoolean() ? '1' : '0'); return;
    case ValueType::Byte: appendInteger(out, v.asByte()); return;
    case ValueType::Integer: appendInteger(out, v.asInteger()); return;
    case ValueType::Long: appendInteger(out, v.asLong()); return;
    case ValueType::BigInt: appendInteger(out, v.asBigInt()); return;
    case ValueType::Currency: appendCurrency(out, v.asCurrency()); return;
    case ValueType::Single: appendShortestFixed(out, v.asSingle()); return;
    case ValueType::Double: appendShortestFixed(out, v.asDouble()); return;
    case ValueType::DateTime: appendDateTime(out, v.asDateTime()); return;
    case ValueType::Text: appendQuoted(out, v.asText()); return;
    case ValueType::Binary: appendHex(out, v.asBinary()); return;
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
