// libFuzzer target: any byte string through the SQL lexer and parser. The
// parser must answer every input with a statement or an error that carries a
// number and a description: no crash, no hang, no unbounded recursion, no
// read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "jet/sql/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view sql(reinterpret_cast<const char*>(data), size);
  auto parsed = jet::sql::parse(sql);
  if (!parsed) {
    // Every failure carries a number and a description for the staff.
    if (parsed.error().number == 0 || parsed.error().description.empty()) __builtin_trap();
  }
  return 0;
}
