// Calendar arithmetic on the engine's date values (days since 1899-12-30,
// the time of day as the fraction) and the date texts Access SQL accepts.
#pragma once

#include <optional>
#include <string_view>

#include "jet/value.h"

namespace jet::sql {

struct CivilDate {
  int year = 1899;
  int month = 12;
  int day = 30;
};

double daysFromCivil(int year, int month, int day);
CivilDate civilFromDays(double days);

// Reads "yyyy-mm-dd", "m/d/yyyy" (the month first, as Access SQL writes
// dates), either followed by an optional "hh:mm[:ss]" and AM/PM, or a time alone.
std::optional<DateTime> parseDateText(std::string_view text);

// The machine's local time now, and today at midnight.
DateTime nowLocal();
DateTime todayLocal();

}  // namespace jet::sql
