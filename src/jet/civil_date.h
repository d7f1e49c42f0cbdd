// Access day serials and the calendar: day 0 is 1899-12-30, days count on in
// the proleptic Gregorian calendar in both directions, and the fraction of a
// serial is the time of day. A serial before day 0 keeps its time as a
// positive fraction: -1.25 is 1899-12-29 06:00.
//
// The one place the calendar arithmetic lives; the SQL date functions, the
// CSV export and the ADO variant's text all read dates through it.
#pragma once

#include <cstdint>

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

}  // namespace jet
