// Access day serials and the calendar: day 0 is 1899-12-30, days count on in
// the proleptic Gregorian calendar in both directions, and the fraction of a
// serial is the time of day. A serial before day 0 keeps its time as a
// positive fraction: -1.25 is 1899-12-29 06:00.
//
// The one place the calendar arithmetic lives; the SQL date functions, the
// CSV export and the ADO variant's text all read dates through it.
#pragma once

#include <cstdint>
#include <optional>

#include "jet/value.h"

namespace jet {

struct CivilDay {
  int64_t year = 1899;
  unsigned month = 12;
  unsigned day = 30;
};

// The date of a whole day serial; any serial, any sign.
CivilDay civilFromDaySerial(int64_t serial);
// The day serial of a date. `month` 1..12; a day past the month's end runs
// into the next month, as the arithmetic carries it.
int64_t daySerialFromCivil(int64_t year, unsigned month, unsigned day);

// A date-time split at its day: the whole day serial (the serial truncated
// toward zero) and the time of day to the nearest second. A time that rounds
// up to 24:00:00 is midnight of the following day in time, before day 0 as
// after it.
struct DayAndSecond {
  int64_t day = 0;
  int32_t second = 0;  // 0..86399
};
// `at` must be finite and within the range of int64_t days.
DayAndSecond splitDateTime(DateTime at);

// Date/Time Extended: 100-ns ticks counted from 0001-01-01, 864,000,000,000
// to the day. 9999-12-31 23:59:59.9999999 is the last tick Access keeps.
inline constexpr int64_t kTicksPerDay = 864'000'000'000;
inline constexpr int64_t kTicksPerSecond = 10'000'000;
inline constexpr int64_t kLastExtendedTick = 3'652'059 * kTicksPerDay - 1;
// The day serial of 0001-01-01.
inline constexpr int64_t kFirstExtendedDaySerial = -693'593;

// A Date/Time as Date/Time Extended, to the nearest millisecond (what the
// double of a Date/Time keeps exactly over its whole range); nullopt when the
// date lies outside years 1 to 9999.
std::optional<ExtendedDateTime> extendedFromDateTime(DateTime at);
// A Date/Time Extended as the nearest Date/Time, for the arithmetic and the
// comparisons that mix both.
DateTime dateTimeFromExtended(ExtendedDateTime at);

}  // namespace jet
