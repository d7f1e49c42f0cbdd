#include "jet/text.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

namespace jet {

std::u16string toUtf16(std::string_view utf8) {
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  return std::u16string(reinterpret_cast<const char16_t*>(u.getBuffer()),
                        static_cast<size_t>(u.length()));
}

std::string toUtf8(std::u16string_view utf16) {
  icu::UnicodeString u(reinterpret_cast<const UChar*>(utf16.data()),
                       static_cast<int32_t>(utf16.size()));
  std::string out;
  u.toUTF8String(out);
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() == b.size()) {
    bool same = true;
    for (size_t i = 0; i < a.size() && same; ++i) same = a[i] == b[i];
    if (same) return true;
  }
  icu::UnicodeString ua =
      icu::UnicodeString::fromUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())));
  icu::UnicodeString ub =
      icu::UnicodeString::fromUTF8(icu::StringPiece(b.data(), static_cast<int32_t>(b.size())));
  return ua.caseCompare(ub, U_FOLD_CASE_DEFAULT) == 0;
}

size_t utf16Length(std::string_view utf8) {
  return static_cast<size_t>(
      icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())))
          .length());
}

}  // namespace jet
