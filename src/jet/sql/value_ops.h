// Arithmetic, comparison and conversion of values as the Access engine does
// them in SQL.
//
// NULL propagates through arithmetic and comparison (three-valued logic: a
// comparison with NULL is NULL, which a WHERE treats as not true). `+` joins
// two texts and propagates NULL; `&` joins anything as text with NULL as
// empty. A text met by a number is read as a number when it is one, else
// the operation fails with a type mismatch. Whole-number arithmetic is exact
// and widens to Double instead of wrapping.
#pragma once

#include <optional>
#include <string>

#include "jet/schema.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet::sql {

// A number's value as a double; booleans are -1 and 0, dates their days.
// Texts only when `readText` and they read as a number.
std::optional<double> numberOf(const Value& v, bool readText = true);
// The whole-number value of an integral type (Boolean, Byte, Integer, Long, BigInt).
std::optional<int64_t> wholeOf(const Value& v);
// The text form of a value: numbers in the system's format, dates as
// d/m/yyyy h:mm:ss (the time only when there is one), booleans -1 and 0.
std::string textOf(const Value& v);
std::string formatDate(DateTime d);

// Truth of a condition: NULL is not true; numbers are true when not zero.
bool isTrue(const Value& v);
// A boolean from three-valued logic: Null stays Null.
Value truth(std::optional<bool> b);
std::optional<bool> logicalOf(const Value& v);

// Binary arithmetic and text operators: "+", "-", "*", "/", "\", "MOD", "^", "&".
Result<Value> arithmetic(const std::string& op, const Value& a, const Value& b);
Result<Value> negate(const Value& a);

// SQL comparison of two non-null values: text by collation, numbers and
// dates by value, a text against a number by the text's numeric value.
Result<int> compare(const Value& a, const Value& b);
// Total order for sorting and grouping: NULL first, then numbers and dates,
// then texts, then everything else; never fails.
int orderCompare(const Value& a, const Value& b);

// A whole number as the smallest of Long or Double that holds it.
Value wholeNumber(int64_t n);

// The value converted for storing in a column of the given definition;
// fails with a type mismatch or an overflow (also a text longer than a Text
// column holds: `textBytesPerChar` is 1 in Jet 3 files, 2 in later ones).
Result<Value> convertForColumn(const Value& v, const ColumnDef& column, int textBytesPerChar);

}  // namespace jet::sql
