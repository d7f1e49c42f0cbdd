// Values written into a statement text between single quotes: every "'"
// doubled, so the value can neither end the literal early nor change what
// the statement does. The connection's ValidarSql and the order statements
// share this one rule.
#pragma once

#include <string>
#include <string_view>

namespace data {

std::string quotesDoubled(std::string_view text);

}  // namespace data
