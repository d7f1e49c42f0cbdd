// The system's number format: how numbers are read from text and written as
// text, in one place.
//
// The decimal separator is always the point, whatever the machine's locale.
// The point of sale stores numbers in binary columns, so text forms of numbers
// only appear on the kitchen screen, in the hidden "Cod: " tag of a board cell
// (which must read back exactly) and in SQL text; a separator that changed with
// the locale would break the tag and the statements, so it is fixed here.
// Nothing here reads the process's C locale (LC_NUMERIC, which the windowing
// toolkit sets from the environment): every conversion of a number to or
// from text in cocina comes through these functions or through
// std::to_chars, and means the same under every locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jet {

inline constexpr char kDecimalSeparator = '.';

// The numeric test: optional blanks, an optional sign, digits with at most one
// decimal separator (at least one digit in all), an optional exponent, optional
// blanks. The empty text and blanks alone are not numeric. Answers the value.
std::optional<double> parseNumber(std::string_view text);

// Rounds to the nearest whole number, a half going to the even neighbour
// (2.5 gives 2, 3.5 gives 4, -2.5 gives -2), as every whole-number
// conversion of the system does.
double roundHalfEven(double x);

// The plain text form of a number: no thousands separator, decimals only
// when present, at most 15 significant digits (7 for a Single), an exponent
// only for very large or very small magnitudes ("1E+16").
std::string formatNumber(double x);
std::string formatSingle(float x);

}  // namespace jet
