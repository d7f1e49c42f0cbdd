// The accented Latin letters of U+00C0 to U+017F (Western and Central
// European) as the General sort orders see them: a base letter (two for
// Æ, ß, Œ and Ĳ) and an accent, the same for both cases.
//
// Every generation of Access keys such a letter from these parts, each with
// codes of its own: the base letter sorts with its plain form and the
// accent only breaks ties. The few characters each order places in its own
// way (× ÷ Ð Ø Þ, Ŋ Ŧ ſ and their small forms) are left to the order.
#pragma once

#include <cstdint>
#include <optional>

namespace jet::storage {

enum class Accent : uint8_t {
  None,
  Grave,
  Acute,
  Circumflex,
  Tilde,
  Diaeresis,
  Ring,
  Cedilla,
  Caron,
  Macron,
  Breve,
  Ogonek,
  DotAbove,
  DoubleAcute,
  Stroke,      // Đ Ħ (and Ŧ, whose base is its own)
  BarredL,     // Ł
  MiddleDot,   // Ŀ
  Variant,     // ı ĸ: a letter's other form
  Apostrophe,  // ŉ
};

struct LatinLetter {
  char base = 0;    // 'a' to 'z'
  char second = 0;  // the second letter of Æ ß Œ Ĳ, else 0
  Accent accent = Accent::None;
};

namespace detail {

using A = Accent;
// The tables are laid out four code points a line.
// clang-format off
// U+00C0 to U+00DF; the small letters U+00E0 to U+00FF sit 0x20 above.
inline constexpr LatinLetter kLatin1Row[32] = {
    {'a', 0, A::Grave}, {'a', 0, A::Acute}, {'a', 0, A::Circumflex}, {'a', 0, A::Tilde},
    {'a', 0, A::Diaeresis}, {'a', 0, A::Ring}, {'a', 'e', A::None}, {'c', 0, A::Cedilla},
    {'e', 0, A::Grave}, {'e', 0, A::Acute}, {'e', 0, A::Circumflex}, {'e', 0, A::Diaeresis},
    {'i', 0, A::Grave}, {'i', 0, A::Acute}, {'i', 0, A::Circumflex}, {'i', 0, A::Diaeresis},
    {}, {'n', 0, A::Tilde}, {'o', 0, A::Grave}, {'o', 0, A::Acute},
    {'o', 0, A::Circumflex}, {'o', 0, A::Tilde}, {'o', 0, A::Diaeresis}, {},
    {}, {'u', 0, A::Grave}, {'u', 0, A::Acute}, {'u', 0, A::Circumflex},
    {'u', 0, A::Diaeresis}, {'y', 0, A::Acute}, {}, {},
};

// U+0100 to U+017F, one entry per code point: capitals and small letters
// alternate, except where a letter has one form only (İ ı ĸ ŉ Ÿ ſ).
inline constexpr LatinLetter kExtendedA[128] = {
    {'a', 0, A::Macron}, {'a', 0, A::Macron}, {'a', 0, A::Breve}, {'a', 0, A::Breve},
    {'a', 0, A::Ogonek}, {'a', 0, A::Ogonek}, {'c', 0, A::Acute}, {'c', 0, A::Acute},
    {'c', 0, A::Circumflex}, {'c', 0, A::Circumflex}, {'c', 0, A::DotAbove}, {'c', 0, A::DotAbove},
    {'c', 0, A::Caron}, {'c', 0, A::Caron}, {'d', 0, A::Caron}, {'d', 0, A::Caron},
    {'d', 0, A::Stroke}, {'d', 0, A::Stroke}, {'e', 0, A::Macron}, {'e', 0, A::Macron},
    {'e', 0, A::Breve}, {'e', 0, A::Breve}, {'e', 0, A::DotAbove}, {'e', 0, A::DotAbove},
    {'e', 0, A::Ogonek}, {'e', 0, A::Ogonek}, {'e', 0, A::Caron}, {'e', 0, A::Caron},
    {'g', 0, A::Circumflex}, {'g', 0, A::Circumflex}, {'g', 0, A::Breve}, {'g', 0, A::Breve},
    {'g', 0, A::DotAbove}, {'g', 0, A::DotAbove}, {'g', 0, A::Cedilla}, {'g', 0, A::Cedilla},
    {'h', 0, A::Circumflex}, {'h', 0, A::Circumflex}, {'h', 0, A::Stroke}, {'h', 0, A::Stroke},
    {'i', 0, A::Tilde}, {'i', 0, A::Tilde}, {'i', 0, A::Macron}, {'i', 0, A::Macron},
    {'i', 0, A::Breve}, {'i', 0, A::Breve}, {'i', 0, A::Ogonek}, {'i', 0, A::Ogonek},
    {'i', 0, A::DotAbove}, {'i', 0, A::Variant}, {'i', 'j', A::None}, {'i', 'j', A::None},
    {'j', 0, A::Circumflex}, {'j', 0, A::Circumflex}, {'k', 0, A::Cedilla}, {'k', 0, A::Cedilla},
    {'k', 0, A::Variant}, {'l', 0, A::Acute}, {'l', 0, A::Acute}, {'l', 0, A::Cedilla},
    {'l', 0, A::Cedilla}, {'l', 0, A::Caron}, {'l', 0, A::Caron}, {'l', 0, A::MiddleDot},
    {'l', 0, A::MiddleDot}, {'l', 0, A::BarredL}, {'l', 0, A::BarredL}, {'n', 0, A::Acute},
    {'n', 0, A::Acute}, {'n', 0, A::Cedilla}, {'n', 0, A::Cedilla}, {'n', 0, A::Caron},
    {'n', 0, A::Caron}, {'n', 0, A::Apostrophe}, {}, {},
    {'o', 0, A::Macron}, {'o', 0, A::Macron}, {'o', 0, A::Breve}, {'o', 0, A::Breve},
    {'o', 0, A::DoubleAcute}, {'o', 0, A::DoubleAcute}, {'o', 'e', A::None}, {'o', 'e', A::None},
    {'r', 0, A::Acute}, {'r', 0, A::Acute}, {'r', 0, A::Cedilla}, {'r', 0, A::Cedilla},
    {'r', 0, A::Caron}, {'r', 0, A::Caron}, {'s', 0, A::Acute}, {'s', 0, A::Acute},
    {'s', 0, A::Circumflex}, {'s', 0, A::Circumflex}, {'s', 0, A::Cedilla}, {'s', 0, A::Cedilla},
    {'s', 0, A::Caron}, {'s', 0, A::Caron}, {'t', 0, A::Cedilla}, {'t', 0, A::Cedilla},
    {'t', 0, A::Caron}, {'t', 0, A::Caron}, {}, {},
    {'u', 0, A::Tilde}, {'u', 0, A::Tilde}, {'u', 0, A::Macron}, {'u', 0, A::Macron},
    {'u', 0, A::Breve}, {'u', 0, A::Breve}, {'u', 0, A::Ring}, {'u', 0, A::Ring},
    {'u', 0, A::DoubleAcute}, {'u', 0, A::DoubleAcute}, {'u', 0, A::Ogonek}, {'u', 0, A::Ogonek},
    {'w', 0, A::Circumflex}, {'w', 0, A::Circumflex}, {'y', 0, A::Circumflex}, {'y', 0, A::Circumflex},
    {'y', 0, A::Diaeresis}, {'z', 0, A::Acute}, {'z', 0, A::Acute}, {'z', 0, A::DotAbove},
    {'z', 0, A::DotAbove}, {'z', 0, A::Caron}, {'z', 0, A::Caron}, {},
};
// clang-format on

}  // namespace detail

// Nullopt outside U+00C0 to U+017F and for × ÷ Ð ð Ø ø Þ þ Ŋ ŋ Ŧ ŧ ſ.
inline std::optional<LatinLetter> latinLetter(char16_t ch) {
  if (ch < 0xC0 || ch > 0x17F) return std::nullopt;
  if (ch == 0xDF) return LatinLetter{'s', 's', Accent::None};
  if (ch == 0xFF) return LatinLetter{'y', 0, Accent::Diaeresis};
  const LatinLetter& l =
      ch >= 0x100 ? detail::kExtendedA[ch - 0x100] : detail::kLatin1Row[(ch & ~0x20u) - 0xC0];
  if (l.base == 0) return std::nullopt;
  return l;
}

}  // namespace jet::storage
