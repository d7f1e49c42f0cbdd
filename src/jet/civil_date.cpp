// Day serials to dates and back, by counting whole 400-year eras (146097
// days each) from year 0 with years starting in March, so the leap day falls
// at the end of a counted year and no table of month lengths is needed.
#include "jet/civil_date.h"

#include <cmath>

namespace jet {

namespace {

// 1899-12-30 counted from 0000-03-01, the start of the era arithmetic.
constexpr int64_t kDayZeroFromEraStart = 693899;
constexpr int64_t kDaysPerEra = 146097;

}  // namespace

CivilDay civilFromDaySerial(int64_t serial) {
  const int64_t z = serial + kDayZeroFromEraStart;
  const int64_t era = (z >= 0 ? z : z - (kDaysPerEra - 1)) / kDaysPerEra;
  const unsigned dayOfEra = static_cast<unsigned>(z - era * kDaysPerEra);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned mp = (5 * dayOfYear + 2) / 153;
  CivilDay c;
  c.day = dayOfYear - (153 * mp + 2) / 5 + 1;
  c.month = mp < 10 ? mp + 3 : mp - 9;
  c.year = static_cast<int64_t>(yearOfEra) + era * 400 + (c.month <= 2 ? 1 : 0);
  return c;
}

int64_t daySerialFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * kDaysPerEra + static_cast<int64_t>(dayOfEra) - kDayZeroFromEraStart;
}

DayAndSecond splitDateTime(DateTime at) {
  const double whole = std::trunc(at.days);
  DayAndSecond out;
  out.day = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(at.days - whole) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    out.day += 1;
  }
  out.second = static_cast<int32_t>(seconds);
  return out;
}

std::optional<ExtendedDateTime> extendedFromDateTime(DateTime at) {
  if (!std::isfinite(at.days) || std::fabs(at.days) > 4.0e6) return std::nullopt;
  const double whole = std::trunc(at.days);
  const int64_t day = static_cast<int64_t>(whole) - kFirstExtendedDaySerial;
  // The time of day is positive on both sides of day 0.
  const int64_t millis = std::llround(std::fabs(at.days - whole) * 86'400'000.0);
  const int64_t ticks = day * kTicksPerDay + millis * 10'000;
  if (day < 0 || ticks > kLastExtendedTick) return std::nullopt;
  return ExtendedDateTime{ticks};
}

DateTime dateTimeFromExtended(ExtendedDateTime at) {
  const int64_t day = at.ticks / kTicksPerDay + kFirstExtendedDaySerial;
  const double fraction = static_cast<double>(at.ticks % kTicksPerDay) / kTicksPerDay;
  // Before day 0 the whole part counts back and the time still counts on.
  return DateTime{day < 0 ? static_cast<double>(day) - fraction
                          : static_cast<double>(day) + fraction};
}

}  // namespace jet
