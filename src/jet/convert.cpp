#include "jet/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace jet {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// "%.*g" output in the form Access shows: the exponent as E+16 / E-05.
std::string significant(double x, int digits) {
  if (x == 0) return "0";  // also -0
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", digits, x);
  std::string s(buf);
  size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  char sign = s[e + 1];
  std::string exp = s.substr(e + 2);
  while (exp.size() > 2 && exp[0] == '0') exp.erase(0, 1);
  return mantissa + "E" + sign + exp;
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && isBlank(text[i])) ++i;
  while (n > i && isBlank(text[n - 1])) --n;
  if (i == n) return std::nullopt;
  std::string clean;
  size_t p = i;
  if (text[p] == '+' || text[p] == '-') clean += text[p++];
  int digits = 0;
  bool point = false;
  for (; p < n; ++p) {
    char c = text[p];
    if (c >= '0' && c <= '9') {
      clean += c;
      ++digits;
    } else if (c == kDecimalSeparator && !point) {
      clean += '.';
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  if (p < n && (text[p] == 'e' || text[p] == 'E')) {
    clean += 'e';
    ++p;
    if (p < n && (text[p] == '+' || text[p] == '-')) clean += text[p++];
    int expDigits = 0;
    for (; p < n && text[p] >= '0' && text[p] <= '9'; ++p, ++expDigits) clean += text[p];
    if (expDigits == 0) return std::nullopt;
  }
  if (p != n) return std::nullopt;
  char* end = nullptr;
  double v = std::strtod(clean.c_str(), &end);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
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
