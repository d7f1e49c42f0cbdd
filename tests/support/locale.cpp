// Switching the C locale for one test and back.
#include "support/locale.h"

#include <clocale>
#include <cstring>

#include "support/fixtures.h"

namespace cocina::test {

ScopedLocale::ScopedLocale(const char* name) : name_(name) {
  // setlocale's answer is overwritten by the next call: keep a copy.
  if (const char* now = std::setlocale(LC_ALL, nullptr)) previous_ = now;
  active_ = std::setlocale(LC_ALL, name) != nullptr;
}

ScopedLocale::~ScopedLocale() {
  if (active_ && !previous_.empty()) std::setlocale(LC_ALL, previous_.c_str());
}

bool requireCommaLocale(const ScopedLocale& locale, std::source_location where) {
  if (!locale.active()) {
    skipOrFailMissing(
        "the locale " + locale.name() + " is not installed (scripts/install-deps generates it)",
        where);
    return false;
  }
  const std::lconv* conv = std::localeconv();
  if (!conv || std::strcmp(conv->decimal_point, ",") != 0) {
    skipOrFailMissing("the locale " + locale.name() + " does not write numbers with a comma",
                      where);
    return false;
  }
  return true;
}

}  // namespace cocina::test
