// Text keys in the General sort order of Access 97 (Jet 3 files, sort order
// 1033 in the column's entry), as Access 97 writes them in its indexes.
//
// Each character of the file's code page (1252, Western) gives one inline
// code (two for Æ and ß) that ignores case and accents: control characters
// share 0x10, blanks 0x11, punctuation and symbols follow in the order of
// the code page from 0x12, digits are 0x56 to 0x5F and letters 0x60 to 0x81.
// The accents follow the inline codes as 4-bit codes, opened and closed by a
// 0 nibble and padded to a whole byte: each accented letter writes one 2
// ("no accent") for every character since the previous accented one that
// counts, then its own accent. Without an accent the text ends in a single 0x00 instead.
//
// Which characters count is taken only from what Access 97 itself was seen
// to write: the letter A counts (in either case), and the hyphen, the
// space, the no-break space and the f with hook do not. Access 97 was seen
// with no other character before an accented letter, so a key where
// any other one (another letter, a digit, a symbol) comes before an
// accented letter, after the previous accented one, is refused rather than
// guessed; so is any character the code page does not hold (and NUL).
// U+FFFD, which is what a byte the code page leaves undefined reads as, has
// the code Access gives every such byte.
#include <cstdio>
#include <string>

#include "jet/error_codes.h"
#include "jet/storage/read/index_key.h"
#include "jet/storage/read/latin_letters.h"
#include "jet/text.h"

namespace jet::storage {

namespace {

constexpr uint8_t kEndText97 = 0x00;
constexpr uint8_t kAccentsBound = 0x0;
constexpr uint8_t kNoAccent97 = 0x2;

// Accent codes (4 bits).
constexpr uint8_t kGrave97 = 0x3, kAcute97 = 0x4, kCircumflex97 = 0x5, kDiaeresis97 = 0x6,
                  kTilde97 = 0x7, kRing97 = 0x8, kCedilla97 = 0x9, kCaron97 = 0xA;

// Whether a character writes a "no accent" code before a later accented
// letter; Unknown where Access 97 was never seen to say.
enum class Counts : uint8_t { No, Yes, Unknown };

struct Code97 {
  uint8_t inlineCodes[2] = {0, 0};
  uint8_t inlineLength = 0;  // 0: a character the table does not have
  uint8_t accent = 0;        // 0: none
  Counts counts = Counts::Unknown;
};

// Inline codes of the letters A to Z (the same for a to z).
constexpr uint8_t kLetters97[26] = {0x60, 0x61, 0x62, 0x64, 0x66, 0x67, 0x68, 0x69, 0x6a,
                                    0x6b, 0x6c, 0x6d, 0x6f, 0x70, 0x72, 0x73, 0x74, 0x75,
                                    0x76, 0x77, 0x78, 0x7a, 0x7b, 0x7c, 0x7d, 0x7e};

// Symbols from U+00A1 to U+00BF.
constexpr uint8_t kLatin1Symbols97[31] = {
    0x3b, 0x3c, 0x3d, 0x3e, 0x3f, 0x40, 0x41, 0x42, 0x43, 0x44, 0x13,  // ¡ to «
    0x45, 0x1e, 0x46, 0x47, 0x48, 0x49, 0x58, 0x59, 0x4a, 0x4b, 0x4c,  // ¬ to ¶
    0x4d, 0x4e, 0x57, 0x4f, 0x13, 0x50, 0x51, 0x52, 0x53};             // · to ¿

Code97 code(uint8_t a, uint8_t accent = 0) {
  Code97 c;
  c.inlineCodes[0] = a;
  c.inlineLength = 1;
  c.accent = accent;
  return c;
}
Code97 code2(uint8_t a, uint8_t b) {
  Code97 c = code(a);
  c.inlineCodes[1] = b;
  c.inlineLength = 2;
  return c;
}
uint8_t letter97(char l) {
  return kLetters97[l - 'a'];
}

// U+00C0 to U+00FF: the letters with their accents, and × ÷.
uint8_t accent97(Accent a) {
  switch (a) {
    case Accent::Grave: return kGrave97;
    case Accent::Acute: return kAcute97;
    case Accent::Circumflex: return kCircumflex97;
    case Accent::Tilde: return kTilde97;
    case Accent::Diaeresis: return kDiaeresis97;
    case Accent::Ring: return kRing97;
    case Accent::Cedilla: return kCedilla97;
    default: return 0;  // none, or not found in Western letters
  }
}

Code97 latin1Letter97(char16_t ch) {
  if (auto l = latinLetter(ch)) {
    if (l->second) return code2(letter97(l->base), letter97(l->second));
    return code(letter97(l->base), accent97(l->accent));
  }
  switch (ch < 0xE0 ? ch : ch - 0x20u) {
    case 0xD0: return code(0x65);                      // eth, between d and e
    case 0xD7: return code(ch == 0xD7 ? 0x54 : 0x55);  // × and ÷
    case 0xD8: return code(0x81);                      // o with stroke, after z
    case 0xDE: return code(0x7f);                      // thorn, after z
  }
  return {};
}

// The characters the code page holds at 0x80 to 0x9F: typographic quotes
// and dashes take the codes of their ASCII counterparts.
Code97 windowsExtra97(char16_t ch) {
  switch (ch) {
    // The euro sign and the z with caron, among the control characters.
    case 0x20AC:
    case 0x017D:
    case 0x017E: return code(0x10);
    case 0x0192: return code(0x32);  // f with hook, after the ASCII symbols
    case 0x201A:
    case 0x2039:
    case 0x2018:
    case 0x2019:
    case 0x203A: return code(0x18);
    case 0x201E:
    case 0x201C:
    case 0x201D: return code(0x13);
    case 0x2013:
    case 0x2014: return code(0x1e);
    case 0x2026: return code(0x33);
    case 0x2020: return code(0x34);
    case 0x2021: return code(0x35);
    case 0x02C6: return code(0x36);
    case 0x2030: return code(0x37);
    case 0x2022: return code(0x38);
    case 0x02DC: return code(0x39);
    case 0x2122: return code(0x3a);
    case 0x0160:
    case 0x0161: return code(letter97('s'), kCaron97);
    case 0x0152:
    case 0x0153: return code2(letter97('o'), letter97('e'));
    case 0x0178: return code(letter97('y'), kDiaeresis97);
  }
  return {};
}

Code97 codeOf97Uncounted(char16_t ch) {
  if (ch >= 'a' && ch <= 'z') return code(letter97(static_cast<char>(ch)));
  if (ch >= 'A' && ch <= 'Z') return code(letter97(static_cast<char>(ch - 'A' + 'a')));
  if (ch >= '0' && ch <= '9') return code(static_cast<uint8_t>(0x56 + (ch - '0')));
  if (ch == '\t' || ch == ' ' || ch == 0xA0) return code(0x11);
  // Control characters (0x1A is missing from what Access was seen to write).
  if ((ch >= 0x01 && ch <= 0x1F && ch != 0x1A) || ch == 0x7F) return code(0x10);
  if (ch >= '!' && ch <= '/') return code(static_cast<uint8_t>(0x12 + (ch - '!')));
  if (ch >= ':' && ch <= '@') return code(static_cast<uint8_t>(0x21 + (ch - ':')));
  if (ch >= '[' && ch <= '`') return code(static_cast<uint8_t>(0x28 + (ch - '[')));
  if (ch >= '{' && ch <= '~') return code(static_cast<uint8_t>(0x2e + (ch - '{')));
  if (ch >= 0xA1 && ch <= 0xBF) return code(kLatin1Symbols97[ch - 0xA1]);
  if (ch >= 0xC0 && ch <= 0xFF) return latin1Letter97(ch);
  // A byte the code page leaves undefined.
  if (ch == 0xFFFD) return code(0x10);
  return windowsExtra97(ch);
}

Code97 codeOf97(char16_t ch) {
  Code97 c = codeOf97Uncounted(ch);
  if (ch == 'a' || ch == 'A') c.counts = Counts::Yes;
  if (ch == '-' || ch == ' ' || ch == 0xA0 || ch == 0x192) c.counts = Counts::No;
  return c;
}

// The 4-bit accent codes, packed high nibble first.
class Nibbles {
 public:
  void put(uint8_t n) {
    if (half_) {
      bytes_.back() = static_cast<uint8_t>(bytes_.back() | (n & 0x0F));
    } else {
      bytes_.push_back(static_cast<uint8_t>(n << 4));
    }
    half_ = !half_;
  }
  bool empty() const { return bytes_.empty(); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  bool half_ = false;
};

Error cannotOrder(const std::string& what) {
  return Error{errc::kNotSupported, "El motor no sabe ordenar " + what +
                                        " en un índice de texto de Access 97; no se ha "
                                        "modificado nada."};
}

std::string codePoint(char16_t ch) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(ch));
  return buf;
}

}  // namespace

