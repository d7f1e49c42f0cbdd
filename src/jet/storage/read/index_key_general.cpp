// Text keys in the General sort orders of Jet 4 and ACE files (Access 2000
// to 2007, and the newer one of Access 2010 and later), as Access writes
// them in its indexes. The two orders lay a key out alike and differ only
// in the codes of the characters (general_sort_codes.*).
//
// The inline codes of every character come first, then the end mark 0x01.
// The accent codes follow, one per character with inline codes up to the
// last accented one, 0x02 standing for "none". When the text has
// unprintable characters (the apostrophe, the hyphen, control characters),
// three more end marks follow and, per such character, its place (a
// big-endian 0x8000 | (7 + 4 × place), the place counting the accent codes
// written or still to come before it), 0x06 and its code. Ignored
// characters leave no trace. A character without a code fails the whole
// key with an error naming it, so an index is never written with a guess.
#include <cstdio>
#include <string>

#include "jet/error_codes.h"
#include "jet/storage/read/general_sort_codes.h"
#include "jet/storage/read/index_key.h"
#include "jet/text.h"

namespace jet::storage {

namespace {

constexpr uint8_t kEndText = 0x01;
constexpr uint8_t kNoAccent = 0x02;
constexpr uint8_t kUnprintableMark = 0x06;
constexpr uint16_t kUnprintablePlaceFlag = 0x8000;

Error cannotOrder(char16_t ch) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(ch));
  return Error{errc::kNotSupported, std::string("El motor no sabe ordenar el carácter U+") + buf +
                                        " en un índice de texto; no se ha modificado nada."};
}

Result<std::vector<uint8_t>> textKey(std::string_view utf8, GeneralVersion version) {
  std::u16string text = toUtf16(utf8);
  // Access keys at most 255 characters of a text.
  if (text.size() > 255) text.resize(255);
  std::vector<uint8_t> out;
  std::vector<uint8_t> accents;  // one per inline character so far, untrimmed
  size_t accentChars = 0;        // characters the accents list covers
  std::vector<uint8_t> unprintables;
  size_t position = 0;  // characters with inline codes so far
  for (char16_t ch : text) {
    GeneralCode c = generalCode(ch, version);
    switch (c.kind) {
      case GeneralCode::Kind::Unknown: return cannotOrder(ch);
      case GeneralCode::Kind::Ignored: continue;
      case GeneralCode::Kind::Inline: {
        size_t at = position;
        out.insert(out.end(), c.inlineCodes, c.inlineCodes + c.inlineLength);
        ++position;
        if (c.accent != 0) {
          while (accentChars < at) {
            accents.push_back(kNoAccent);
            ++accentChars;
          }
          accents.push_back(c.accent);
          ++accentChars;
        }
        continue;
      }
      case GeneralCode::Kind::Unprintable: {
        // Its place counts the accent codes not yet written too.
        size_t place = accents.empty() ? position : accents.size() + (position - accentChars);
        uint16_t mark = static_cast<uint16_t>((7 + 4 * place) | kUnprintablePlaceFlag);
        unprintables.push_back(static_cast<uint8_t>(mark >> 8));
        unprintables.push_back(static_cast<uint8_t>(mark));
        unprintables.push_back(kUnprintableMark);
        unprintables.push_back(c.unprintable);
        continue;
      }
    }
  }
  out.push_back(kEndText);
  while (!accents.empty() && accents.back() <= kNoAccent) accents.pop_back();
  out.insert(out.end(), accents.begin(), accents.end());
  if (!unprintables.empty()) {
    out.push_back(kEndText);
    out.push_back(kEndText);
    out.push_back(kEndText);
    out.insert(out.end(), unprintables.begin(), unprintables.end());
  }
  return out;
}

}  // namespace

Result<std::vector<uint8_t>> generalTextKey(std::string_view utf8) {
  return textKey(utf8, GeneralVersion::Legacy);
}

Result<std::vector<uint8_t>> general2010TextKey(std::string_view utf8) {
  return textKey(utf8, GeneralVersion::V2010);
}

}  // namespace jet::storage
