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
std::string shortestFixed(F x) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x < 0 ? "-Infinity" : "Infinity";
  char buf[512];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
  if (r.ec != std::errc()) return std::to_string(x);
  return std::string(buf, r.ptr);
}

}  // namespace

std::string quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
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
  return shortestFixed(x);
}
std::string plainNumber(float x) {
  return shortestFixed(x);
}

std::string formatDateTime(DateTime dt) {
  double d = dt.days;
  if (!std::isfinite(d) || std::fabs(d) > 3.0e6) return "";  // beyond any calendar Access shows
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
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld", static_cast<long long>(y),
                m, dd, static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  return buf;
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
  const bool negative = c.scaled < 0;
  const unsigned __int128 magnitude = negative ? static_cast<unsigned __int128>(-(c.scaled + 1)) + 1
                                               : static_cast<unsigned __int128>(c.scaled);
  std::string whole = std::to_string(static_cast<unsigned long long>(magnitude / 10000));
  unsigned fraction = static_cast<unsigned>(magnitude % 10000);
  std::string out = negative ? "-" + whole : whole;
  if (fraction != 0) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04u", fraction);
    std::string f(buf);
    while (!f.empty() && f.back() == '0') f.pop_back();
    out += "." + f;
  }
  return out;
}

std::string field(const Value& v) {
  switch (v.type()) {
    case ValueType::Null: return "";
    case ValueType::Boolean: return v.asBoolean() ? "1" : "0";
    case ValueType::Byte: return std::to_string(v.asByte());
    case ValueType::Integer: return std::to_string(v.asInteger());
    case ValueType::Long: return std::to_string(v.asLong());
    case ValueType::BigInt: return std::to_string(v.asBigInt());
    case ValueType::Currency: return formatCurrency(v.asCurrency());
    case ValueType::Single: return plainNumber(v.asSingle());
    case ValueType::Double: return plainNumber(v.asDouble());
    case ValueType::DateTime: return formatDateTime(v.asDateTime());
    case ValueType::Text: return quoted(v.asText());
    case ValueType::Binary: {
      static constexpr char kHex[] = "0123456789ABCDEF";
      std::string out;
      out.reserve(v.asBinary().size() * 2);
      for (uint8_t b : v.asBinary()) {
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 15]);
      }
      return out;
    }
    case ValueType::Guid: return formatGuid(v.asGuid());
    case ValueType::Decimal: return formatDecimal(v.asDecimal());
  }
  return "";
}

}  // namespace jet::csv
