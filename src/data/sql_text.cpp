// The quote rule of statement literals; see sql_text.h.
#include "data/sql_text.h"

namespace data {

std::string quotesDoubled(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace data
