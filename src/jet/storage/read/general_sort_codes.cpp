// Character codes of the two General sort orders; see general_sort_codes.h.
//
// The codes are kept by the kind of character rather than one table entry
// per code point: letters are a base letter and an accent (latin_letters.h
// for the Latin ones, the Greek and Cyrillic alphabets below), symbols and
// punctuation have one or two inline bytes of their own in each order.
// Every code here is checked against entries Access, or Jackcess for the
// newer order's non-ASCII characters, wrote in the test files.
#include "jet/storage/read/general_sort_codes.h"

#include <initializer_list>
#include <optional>

#include "jet/storage/read/latin_letters.h"

namespace jet::storage {

namespace {

using Kind = GeneralCode::Kind;
using V = GeneralVersion;

// Inline codes of the letters a to z: one byte in the older order, the
// newer one's second byte after kLetterLead2010.
constexpr uint8_t kLetterCodes[2][26] = {
    {0x4a, 0x4c, 0x4d, 0x4f, 0x51, 0x53, 0x55, 0x57, 0x59, 0x5b, 0x5c, 0x5e, 0x60,
     0x62, 0x64, 0x66, 0x68, 0x69, 0x6b, 0x6d, 0x6f, 0x71, 0x73, 0x75, 0x76, 0x78},
    {0x02, 0x09, 0x0a, 0x1a, 0x21, 0x23, 0x25, 0x2c, 0x32, 0x35, 0x36, 0x48, 0x51,
     0x70, 0x7c, 0x7e, 0x89, 0x8a, 0x91, 0x99, 0x9f, 0xa2, 0xa4, 0xa6, 0xa7, 0xa9}};
constexpr uint8_t kLetterLead2010 = 0x0e;
// Digits: 0x36 + 2 × digit in the older order; 0x0d and these in the newer.
constexpr uint8_t kDigitLead2010 = 0x0d;
constexpr uint8_t kDigitCodes2010[10] = {0x17, 0x19, 0x1a, 0x1b, 0x1c,
                                         0x1d, 0x1e, 0x1f, 0x20, 0x21};

// Accent codes, the same in both orders.
constexpr uint8_t kVariantCode = 0x03;  // ª º ı ĸ and the Greek letter variants
constexpr uint8_t kTonos = 0x05, kDialytika = 0x13, kDialytikaTonos = 0x16;
constexpr uint8_t kEthCode = 0x68, kSlashedOCode = 0x21;

uint8_t accentCode(Accent a) {
  switch (a) {
    case Accent::None: return 0;
    case Accent::Grave: return 0x0f;
    case Accent::Acute: return 0x0e;
    case Accent::Circumflex: return 0x12;
    case Accent::Tilde: return 0x19;
    case Accent::Diaeresis: return 0x13;
    case Accent::Ring: return 0x1a;
    case Accent::Cedilla: return 0x1c;
    case Accent::Caron: return 0x14;
    case Accent::Macron: return 0x17;
    case Accent::Breve: return 0x15;
    case Accent::Ogonek: return 0x1b;
    case Accent::DotAbove: return 0x10;
    case Accent::DoubleAcute: return 0x1d;
    case Accent::Stroke: return 0x1e;
    case Accent::BarredL: return 0x1f;
    case Accent::MiddleDot: return 0x11;
    case Accent::Variant: return kVariantCode;
    case Accent::Apostrophe: return 0x48;
  }
  return 0;
}

GeneralCode ignored() {
  GeneralCode c;
  c.kind = Kind::Ignored;
  return c;
}

GeneralCode unprintable(uint8_t code) {
  GeneralCode c;
  c.kind = Kind::Unprintable;
  c.unprintable = code;
  return c;
}

GeneralCode inlineBytes(std::initializer_list<uint8_t> bytes, uint8_t accent = 0) {
  GeneralCode c;
  c.kind = Kind::Inline;
  for (uint8_t b : bytes) c.inlineCodes[c.inlineLength++] = b;
  c.accent = accent;
  return c;
}

void appendLetter(GeneralCode& c, char letter, V v) {
  if (v == V::V2010) c.inlineCodes[c.inlineLength++] = kLetterLead2010;
  c.inlineCodes[c.inlineLength++] = kLetterCodes[static_cast<int>(v)][letter - 'a'];
}

GeneralCode letters(V v, char first, char second = 0, uint8_t accent = 0) {
  GeneralCode c = inlineBytes({}, accent);
  appendLetter(c, first, v);
  if (second) appendLetter(c, second, v);
  return c;
}

// A character with codes of its own in each order: one or two inline
// bytes (a second byte 0 means one), and an accent code.
struct OwnCodes {
  uint8_t legacy[2];
  uint8_t v2010[2];
  uint8_t v2010Accent = 0;
  uint8_t legacyAccent = 0;
};

GeneralCode fromOwn(const OwnCodes& o, V v) {
  const uint8_t* b = v == V::Legacy ? o.legacy : o.v2010;
  GeneralCode c = inlineBytes({b[0]}, v == V::Legacy ? o.legacyAccent : o.v2010Accent);
  if (b[1] != 0) c.inlineCodes[c.inlineLength++] = b[1];
  return c;
}

// ASCII punctuation, the Latin-1 symbols, the euro sign, and the Latin
// letters each order places apart from the base letters.
std::optional<OwnCodes> ownCodes(char16_t ch) {
  switch (ch) {
    case ' ': return OwnCodes{{0x07}, {0x07, 0x02}};
    case '!': return OwnCodes{{0x09}, {0x07, 0x1c}};
    case '"': return OwnCodes{{0x0a}, {0x07, 0x1d}};
    case '#': return OwnCodes{{0x0c}, {0x07, 0x1f}};
    case '$': return OwnCodes{{0x0e}, {0x07, 0x21}};
    case '%': return OwnCodes{{0x10}, {0x07, 0x23}};
    case '&': return OwnCodes{{0x12}, {0x07, 0x25}};
    case '(': return OwnCodes{{0x14}, {0x07, 0x27}};
    case ')': return OwnCodes{{0x16}, {0x07, 0x2a}};
    case '*': return OwnCodes{{0x18}, {0x07, 0x2d}};
    case '+': return OwnCodes{{0x2c}, {0x08, 0x03}};
    case ',': return OwnCodes{{0x1a}, {0x07, 0x2f}};
    case '.': return OwnCodes{{0x1c}, {0x07, 0x33}};
    case '/': return OwnCodes{{0x1e}, {0x07, 0x35}};
    case ':': return OwnCodes{{0x20}, {0x07, 0x37}};
    case ';': return OwnCodes{{0x22}, {0x07, 0x3a}};
    case '<': return OwnCodes{{0x2e}, {0x08, 0x0e}};
    case '=': return OwnCodes{{0x30}, {0x08, 0x12}};
    case '>': return OwnCodes{{0x32}, {0x08, 0x14}};
    case '?': return OwnCodes{{0x24}, {0x07, 0x3c}};
    case '@': return OwnCodes{{0x26}, {0x07, 0x3e}};
    case '[': return OwnCodes{{0x27}, {0x07, 0x3f}};
    case '\\': return OwnCodes{{0x29}, {0x07, 0x41}};
    case ']': return OwnCodes{{0x2a}, {0x07, 0x42}};
    case '^': return OwnCodes{{0x2b, 0x02}, {0x07, 0x43}};
    case '_': return OwnCodes{{0x2b, 0x03}, {0x07, 0x44}};
    case '`': return OwnCodes{{0x2b, 0x07}, {0x07, 0x48}};
    case '{': return OwnCodes{{0x2b, 0x09}, {0x07, 0x4a}};
    case '|': return OwnCodes{{0x2b, 0x0b}, {0x07, 0x4c}};
    case '}': return OwnCodes{{0x2b, 0x0d}, {0x07, 0x4e}};
    case '~': return OwnCodes{{0x2b, 0x0f}, {0x07, 0x50}};
    case 0xA0: return OwnCodes{{0x08, 0x02}, {0x07, 0x04}};  // no-break space
    case 0xA1: return OwnCodes{{0x2b, 0x10}, {0x07, 0x51}};  // ¡
    case 0xA2: return OwnCodes{{0x34, 0xa6}, {0x07, 0x97}};  // ¢
    case 0xA3: return OwnCodes{{0x34, 0xa7}, {0x07, 0x98}};  // £
    case 0xA4: return OwnCodes{{0x34, 0xa8}, {0x07, 0x99}};  // ¤
    case 0xA5: return OwnCodes{{0x34, 0xa9}, {0x07, 0x9a}};  // ¥
    case 0xA6: return OwnCodes{{0x2b, 0x11}, {0x07, 0x52}};  // ¦
    case 0xA7: return OwnCodes{{0x34, 0xaa}, {0x0a, 0x06}};  // §
    case 0xA8: return OwnCodes{{0x2b, 0x12}, {0x07, 0x53}};  // ¨
    case 0xA9: return OwnCodes{{0x34, 0xab}, {0x0a, 0x07}};  // ©
    case 0xAB: return OwnCodes{{0x33, 0x05}, {0x08, 0x18}};  // «
    case 0xAC: return OwnCodes{{0x34, 0xac}, {0x0a, 0x08}};  // ¬
    case 0xAE: return OwnCodes{{0x34, 0xad}, {0x0a, 0x09}};  // ®
    case 0xAF: return OwnCodes{{0x2b, 0x13}, {0x07, 0x54}};  // ¯
    case 0xB0: return OwnCodes{{0x34, 0xae}, {0x0a, 0x0a}};  // °
    case 0xB1:
      return OwnCodes{{0x33, 0x04}, {0x08, 0x17}};  // ±
    // Superscript digits sort as their digits.
    case 0xB2: return OwnCodes{{0x3a}, {0x0d, 0x1a}};
    case 0xB3: return OwnCodes{{0x3c}, {0x0d, 0x1b}};
    case 0xB4: return OwnCodes{{0x2b, 0x14}, {0x07, 0x55}};  // ´
    case 0xB5: return OwnCodes{{0x34, 0xaf}, {0x0a, 0x0b}};  // µ
    case 0xB6: return OwnCodes{{0x34, 0xb0}, {0x0a, 0x0c}};  // ¶
    case 0xB7: return OwnCodes{{0x34, 0xb1}, {0x0a, 0x0d}};  // ·
    case 0xB8: return OwnCodes{{0x2b, 0x15}, {0x07, 0x56}};  // ¸
    case 0xB9: return OwnCodes{{0x38}, {0x0d, 0x19}};
    case 0xBB:
      return OwnCodes{{0x33, 0x07}, {0x08, 0x1a}};  // »
    // Fractions: the newer order sorts them among the digits.
    case 0xBC: return OwnCodes{{0x37, 0x12}, {0x0d, 0x18}, 0xce};
    case 0xBD: return OwnCodes{{0x37, 0x16}, {0x0d, 0x18}, 0xd6};
    case 0xBE: return OwnCodes{{0x37, 0x1a}, {0x0d, 0x1b}, 0xde};
    case 0xBF: return OwnCodes{{0x2b, 0x16}, {0x07, 0x57}};  // ¿
    case 0xD7: return OwnCodes{{0x33, 0x09}, {0x08, 0x1c}};  // ×
    case 0xF7: return OwnCodes{{0x33, 0x0a}, {0x08, 0x1d}};  // ÷
    case 0x20AC:
      return OwnCodes{{0x35, 0xa1}, {0x07, 0xa9}};  // €
    // Ŋ ŋ, Ŧ ŧ and ſ sort as letters of their own next to n, t and s.
    case 0x14A:
    case 0x14B: return OwnCodes{{0x63, 0x05}, {kLetterLead2010, 0x74}};
    case 0x166:
    case 0x167: return OwnCodes{{0x6e, 0x06}, {kLetterLead2010, 0x9e}, 0x1e, 0x1e};
    case 0x17F: return OwnCodes{{0x6c, 0x06}, {kLetterLead2010, 0x96}};
  }
  return std::nullopt;
}

// U+0000 to U+017F.
GeneralCode latinCode(char16_t ch, V v) {
  const bool v2010 = v == V::V2010;
  if (ch == 0) return ignored();
  if (ch <= 0x08) return unprintable(static_cast<uint8_t>(ch + 2));
  // Tab, line feed, vertical tab, form feed and carriage return.
  if (ch <= 0x0D) {
    return v2010 ? inlineBytes({0x07, static_cast<uint8_t>(0x05 + (ch - 0x09))})
                 : inlineBytes({0x08, static_cast<uint8_t>(0x03 + (ch - 0x09))});
  }
  if (ch <= 0x1F) return unprintable(static_cast<uint8_t>(ch - 3));
  if (ch == '\'') return unprintable(0x80);
  if (ch == '-') return unprintable(0x82);
  if (ch == 0x7F) return unprintable(0x1d);
  // The control characters U+0080 to U+009F.
  if (ch >= 0x80 && ch <= 0x9F) {
    return v2010 ? inlineBytes({0x0c, 0xfa}, static_cast<uint8_t>(0x1d + (ch - 0x80)))
                 : unprintable(static_cast<uint8_t>(0x1e + (ch - 0x80)));
  }
  if (ch == 0xAD) return v2010 ? ignored() : unprintable(0x83);  // soft hyphen
  if (ch >= '0' && ch <= '9') {
    return v2010 ? inlineBytes({kDigitLead2010, kDigitCodes2010[ch - '0']})
                 : inlineBytes({static_cast<uint8_t>(0x36 + 2 * (ch - '0'))});
  }
  if (ch >= 'a' && ch <= 'z') return letters(v, static_cast<char>(ch));
  if (ch >= 'A' && ch <= 'Z') return letters(v, static_cast<char>(ch - 'A' + 'a'));
  if (auto own = ownCodes(ch)) return fromOwn(*own, v);
  switch (ch) {
    case 0xAA: return letters(v, 'a', 0, kVariantCode);  // ª
    case 0xBA: return letters(v, 'o', 0, kVariantCode);  // º
    case 0xD0:
    case 0xF0: return letters(v, 'd', 0, kEthCode);  // Ð ð
    case 0xD8:
    case 0xF8: return letters(v, 'o', 0, kSlashedOCode);  // Ø ø
    case 0xDE:
    case 0xFE: return letters(v, 't', 'h');  // Þ þ
    case 0xDC:
    case 0xFC:
      // The newer order spells Ü as "ue".
      if (v2010) return letters(v, 'u', 'e');
      break;
  }
  if (auto l = latinLetter(ch)) return letters(v, l->base, l->second, accentCode(l->accent));
  return {};
}

// --- Greek ---

// The 24 letters, alpha to omega (final sigma is sigma).
constexpr int kGreekLetters = 24;
constexpr int kNu = 12;

struct GreekLetter {
  uint8_t index;
  uint8_t accent;
};

std::optional<GreekLetter> greekLetter(char16_t ch) {
  if (ch >= 0x391 && ch <= 0x3A9 && ch != 0x3A2) {
    return GreekLetter{static_cast<uint8_t>(ch - 0x391 - (ch > 0x3A2 ? 1 : 0)), 0};
  }
  if (ch >= 0x3B1 && ch <= 0x3C9) {
    return GreekLetter{static_cast<uint8_t>(ch - 0x3B1 - (ch > 0x3C2 ? 1 : 0)), 0};
  }
  // Letters with tonos and dialytika, and the letter variants.
  constexpr uint8_t alpha = 0, beta = 1, epsilon = 4, eta = 6, theta = 7, iota = 8, kappa = 9,
                    omicron = 14, pi = 15, rho = 16, sigma = 17, upsilon = 19, phi = 20, omega = 23;
  switch (ch) {
    case 0x386:
    case 0x3AC: return GreekLetter{alpha, kTonos};
    case 0x388:
    case 0x3AD: return GreekLetter{epsilon, kTonos};
    case 0x389:
    case 0x3AE: return GreekLetter{eta, kTonos};
    case 0x38A:
    case 0x3AF: return GreekLetter{iota, kTonos};
    case 0x38C:
    case 0x3CC: return GreekLetter{omicron, kTonos};
    case 0x38E:
    case 0x3CD: return GreekLetter{upsilon, kTonos};
    case 0x38F:
    case 0x3CE: return GreekLetter{omega, kTonos};
    case 0x390: return GreekLetter{iota, kDialytikaTonos};
    case 0x3B0: return GreekLetter{upsilon, kDialytikaTonos};
    case 0x3AA:
    case 0x3CA: return GreekLetter{iota, kDialytika};
    case 0x3AB:
    case 0x3CB: return GreekLetter{upsilon, kDialytika};
    case 0x3D0: return GreekLetter{beta, kVariantCode};   // ϐ
    case 0x3D1: return GreekLetter{theta, kVariantCode};  // ϑ
    case 0x3D2: return GreekLetter{upsilon, 0x1b};        // ϒ
    case 0x3D3: return GreekLetter{upsilon, 0x44};        // ϓ
    case 0x3D4: return GreekLetter{upsilon, kDialytika};  // ϔ
    case 0x3D5: return GreekLetter{phi, kVariantCode};    // ϕ
    case 0x3D6: return GreekLetter{pi, kVariantCode};     // ϖ
    case 0x3F0: return GreekLetter{kappa, kVariantCode};  // ϰ
    case 0x3F1: return GreekLetter{rho, kVariantCode};    // ϱ
    case 0x3F2: return GreekLetter{sigma, 0x04};          // ϲ
  }
  return std::nullopt;
}

GeneralCode greekCode(const GreekLetter& g, V v) {
  static_assert(kNu < kGreekLetters);
  if (v == V::Legacy) return inlineBytes({0x79, static_cast<uint8_t>(0x0c + g.index)}, g.accent);
  // The newer order leaves a gap before nu.
  return inlineBytes({0x0f, static_cast<uint8_t>(0x02 + 2 * g.index + (g.index >= kNu ? 2 : 0))},
                     g.accent);
}

// --- Cyrillic ---

// The 32 letters А to Я: their inline byte after 0x79 (older order) or
// 0x10 (newer).
constexpr uint8_t kCyrillicCodes[2][32] = {
    {0x2f, 0x30, 0x31, 0x32, 0x33, 0x36, 0x38, 0x39, 0x3b, 0x3e, 0x40,
     0x41, 0x43, 0x44, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x4d, 0x50, 0x51,
     0x52, 0x53, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x5b, 0x5c},
    {0x02, 0x06, 0x08, 0x0a, 0x0f, 0x14, 0x1b, 0x1e, 0x22, 0x2a, 0x2e,
     0x32, 0x38, 0x3a, 0x48, 0x4f, 0x51, 0x53, 0x57, 0x63, 0x6c, 0x6f,
     0x75, 0x78, 0x84, 0x87, 0x8a, 0x8d, 0x96, 0x9c, 0xa2, 0xa5}};
constexpr uint8_t kCyrillicLead[2] = {0x79, 0x10};

// Ѐ Ё Ђ Ѓ Є Ѕ І Ї Ј Љ Њ Ћ Ќ Ѝ Ў Џ (U+0400 to U+040F, small letters
// U+0450 to U+045F) in each order: the inline byte and an accent code,
// or 0 for a letter the older order ignores.
struct CyrillicExtra {
  uint8_t code;
  uint8_t accent;
};
constexpr uint8_t kIe = 5, kGhe = 3, kI = 8, kKa = 10, kU = 19;  // indexes in kCyrillicCodes
constexpr uint8_t kAcute = 0x0e, kGrave = 0x0f, kBreve = 0x15;
// clang-format off
constexpr CyrillicExtra kCyrillicExtras[2][16] = {
    // Ѐ Ё Ђ Ѓ / Є Ѕ І Ї / Ј Љ Њ Ћ / Ќ Ѝ Ў Џ
    {{0, 0}, {kCyrillicCodes[0][kIe], kDialytika}, {0x35, 0}, {kCyrillicCodes[0][kGhe], kAcute},
     {0x37, 0}, {0x3a, 0}, {0x3c, 0}, {0x3d, 0},
     {0x3f, 0}, {0x42, 0}, {0x45, 0}, {0x4b, 0},
     {kCyrillicCodes[0][kKa], kAcute}, {0, 0}, {0x4e, 0}, {0x54, 0}},
    {{kCyrillicCodes[1][kIe], kGrave}, {kCyrillicCodes[1][kIe], kDialytika}, {0x11, 0},
     {kCyrillicCodes[1][kGhe], kAcute},
     {0x19, 0}, {0x20, 0}, {0x26, 0}, {0x28, 0},
     {0x2c, 0}, {0x34, 0}, {0x44, 0}, {0x5d, 0},
     {kCyrillicCodes[1][kKa], kAcute}, {kCyrillicCodes[1][kI], kGrave},
     {kCyrillicCodes[1][kU], kBreve}, {0x81, 0}}};
// clang-format on
// Ґ ґ: a form of Г in the older order, a letter of its own in the newer.
constexpr CyrillicExtra kGheUpturn[2] = {{kCyrillicCodes[0][kGhe], kVariantCode}, {0x0c, 0}};

GeneralCode cyrillicCode(char16_t ch, V v) {
  const int o = static_cast<int>(v);
  CyrillicExtra e{0, 0};
  if (ch >= 0x410 && ch <= 0x44F) {
    e = {kCyrillicCodes[o][(ch - 0x410) & 31], 0};
  } else if (ch >= 0x400 && ch <= 0x45F) {
    e = kCyrillicExtras[o][(ch - 0x400) & 15];
    if (e.code == 0) return ignored();
  } else if (ch == 0x490 || ch == 0x491) {
    e = kGheUpturn[o];
  } else {
    return {};
  }
  return inlineBytes({kCyrillicLead[o], e.code}, e.accent);
}

}  // namespace

GeneralCode generalCode(char16_t ch, GeneralVersion v) {
  if (ch <= 0x17F) return latinCode(ch, v);
  if (ch >= 0x370 && ch <= 0x3FF) {
    if (auto g = greekLetter(ch)) return greekCode(*g, v);
    return {};
  }
  if (ch >= 0x400 && ch <= 0x4FF) return cyrillicCode(ch, v);
  if (ch == 0x20AC) return fromOwn(*ownCodes(ch), v);
  // Greek Extended: the older order gives these no weight at all.
  if (ch >= 0x1F00 && ch <= 0x1FFF && v == V::Legacy) return ignored();
  return {};
}

}  // namespace jet::storage
