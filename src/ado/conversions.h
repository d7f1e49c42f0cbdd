// The runtime's conversions between numbers and text, for the code above the
// data-access layer: the system's number format (the point as the decimal
// separator whatever the locale, half to even for whole numbers) and the
// length of a text as the runtime counts it. They are the engine's own
// (jet/convert.h, jet/text.h), so a number written on the board reads back
// the same in a statement.
#pragma once

#include <cstddef>
#include <string_view>

#include "jet/convert.h"
#include "jet/text.h"

namespace ado {

using jet::formatNumber;
using jet::formatSingle;
using jet::kDecimalSeparator;
using jet::parseNumber;
using jet::roundHalfEven;

// Len(): the characters of a text in UTF-16 units, as the point of sale's
// strings count them.
inline size_t textLength(std::string_view utf8) {
  return jet::utf16Length(utf8);
}

}  // namespace ado
