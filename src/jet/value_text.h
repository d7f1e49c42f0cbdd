// The plain text forms of the engine's exact values, shared by the CSV export
// and the ADO variant so that both write a Decimal, a Currency amount, a
// replication id and a binary value the same way. The point is always the
// decimal separator; no thousands separator is ever written.
#pragma once

#include <string>

#include "jet/value.h"

namespace jet {

// Every digit the scale keeps, with a leading "0" before the point:
// 1.50 at scale 2 is "1.50", 5 at scale 3 is "0.005". A negative zero has
// no sign.
std::string decimalText(const Decimal& d);
// The same without the zeros that end the fraction, and without the point
// when nothing is left after it: "1.5", "2".
std::string shortDecimalText(const Decimal& d);

// An amount in its short form ("2.5", "-1", "0.0001"); the most negative
// amount too.
void appendCurrencyText(std::string& out, Currency c);
std::string currencyText(Currency c);

// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper case, the first three
// groups read little-endian as Access shows them.
std::string guidText(const Guid& g);

// Two upper-case hexadecimal digits per byte, nothing between them.
void appendHexText(std::string& out, const Bytes& bytes);

}  // namespace jet
