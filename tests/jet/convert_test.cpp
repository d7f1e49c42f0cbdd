// The system's number format: the numeric test, half-to-even rounding and the
// plain text form of numbers.
#include "jet/convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

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

TEST(NumberFormat, TextsBeyondADoubleAreNotNumbersTextsBelowOneAreZero) {
  // Too large, however the digits stand: not a number.
  EXPECT_FALSE(jet::parseNumber("-1e400"));
  EXPECT_FALSE(jet::parseNumber("0.001e312"));
  EXPECT_FALSE(jet::parseNumber("1" + std::string(400, '0')));
  EXPECT_FALSE(jet::parseNumber("1e99999999999999999999"));
  // Too small: zero, keeping its sign.
  EXPECT_EQ(jet::parseNumber("1e-400"), 0.0);
  EXPECT_EQ(jet::parseNumber("1000e-330"), 0.0);
  EXPECT_EQ(jet::parseNumber("0." + std::string(400, '0') + "1"), 0.0);
  EXPECT_EQ(jet::parseNumber("5e-99999999999999999999"), 0.0);
  auto negative = jet::parseNumber("-1e-400");
  ASSERT_TRUE(negative);
  EXPECT_TRUE(std::signbit(*negative));
  // The ends of the range still read.
  EXPECT_EQ(jet::parseNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
  EXPECT_EQ(jet::parseNumber("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(jet::parseNumber("5.e3"), 5000.0);
  EXPECT_EQ(jet::parseNumber("-.5E+1"), -5.0);
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
