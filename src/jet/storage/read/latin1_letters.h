// The letters of U+00C0 to U+00FF as the General sort orders see them: a
// base letter (two for Æ and ß) and an accent, the same for both cases.
// Both the Access 97 order and the later one key a letter from these parts,
// each with codes of its own; the few characters each order places in its
// own way (× ÷ Ð Ø Þ and their small forms) are left to the order.
#pragma once

#include <cstdint>
#include <optional>

namespace jet::storage {

enum class Accent : uint8_t { None, Grave, Acute, Circumflex, Tilde, Diaeresis, Ring, Cedilla };

struct Latin1Letter {
  char base = 0;    // 'a' to 'z'
  char second = 0;  // the second letter of Æ and ß, else 0
  Accent accent = Accent::None;
};

// Nullopt outside U+00C0 to U+00FF and for × ÷ Ð ð Ø ø Þ þ.
inline std::optional<Latin1Letter> latin1Letter(char16_t ch) {
  if (ch < 0xC0 || ch > 0xFF) return std::nullopt;
  if (ch == 0xDF) return Latin1Letter{'s', 's', Accent::None};
  if (ch == 0xFF) return Latin1Letter{'y', 0, Accent::Diaeresis};
  using A = Accent;
  // The upper-case row; the small letters sit 0x20 above it.
  static constexpr Latin1Letter kRow[32] = {{'a', 0, A::Grave},
                                            {'a', 0, A::Acute},
                                            {'a', 0, A::Circumflex},
                                            {'a', 0, A::Tilde},
                                            {'a', 0, A::Diaeresis},
                                            {'a', 0, A::Ring},
                                            {'a', 'e', A::None},
                                            {'c', 0, A::Cedilla},
                                            {'e', 0, A::Grave},
                                            {'e', 0, A::Acute},
                                            {'e', 0, A::Circumflex},
                                            {'e', 0, A::Diaeresis},
                                            {'i', 0, A::Grave},
                                            {'i', 0, A::Acute},
                                            {'i', 0, A::Circumflex},
                                            {'i', 0, A::Diaeresis},
                                            {},
                                            {'n', 0, A::Tilde},
                                            {'o', 0, A::Grave},
                                            {'o', 0, A::Acute},
                                            {'o', 0, A::Circumflex},
                                            {'o', 0, A::Tilde},
                                            {'o', 0, A::Diaeresis},
                                            {},
                                            {},
                                            {'u', 0, A::Grave},
                                            {'u', 0, A::Acute},
                                            {'u', 0, A::Circumflex},
                                            {'u', 0, A::Diaeresis},
                                            {'y', 0, A::Acute},
                                            {},
                                            {}};
  const Latin1Letter& l = kRow[(ch < 0xE0 ? ch : ch - 0x20u) - 0xC0];
  if (l.base == 0) return std::nullopt;
  return l;
}

}  // namespace jet::storage
