// Calendar arithmetic and date texts; see dates.h.
#include "jet/sql/dates.h"

#include <cctype>
#include <cmath>
#include <ctime>
#include <string>

namespace jet::sql {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date, by counting whole
// 400-year eras (146097 days each) from year 0 with years starting in March,
// so the leap day falls at the end of the counted year.
long long unixDaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(y - era * 400);
  const unsigned dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

constexpr long long kUnixDayOf18991230 = -25569;

}  // namespace

double daysFromCivil(int year, int month, int day) {
  return static_cast<double>(
      unixDaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
      kUnixDayOf18991230);
}

CivilDate civilFromDays(double days) {
  long long z = static_cast<long long>(std::floor(days)) + kUnixDayOf18991230 + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned dayOfEra = static_cast<unsigned>(z - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned mp = (5 * dayOfYear + 2) / 153;
  const unsigned d = dayOfYear - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  long long y = static_cast<long long>(yearOfEra) + era * 400 + (m <= 2);
  return CivilDate{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

namespace {

bool readInt(std::string_view s, size_t& i, int maxDigits, int& out) {
  size_t start = i;
  out = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) &&
         i - start < static_cast<size_t>(maxDigits)) {
    out = out * 10 + (s[i] - '0');
    ++i;
  }
  return i > start;
}

void skipBlanks(std::string_view s, size_t& i) {
  while (i < s.size() && s[i] == ' ') ++i;
}

bool validDate(int y, int m, int d) {
  if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d > kDays[m - 1]) return false;
  if (m == 2 && d == 29) return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return true;
}

// "hh:mm[:ss] [AM|PM]" from position i to the end.
std::optional<double> readTime(std::string_view s, size_t& i) {
  int h = 0, mi = 0, se = 0;
  if (!readInt(s, i, 2, h)) return std::nullopt;
  if (i >= s.size() || s[i] != ':') return std::nullopt;
  ++i;
  if (!readInt(s, i, 2, mi)) return std::nullopt;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!readInt(s, i, 2, se)) return std::nullopt;
  }
  skipBlanks(s, i);
  if (i + 1 < s.size() + 0 && i + 2 <= s.size()) {
    std::string ampm{static_cast<char>(std::toupper(static_cast<unsigned char>(s[i]))),
                     static_cast<char>(std::toupper(static_cast<unsigned char>(s[i + 1])))};
    if (ampm == "AM" || ampm == "PM") {
      if (h < 1 || h > 12) return std::nullopt;
      if (ampm == "AM" && h == 12) h = 0;
      if (ampm == "PM" && h != 12) h += 12;
      i += 2;
    }
  }
  if (h > 23 || mi > 59 || se > 59) return std::nullopt;
  return (h * 3600.0 + mi * 60.0 + se) / 86400.0;
}

}  // namespace

std::optional<DateTime> parseDateText(std::string_view s) {
  size_t i = 0;
  skipBlanks(s, i);
  size_t save = i;
  int a = 0, b = 0, c = 0;
  double day = 0;
  bool haveDate = false;
  if (readInt(s, i, 4, a) && i < s.size() && (s[i] == '-' || s[i] == '/')) {
    char sep = s[i++];
    if (!readInt(s, i, 2, b) || i >= s.size() || s[i] != sep) return std::nullopt;
    ++i;
    if (!readInt(s, i, 4, c)) return std::nullopt;
    int y, m, d;
    if (sep == '-' && i - save > 0 && a >= 100) {
      y = a, m = b, d = c;
    } else {
      m = a, d = b, y = c;
      if (y < 100) y += y < 30 ? 2000 : 1900;
    }
    if (!validDate(y, m, d)) return std::nullopt;
    day = daysFromCivil(y, m, d);
    haveDate = true;
  } else {
    i = save;
  }
  skipBlanks(s, i);
  double time = 0;
  if (i < s.size()) {
    auto t = readTime(s, i);
    if (!t) return std::nullopt;
    time = *t;
  } else if (!haveDate) {
    return std::nullopt;
  }
  skipBlanks(s, i);
  if (i != s.size()) return std::nullopt;
  return DateTime{day + time};
}

DateTime nowLocal() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  double day = daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return DateTime{day + (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0};
}

DateTime todayLocal() {
  return DateTime{std::floor(nowLocal().days)};
}

}  // namespace jet::sql
