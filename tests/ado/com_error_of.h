// The ADO tests' way to check an error number in one line: run the call,
// answer the number of the ado::ComError it raised (0 when none).
#pragma once

#include <cstdint>
#include <functional>

#include "ado/error.h"

namespace adotest {

inline int32_t errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ado::ComError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace adotest
