// Access SQL text to a Statement tree.
//
// The parser accepts exactly one statement, optionally ended by ';'. Any
// text it can't read answers a syntax error (errc::kSyntax) naming the
// clause it was reading, as the Access provider does; it never throws and
// its depth of nesting is bounded, so hostile text can't exhaust the stack.
#pragma once

#include <string_view>

#include "jet/sql/ast.h"
#include "jet/status.h"

namespace jet::sql {

// `textBytesPerChar` sizes CREATE TABLE's TEXT(n) columns: 2 for Jet 4 and
// later files, 1 for Jet 3 ones.
Result<Statement> parse(std::string_view sql, int textBytesPerChar = 2);

}  // namespace jet::sql
