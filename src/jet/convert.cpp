// The system's number format; see convert.h.
//
// Nothing here goes through the C library's locale: strtod, printf's %g and
// std::to_string(double) read and write the decimal separator of the
// process's LC_NUMERIC, which the windowing toolkit sets from the
// environment at start-up, so under a Spanish locale "13.5" would read as 13
// and 2.5 would print as "2,5". std::from_chars and std::to_chars are defined
// on the C locale's forms alone.
#include "jet/convert.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace jet {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// "%.*g" output in the form Access shows: the exponent as E+16 / E-05.
// std::to_chars with a precision writes exactly what "%.*g" writes under the
// C locale.
std::string significant(double x, int digits) {
  if (x == 0) return "0";  // also -0
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, digits);
  std::string s(buf, r.ptr);
  size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  char sign = s[e + 1];
  std::string exp = s.substr(e + 2);
  while (exp.size() > 2 && exp[0] == '0') exp.erase(0, 1);
  return mantissa + "E" + sign + exp;
}

// Whether a number text that std::from_chars found out of range is too
// large (true) or too small (false) for a double: the decimal exponent of
// its first significant digit decides. `mantissa` is digits with at most one
// point and at least one nonzero digit; `exponent` the written exponent.
bool beyondLargest(std::string_view mantissa, long long exponent) {
  const size_t point = mantissa.find('.');
  const size_t wholeDigits = point == std::string_view::npos ? mantissa.size() : point;
  const size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return false;  // zero is never out of range
  // The first significant digit stands for 10^k: k = wholeDigits - 1 - first
  // before the point; behind it the point takes one place of the count, so
  // k is one more ("0.05": first = 3, k = -2).
  long long k = static_cast<long long>(wholeDigits) - 1 - static_cast<long long>(first);
  if (first > wholeDigits) ++k;
  return k + exponent >= 0;
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && isBlank(text[i])) ++i;
  while (n > i && isBlank(text[n - 1])) --n;
  if (i == n) return std::nullopt;
  size_t p = i;
  bool negative = false;
  if (text[p] == '+' || text[p] == '-') negative = text[p++] == '-';
  const size_t mantissaStart = p;
  int digits = 0;
  bool point = false;
  for (; p < n; ++p) {
    char c = text[p];
    if (isDigit(c)) {
      ++digits;
    } else if (c == kDecimalSeparator && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  const std::string_view mantissa = text.substr(mantissaStart, p - mantissaStart);
  long long exponent = 0;
  if (p < n && (text[p] == 'e' || text[p] == 'E')) {
    ++p;
    bool negativeExponent = false;
    if (p < n && (text[p] == '+' || text[p] == '-')) negativeExponent = text[p++] == '-';
    int expDigits = 0;
    for (; p < n && isDigit(text[p]); ++p, ++expDigits) {
      // Held well inside a long long: any exponent this large is out of range.
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[p] - '0');
    }
    if (expDigits == 0) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (p != n) return std::nullopt;
  // std::from_chars takes no '+' and reads the same pattern otherwise.
  double v = 0;
  const auto r = std::from_chars(text.data() + mantissaStart, text.data() + n, v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large is not a number; too small reads as zero, the nearest double.
    if (beyondLargest(mantissa, exponent)) return std::nullopt;
    v = 0;
  } else if (r.ec != std::errc() || r.ptr != text.data() + n) {
    return std::nullopt;
  }
  if (!std::isfinite(v)) return std::nullopt;
  return negative ? -v : v;
}

double roundHalfEven(double x) {
  double r = std::round(x);  // halves away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
  return r == 0 ? 0.0 : r;
}

std::string formatNumber(double x) {
  return significant(x, 15);
}

std::string formatSingle(float x) {
  return significant(static_cast<double>(x), 7);
}

}  // namespace jet
