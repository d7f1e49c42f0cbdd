// Text forms of Decimal, Currency, Guid and binary values; see value_text.h.
#include "jet/value_text.h"

#include <charconv>
#include <cstdio>

namespace jet {

std::string decimalText(const Decimal& d) {
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

std::string shortDecimalText(const Decimal& d) {
  std::string text = decimalText(d);
  if (d.scale == 0) return text;
  // A nonzero magnitude keeps a nonzero digit, so trimming never leaves "-0".
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

void appendCurrencyText(std::string& out, Currency c) {
  const bool negative = c.scaled < 0;
  // -(scaled + 1) + 1 keeps the most negative amount from overflowing.
  const uint64_t magnitude =
      negative ? static_cast<uint64_t>(-(c.scaled + 1)) + 1 : static_cast<uint64_t>(c.scaled);
  if (negative) out.push_back('-');
  char whole[24];
  auto r = std::to_chars(whole, whole + sizeof whole, magnitude / 10000);
  out.append(whole, r.ptr);
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

std::string currencyText(Currency c) {
  std::string out;
  appendCurrencyText(out, c);
  return out;
}

std::string guidText(const Guid& g) {
  const auto& b = g.bytes;
  char buf[64];
  std::snprintf(buf, sizeof buf,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return buf;
}

void appendHexText(std::string& out, const Bytes& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const size_t at = out.size();
  out.resize(at + bytes.size() * 2);
  char* p = out.data() + at;
  for (uint8_t b : bytes) {
    *p++ = kHex[b >> 4];
    *p++ = kHex[b & 15];
  }
}

}  // namespace jet
