// What each character contributes to a text key in the two General sort
// orders of Jet 4 and ACE files: the one of Access 2000 to 2007 (sort order
// 1033, version 0) and the newer one Access 2010 and later write (version 1).
//
// Both orders give a character one of four parts (index_key_general.cpp
// lays them out): inline codes that sort it with its plain letter or digit
// and ignore case, optionally followed by an accent code that only breaks
// ties; a code kept apart for the apostrophe, the hyphen and the control
// characters ("unprintable"), which only count where the inline codes are
// equal; or nothing at all ("ignored"). The two orders share the accent
// codes and the kinds; their inline codes differ (one byte per letter in
// the older order, two in the newer).
//
// Known: every character of U+0000 to U+017F (Latin-1 with the Spanish
// punctuation ¿ ¡ « » º ª, Latin Extended-A), the Greek letters (U+0386 to
// U+03CE and the letter variants ϐ ϑ ϒ ϓ ϔ ϕ ϖ ϰ ϱ ϲ), the Cyrillic letters
// of U+0400 to U+045F with Ґ ґ, and the euro sign; the older order also
// ignores every character of Greek Extended (U+1F00 to U+1FFF), as Access
// does. Anything else is Unknown, and a key that needs it is refused.
#pragma once

#include <cstdint>

namespace jet::storage {

enum class GeneralVersion : uint8_t {
  Legacy,  // Access 2000 to 2007 (and Jackcess's 2019 template)
  V2010,   // Access 2010 and later
};

struct GeneralCode {
  enum class Kind : uint8_t { Unknown, Ignored, Inline, Unprintable };
  Kind kind = Kind::Unknown;
  uint8_t inlineCodes[4] = {0, 0, 0, 0};
  uint8_t inlineLength = 0;
  uint8_t accent = 0;       // Inline: 0 for none
  uint8_t unprintable = 0;  // Unprintable: its code
};

GeneralCode generalCode(char16_t ch, GeneralVersion version);

}  // namespace jet::storage
