// Values as CSV fields (RFC 4180), the one format in which the tools print
// rows: `cocina-db export` and the rows of `cocina-db sql`.
//
// Text is always in double quotes (a quote doubled inside); Null is an empty
// unquoted field; numbers are in plain C-locale form with no exponent and
// every digit needed to read the same value back; Date/Time is
// `YYYY-MM-DD HH:MM:SS` (to the nearest second), Date/Time Extended the same
// with `.fffffff` when the second has a fraction; Boolean is 1 or 0; binary
// and OLE values are upper-case hexadecimal, a zero-length one `""` as an
// empty text is, so that it never reads as Null; a replication id is in braces
// ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}). Records end with CRLF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "jet/value.h"

namespace jet::csv {

inline constexpr std::string_view kRecordEnd = "\r\n";

// One value as a field.
std::string field(const Value& v);
// The same field appended to `out`: the form a long export uses, writing
// every record of a chunk into one buffer without a string per value.
void appendField(std::string& out, const Value& v);
// A text in double quotes, inner quotes doubled.
std::string quoted(std::string_view text);
void appendQuoted(std::string& out, std::string_view text);
// A column name: quoted only when it holds a comma, a quote or a line break.
std::string headerField(std::string_view name);
// A whole record of fields joined with commas, with its CRLF.
std::string record(const std::vector<std::string>& fields);

std::string formatDateTime(DateTime d);
// Date/Time Extended: the Date/Time form, with `.fffffff` (seven digits)
// only when the second has a fraction.
std::string formatExtendedDateTime(ExtendedDateTime d);
std::string formatGuid(const Guid& g);
std::string formatDecimal(const Decimal& d);
std::string formatCurrency(Currency c);
// Shortest round-trip form without exponent.
std::string plainNumber(double x);
std::string plainNumber(float x);

}  // namespace jet::csv
