// The system's number format: the numeric test, half-to-even rounding and the
// plain text form of numbers.
#include "jet/convert.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberFormat, NumericTextAllowsBlanksAroundButNotEmpty) {
  EXPECT_EQ(jet::parseNumber(" 14"), 14.0);
  EXPECT_EQ(jet::parseNumber("14  "), 14.0);
  EXPECT_EQ(jet::parseNumber("-3.25"), -3.25);
  EXPECT_EQ(jet::parseNumber("+.5"), 0.5);
  EXPECT_EQ(jet::parseNumber("1e3"), 1000.0);
  EXPECT_FALSE(jet::parseNumber(""));
  EXPECT_FALSE(jet::parseNumber("   "));
  EXPECT_FALSE(jet::parseNumber(": 14"));
  EXPECT_FALSE(jet::parseNumber("14abc"));
  EXPECT_FALSE(jet::parseNumber("1.2.3"));
  EXPECT_FALSE(jet::parseNumber("."));
  EXPECT_FALSE(jet::parseNumber("1e"));
  EXPECT_FALSE(jet::parseNumber("1e999"));  // not a finite number
}

TEST(NumberFormat, CommaIsNotTheDecimalSeparator) {
  // One fixed separator: "13,5" would read as 135 or 13 in other systems;
  // here it is not a number at all, so nothing is silently misread.
  EXPECT_FALSE(jet::parseNumber("13,5"));
  EXPECT_EQ(jet::kDecimalSeparator, '.');
}

TEST(NumberFormat, HalvesRoundToTheEvenNeighbour) {
  EXPECT_EQ(jet::roundHalfEven(13.5), 14);
  EXPECT_EQ(jet::roundHalfEven(12.5), 12);
  EXPECT_EQ(jet::roundHalfEven(2.5), 2);
  EXPECT_EQ(jet::roundHalfEven(-2.5), -2);
  EXPECT_EQ(jet::roundHalfEven(-3.5), -4);
  EXPECT_EQ(jet::roundHalfEven(0.5), 0);
  EXPECT_EQ(jet::roundHalfEven(2.51), 3);
  EXPECT_EQ(jet::roundHalfEven(-0.4), 0);
}

TEST(NumberFormat, PlainTextFormHasDecimalsOnlyWhenPresent) {
  EXPECT_EQ(jet::formatNumber(2), "2");
  EXPECT_EQ(jet::formatNumber(-2), "-2");
  EXPECT_EQ(jet::formatNumber(1234567), "1234567");
  EXPECT_EQ(jet::formatNumber(2.5), "2.5");
  EXPECT_EQ(jet::formatNumber(0.1), "0.1");
  EXPECT_EQ(jet::formatNumber(-0.0), "0");
  EXPECT_EQ(jet::formatNumber(1e16), "1E+16");
  EXPECT_EQ(jet::formatNumber(1.5e-7), "1.5E-07");
  EXPECT_EQ(jet::formatSingle(0.1f), "0.1");
}

}  // namespace
