// Calendar arithmetic and date texts; see dates.h.
#include "jet/sql/dates.h"

#include <cctype>
#include <cmath>
#include <ctime>
#include <string>

#include "jet/civil_date.h"

namespace jet::sql {

double daysFromCivil(int year, int month, int day) {
  return static_cast<double>(
      daySerialFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)));
}

CivilDate civilFromDays(double days) {
  // The whole day is the floor: SQL reads a date before day 0 by its serial's
  // lower day.
  const CivilDay c = civilFromDaySerial(static_cast<long long>(std::floor(days)));
  return CivilDate{static_cast<int>(c.year), static_cast<int>(c.month), static_cast<int>(c.day)};
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