Result<std::vector<uint8_t>> general97TextKey(std::string_view utf8) {
  std::u16string text = toUtf16(utf8);
  // Access keys at most 255 characters of a text.
  if (text.size() > 255) text.resize(255);
  std::vector<uint8_t> out;
  Nibbles accents;
  size_t countedSince = 0;    // characters that count, since the previous accented one
  char16_t unknownSince = 0;  // a character not known to count or not, since then
  for (char16_t ch : text) {
    Code97 c = codeOf97(ch);
    if (c.inlineLength == 0) return cannotOrder("el carácter " + codePoint(ch));
    out.insert(out.end(), c.inlineCodes, c.inlineCodes + c.inlineLength);
    if (c.accent == 0) {
      if (c.counts == Counts::Yes) ++countedSince;
      if (c.counts == Counts::Unknown && unknownSince == 0) unknownSince = ch;
      continue;
    }
    if (unknownSince != 0) {
      return cannotOrder("el carácter " + codePoint(unknownSince) +
                         " delante de una letra acentuada");
    }
    if (accents.empty()) accents.put(kAccentsBound);
    for (; countedSince > 0; --countedSince) accents.put(kNoAccent97);
    accents.put(c.accent);
    unknownSince = 0;
  }
  if (accents.empty()) {
    out.push_back(kEndText97);
  } else {
    accents.put(kAccentsBound);
    out.insert(out.end(), accents.bytes().begin(), accents.bytes().end());
  }
  return out;
}

}  // namespace jet::storage
