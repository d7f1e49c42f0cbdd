// How Access SQL compares text: case-insensitively, in the order of the
// staff's language, through ICU's Spanish collation at secondary strength
// (accents count, case does not), and LIKE with the OLE DB provider's
// wildcards: % any run of characters, _ one character, [abc] [a-z] one of a
// set, [!abc] or [^abc] one not in it.
#pragma once

#include <string_view>

namespace jet::sql {

// Negative, zero or positive as `a` sorts before, with or after `b`.
int compareText(std::string_view a, std::string_view b);
inline bool textEquals(std::string_view a, std::string_view b) {
  return compareText(a, b) == 0;
}

// Whether `text` matches the LIKE `pattern`, ignoring case. Runs in time
// proportional to the product of the two lengths at worst.
bool likeMatches(std::string_view text, std::string_view pattern);

}  // namespace jet::sql
