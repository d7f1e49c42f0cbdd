// Index key encoding: numbers, dates and General-sort-order text.
#include "jet/storage/read/index_key.h"

#include "jet/storage/read/latin1_letters.h"

#include <cstdio>
#include <cstring>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/text.h"

namespace jet::storage {

namespace {

constexpr uint8_t kAscendingValue = 0x7F;
constexpr uint8_t kAscendingNull = 0x00;
constexpr uint8_t kDescendingValue = 0x80;
constexpr uint8_t kDescendingNull = 0xFF;
constexpr uint8_t kEndText = 0x01;
constexpr uint8_t kEndExtra = 0x00;
constexpr uint8_t kNoAccent = 0x02;
constexpr uint8_t kUnprintableMark = 0x06;

// Inline codes of the letters A to Z (the same for a to z).
constexpr uint8_t kLetters[26] = {0x4a, 0x4c, 0x4d, 0x4f, 0x51, 0x53, 0x55, 0x57, 0x59,
                                  0x5b, 0x5c, 0x5e, 0x60, 0x62, 0x64, 0x66, 0x68, 0x69,
                                  0x6b, 0x6d, 0x6f, 0x71, 0x73, 0x75, 0x76, 0x78};

// Accent codes.
constexpr uint8_t kGrave = 0x0f, kAcute = 0x0e, kCircumflex = 0x12, kTilde = 0x19,
                  kDiaeresis = 0x13, kRing = 0x1a, kCedilla = 0x1c, kEth = 0x68, kStroke = 0x21;

struct CharCode {
  enum Kind { None, Inline, Unprintable } kind = None;
  uint8_t inlineCodes[2] = {0, 0};
  uint8_t inlineLength = 0;
  uint8_t accent = 0;       // 0: none
  uint8_t unprintable = 0;  // code for Unprintable
};

CharCode inl(uint8_t a, uint8_t accent = 0) {
  CharCode c;
  c.kind = CharCode::Inline;
  c.inlineCodes[0] = a;
  c.inlineLength = 1;
  c.accent = accent;
  return c;
}
CharCode inl2(uint8_t a, uint8_t b) {
  CharCode c = inl(a);
  c.inlineCodes[1] = b;
  c.inlineLength = 2;
  return c;
}
CharCode unprintable(uint8_t code) {
  CharCode c;
  c.kind = CharCode::Unprintable;
  c.unprintable = code;
  return c;
}
uint8_t letter(char l) {
  return kLetters[l - 'a'];
}

// The Western letters U+00C0 to U+00FF: base letter and accent.
CharCode latin1LetterCode(char16_t ch) {
  static constexpr uint8_t kAccentCodes[] = {0,      kGrave,     kAcute, kCircumflex,
                                             kTilde, kDiaeresis, kRing,  kCedilla};
  if (auto l = latin1Letter(ch)) {
    if (l->second) return inl2(letter(l->base), letter(l->second));
    return inl(letter(l->base), kAccentCodes[static_cast<int>(l->accent)]);
  }
  bool upper = ch < 0xE0;
  switch (upper ? ch : ch - 0x20u) {
    case 0xD0: return inl(letter('d'), kEth);
    case 0xD7: return upper ? inl2(0x33, 0x09) : inl2(0x33, 0x0a);  // multiplication / division
    case 0xD8: return inl(letter('o'), kStroke);
    case 0xDE: return inl2(letter('t'), letter('h'));
  }
  return {};
}

CharCode codeOf(char16_t ch) {
  if (ch >= 'a' && ch <= 'z') return inl(letter(static_cast<char>(ch)));
  if (ch >= 'A' && ch <= 'Z') return inl(letter(static_cast<char>(ch - 'A' + 'a')));
  if (ch >= '0' && ch <= '9') return inl(static_cast<uint8_t>(0x36 + 2 * (ch - '0')));
  if (ch >= 1 && ch <= 8) return unprintable(static_cast<uint8_t>(0x03 + (ch - 1)));
  if (ch >= 9 && ch <= 13) return inl2(0x08, static_cast<uint8_t>(0x03 + (ch - 9)));
  if (ch >= 14 && ch <= 31) return unprintable(static_cast<uint8_t>(0x0b + (ch - 14)));
  if (ch >= 0xC0 && ch <= 0xFF) return latin1LetterCode(ch);
  switch (ch) {
    case ' ': return inl(0x07);
    case '!': return inl(0x09);
    case '"': return inl(0x0a);
    case '#': return inl(0x0c);
    case '$': return inl(0x0e);
    case '%': return inl(0x10);
    case '&': return inl(0x12);
    case '\'': return unprintable(0x80);
    case '(': return inl(0x14);
    case ')': return inl(0x16);
    case '*': return inl(0x18);
    case '+': return inl(0x2c);
    case ',': return inl(0x1a);
    case '-': return unprintable(0x82);
    case '.': return inl(0x1c);
    case '/': return inl(0x1e);
    case ':': return inl(0x20);
    case ';': return inl(0x22);
    case '<': return inl(0x2e);
    case '=': return inl(0x30);
    case '>': return inl(0x32);
    case '?': return inl(0x24);
    case '@': return inl(0x26);
    case '[': return inl(0x27);
    case '\\': return inl(0x29);
    case ']': return inl(0x2a);
    case '^': return inl2(0x2b, 0x02);
    case '_': return inl2(0x2b, 0x03);
    case '`': return inl2(0x2b, 0x07);
    case '{': return inl2(0x2b, 0x09);
    case '|': return inl2(0x2b, 0x0b);
    case '}': return inl2(0x2b, 0x0d);
    case '~': return inl2(0x2b, 0x0f);
    case 0x7F: return inl2(0x08, 0x02);
  }
  return {};
}

void appendBigEndian(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint64_t orderedDouble(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return (bits & 0x8000000000000000ull) ? ~bits : bits ^ 0x8000000000000000ull;
}

uint32_t orderedFloat(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return (bits & 0x80000000u) ? ~bits : bits ^ 0x80000000u;
}

}  // namespace

Result<std::vector<uint8_t>> generalTextKey(std::string_view utf8) {
  std::u16string text = toUtf16(utf8);
  // Access keys at most 255 characters of a text.
  if (text.size() > 255) text.resize(255);
  std::vector<uint8_t> out;
  std::vector<uint8_t> accents;  // one per inline character so far, untrimmed
  size_t accentChars = 0;        // characters the accents list covers
  std::vector<uint8_t> unprintables;
  size_t position = 0;  // characters with inline codes so far
  for (char16_t ch : text) {
    CharCode c = codeOf(ch);
    if (c.kind == CharCode::None) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(ch));
      return Error{errc::kNotSupported, std::string("El motor no sabe ordenar el carácter U+") +
                                            buf +
                                            " en un índice de texto; no se ha modificado nada."};
    }
    if (c.kind == CharCode::Inline) {
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
    // Unprintable: its place counts the accent codes not yet written too.
    size_t offset = accents.empty() ? position : accents.size() + (position - accentChars);
    uint16_t mark = static_cast<uint16_t>((7 + 4 * offset) | 0x8000);
    unprintables.push_back(static_cast<uint8_t>(mark >> 8));
    unprintables.push_back(static_cast<uint8_t>(mark));
    unprintables.push_back(kUnprintableMark);
    unprintables.push_back(c.unprintable);
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

Result<TextKeyOrder> textKeyOrderFor(FileFormat format, uint16_t sortOrder, uint8_t sortVersion) {
  if (sortOrder == format::kGeneralSortOrder) {
    if (format == FileFormat::Jet3) return TextKeyOrder::General97;
    if (sortVersion == 0) return TextKeyOrder::General;
  }
  char buf[48];
  std::snprintf(buf, sizeof buf, "%u (versión %u)", unsigned{sortOrder}, unsigned{sortVersion});
  return Error{errc::kNotSupported,
               std::string("El motor no calcula las claves del orden de texto ") + buf +
                   "; no se ha modificado nada."};
}

Status appendIndexKeyPart(std::vector<uint8_t>& key, ColumnType type, const Value& value,
                          bool ascending, TextKeyOrder order) {
  if (value.isNull()) {
    key.push_back(ascending ? kAscendingNull : kDescendingNull);
    return Status::ok();
  }
  key.push_back(ascending ? kAscendingValue : kDescendingValue);
  size_t start = key.size();
  switch (type) {
    case ColumnType::Byte: key.push_back(value.asByte()); break;
    case ColumnType::Integer:
      appendBigEndian(key, static_cast<uint16_t>(value.asInteger()) ^ 0x8000u, 2);
      break;
    case ColumnType::Long:
      appendBigEndian(key, static_cast<uint32_t>(value.asLong()) ^ 0x80000000u, 4);
      break;
    case ColumnType::BigInt:
      appendBigEndian(key, static_cast<uint64_t>(value.asBigInt()) ^ 0x8000000000000000ull, 8);
      break;
    case ColumnType::Currency:
      appendBigEndian(key, static_cast<uint64_t>(value.asCurrency().scaled) ^ 0x8000000000000000ull,
                      8);
      break;
    case ColumnType::Double: appendBigEndian(key, orderedDouble(value.asDouble()), 8); break;
    case ColumnType::DateTime:
      appendBigEndian(key, orderedDouble(value.asDateTime().days), 8);
      break;
    case ColumnType::Single: appendBigEndian(key, orderedFloat(value.asSingle()), 4); break;
    case ColumnType::Text:
    case ColumnType::Memo: {
      if (order == TextKeyOrder::General97) {
        // Self-ending: the whole part is inverted for a descending column.
        auto t = general97TextKey(value.asText());
        if (!t) return t.status();
        key.insert(key.end(), t->begin(), t->end());
        if (!ascending) {
          for (size_t i = start; i < key.size(); ++i) key[i] = static_cast<uint8_t>(~key[i]);
        }
        return Status::ok();
      }
      auto t = generalTextKey(value.asText());
      if (!t) return t.status();
      key.insert(key.end(), t->begin(), t->end());
      if (!ascending) key.push_back(kEndExtra);
      break;
    }
    default:
      return Error{errc::kNotSupported,
                   "El motor todavía no mantiene índices sobre campos de este tipo; no se ha "
                   "modificado nada."};
  }
  if (!ascending) {
    for (size_t i = start; i < key.size(); ++i) key[i] = static_cast<uint8_t>(~key[i]);
  }
  if (type == ColumnType::Text || type == ColumnType::Memo) key.push_back(kEndExtra);
  return Status::ok();
}

}  // namespace jet::storage
