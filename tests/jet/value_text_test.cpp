// The calendar of day serials and the text forms of exact values that the
// export and the ADO variant share: the era boundaries, leap days, dates
// before day 0, a time that rounds up into the next day, and decimals whose
// digits all sit after the point.
#include <gtest/gtest.h>

#include <utility>

#include "jet/civil_date.h"
#include "jet/value_text.h"

namespace {

using jet::CivilDay;

void expectDate(int64_t serial, int64_t y, unsigned m, unsigned d) {
  const CivilDay c = jet::civilFromDaySerial(serial);
  EXPECT_EQ(c.year, y) << serial;
  EXPECT_EQ(c.month, m) << serial;
  EXPECT_EQ(c.day, d) << serial;
  EXPECT_EQ(jet::daySerialFromCivil(y, m, d), serial);
}

TEST(CivilDate, KnownDaysAroundDayZeroAndLeapDays) {
  expectDate(0, 1899, 12, 30);
  expectDate(-1, 1899, 12, 29);
  expectDate(2, 1900, 1, 1);
  // 1900 is no leap year: Access goes from February 28 to March 1.
  expectDate(60, 1900, 2, 28);
  expectDate(61, 1900, 3, 1);
  expectDate(36585, 2000, 2, 29);     // a century that is a leap year
  expectDate(-109512, 1600, 2, 29);   // and one before day 0
  expectDate(-657434, 100, 1, 1);     // the first date Access takes
  expectDate(2958465, 9999, 12, 31);  // and the last
  expectDate(-693899, 0, 3, 1);       // where the era count starts
  expectDate(-693900, 0, 2, 29);      // year 0 is a leap year
}

TEST(CivilDate, EverySerialReadsBackAndFollowsTheDayBefore) {
  // Across eras on both sides of day 0, each serial's date is the next one
  // after the previous serial's, and converts back to the same serial.
  CivilDay previous = jet::civilFromDaySerial(-800001);
  for (int64_t serial = -800000; serial <= 3000000; serial += 1) {
    const CivilDay c = jet::civilFromDaySerial(serial);
    ASSERT_EQ(jet::daySerialFromCivil(c.year, c.month, c.day), serial);
    const bool sameMonth = c.year == previous.year && c.month == previous.month;
    if (sameMonth) {
      ASSERT_EQ(c.day, previous.day + 1) << serial;
    } else {
      ASSERT_EQ(c.day, 1u) << serial;
      ASSERT_TRUE(c.month == previous.month + 1 ||
                  (c.month == 1 && previous.month == 12 && c.year == previous.year + 1))
          << serial;
    }
    previous = c;
  }
}

using Split = std::pair<int64_t, int32_t>;  // whole day, second of the day

TEST(CivilDate, SplitKeepsTheTimeOfNegativeSerialsAndCarriesMidnight) {
  auto split = [](double days) {
    const jet::DayAndSecond s = jet::splitDateTime({days});
    return Split{s.day, s.second};
  };
  EXPECT_EQ(split(0.5), Split(0, 43200));
  // Before day 0 the time is a positive fraction after the whole day.
  EXPECT_EQ(split(-1.25), Split(-1, 21600));
  EXPECT_EQ(split(-0.5), Split(0, 43200));
  // To the nearest second; a time that rounds to 24:00 is the next midnight.
  EXPECT_EQ(split(10 + 0.6 / 86400), Split(10, 1));
  EXPECT_EQ(split(10 + 0.4 / 86400), Split(10, 0));
  EXPECT_EQ(split(1.0 - 0.1 / 86400), Split(1, 0));
  EXPECT_EQ(split(-1.0 - (1.0 - 0.1 / 86400)), Split(0, 0));
}

jet::Decimal decimal(bool negative, uint8_t scale, unsigned __int128 magnitude) {
  jet::Decimal d;
  d.negative = negative;
  d.scale = scale;
  d.magnitude = magnitude;
  return d;
}

TEST(ValueText, DecimalsKeepTheirScaleOrDropTrailingZeros) {
  EXPECT_EQ(jet::decimalText(decimal(false, 2, 150)), "1.50");
  EXPECT_EQ(jet::shortDecimalText(decimal(false, 2, 150)), "1.5");
  EXPECT_EQ(jet::shortDecimalText(decimal(false, 2, 200)), "2");
  // Every digit after the point, with the zeros that lead them.
  EXPECT_EQ(jet::decimalText(decimal(false, 3, 5)), "0.005");
  EXPECT_EQ(jet::decimalText(decimal(true, 3, 50)), "-0.050");
  EXPECT_EQ(jet::shortDecimalText(decimal(true, 3, 50)), "-0.05");
  // Zero has no sign, whatever the flag says.
  EXPECT_EQ(jet::decimalText(decimal(true, 2, 0)), "0.00");
  EXPECT_EQ(jet::shortDecimalText(decimal(true, 2, 0)), "0");
  EXPECT_EQ(jet::decimalText(decimal(true, 0, 0)), "0");
  // The largest 96-bit magnitude, every digit after the point.
  const unsigned __int128 max96 = (static_cast<unsigned __int128>(1) << 96) - 1;
  EXPECT_EQ(jet::decimalText(decimal(false, 28, max96)), "7.9228162514264337593543950335");
  EXPECT_EQ(jet::decimalText(decimal(true, 0, max96)), "-79228162514264337593543950335");
}

TEST(ValueText, CurrencyInItsShortForm) {
  EXPECT_EQ(jet::currencyText({1}), "0.0001");
  EXPECT_EQ(jet::currencyText({-10000}), "-1");
  EXPECT_EQ(jet::currencyText({25000}), "2.5");
  EXPECT_EQ(jet::currencyText({INT64_MIN}), "-922337203685477.5808");
  EXPECT_EQ(jet::currencyText({INT64_MAX}), "922337203685477.5807");
}

}  // namespace
