// Text comparison and LIKE; see collation.h.
#include "jet/sql/collation.h"

#include <unicode/coll.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <memory>
#include <vector>

namespace jet::sql {

namespace {

icu::Collator* collator() {
  // One per thread: a Collator is not safe to share between threads.
  thread_local std::unique_ptr<icu::Collator> c = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(icu::Locale("es"), status));
    if (U_FAILURE(status) || !made) {
      status = U_ZERO_ERROR;
      made.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (made) made->setStrength(icu::Collator::SECONDARY);
    return made;
  }();
  return c.get();
}

// Printable ASCII compares equal under the collation exactly when it is equal
// ignoring case, so the frequent equality tests on codes ('Pendiente', 'S')
// need no trip through ICU.
bool plainAscii(std::string_view s) {
  for (unsigned char ch : s)
    if (ch < 0x20 || ch > 0x7E) return false;
  return true;
}

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::vector<UChar32> foldedCodePoints(std::string_view s) {
  std::vector<UChar32> out;
  out.reserve(s.size());
  icu::UnicodeString u =
      icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
  for (int32_t i = 0; i < u.length();) {
    UChar32 c = u.char32At(i);
    out.push_back(u_foldCase(c, U_FOLD_CASE_DEFAULT));
    i += U16_LENGTH(c);
  }
  return out;
}

// Tries the [...] set at pattern[p]; on success `end` is just past ']'.
bool matchSet(const std::vector<UChar32>& pat, size_t p, UChar32 c, bool& matched, size_t& end) {
  size_t q = p + 1;
  bool negate = false;
  if (q < pat.size() && (pat[q] == '!' || pat[q] == '^')) {
    negate = true;
    ++q;
  }
  bool any = false;
  bool first = true;
  for (; q < pat.size(); ++q) {
    if (pat[q] == ']' && !first) break;
    first = false;
    if (q + 2 < pat.size() && pat[q + 1] == '-' && pat[q + 2] != ']') {
      if (c >= pat[q] && c <= pat[q + 2]) any = true;
      q += 2;
    } else if (pat[q] == c) {
      any = true;
    }
  }
  if (q >= pat.size()) return false;  // no closing bracket: '[' is an ordinary character
  matched = any != negate;
  end = q + 1;
  return true;
}

}  // namespace

int compareText(std::string_view a, std::string_view b) {
  if (a == b) return 0;
  if (plainAscii(a) && plainAscii(b) && a.size() == b.size()) {
    bool same = true;
    for (size_t i = 0; i < a.size() && same; ++i) same = lowerAscii(a[i]) == lowerAscii(b[i]);
    if (same) return 0;
  }
  icu::Collator* c = collator();
  if (!c) return a < b ? -1 : 1;
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult r =
      c->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                     icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
  if (U_FAILURE(status)) return a < b ? -1 : (a == b ? 0 : 1);
  return r == UCOL_LESS ? -1 : (r == UCOL_EQUAL ? 0 : 1);
}

bool likeMatches(std::string_view textUtf8, std::string_view patternUtf8) {
  const std::vector<UChar32> text = foldedCodePoints(textUtf8);
  const std::vector<UChar32> pat = foldedCodePoints(patternUtf8);
  size_t t = 0, p = 0;
  // The last '%' seen and the text position it is currently standing for:
  // on a mismatch the '%' takes one more character and matching resumes.
  size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    bool advanced = false;
    if (p < pat.size()) {
      if (pat[p] == '%') {
        starP = p++;
        starT = t;
        continue;
      }
      if (pat[p] == '_') {
        ++p, ++t;
        advanced = true;
      } else if (pat[p] == '[') {
        bool matched = false;
        size_t end = 0;
        if (matchSet(pat, p, text[t], matched, end)) {
          if (matched) {
            p = end, ++t;
            advanced = true;
          }
        } else if (text[t] == '[') {
          ++p, ++t;
          advanced = true;
        }
      } else if (pat[p] == text[t]) {
        ++p, ++t;
        advanced = true;
      }
    }
    if (advanced) continue;
    if (starP == std::string_view::npos) return false;
    p = starP + 1;
    t = ++starT;
  }
  while (p < pat.size() && pat[p] == '%') ++p;
  return p == pat.size();
}

}  // namespace jet::sql
