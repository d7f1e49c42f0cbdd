// Running a test under another C locale than the one the program started
// with. The windowing toolkit sets the process's locale from the
// environment (setlocale(LC_ALL, "")), so a kitchen machine set up in
// Spanish runs the whole program under es_ES.UTF-8, whose decimal separator
// is the comma; the tests that prove numbers mean the same there set that
// locale themselves and put the old one back when they end.
#pragma once

#include <source_location>
#include <string>

namespace cocina::test {

// The locale of a Spanish kitchen machine; scripts/install-deps generates it.
inline constexpr const char* kSpanishLocale = "es_ES.UTF-8";

// Sets LC_ALL to `name` for the object's lifetime, then restores every
// category as it was. When the locale is not installed nothing changes and
// active() is false.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name);
  ~ScopedLocale();
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  bool active() const { return active_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::string previous_;
  bool active_ = false;
};

// True when `locale` is active and writes numbers with a comma (so a test
// under it can tell a locale-bound conversion from a fixed one). When not,
// skipOrFailMissing() says which locale is missing and how to get it:
// `ScopedLocale es(kSpanishLocale); if (!requireCommaLocale(es)) return;`.
bool requireCommaLocale(const ScopedLocale& locale,
                        std::source_location where = std::source_location::current());

}  // namespace cocina::test
