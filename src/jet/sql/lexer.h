// The tokens of Access SQL, as the point of sale, the board and a person at
// `cocina-db sql` write them.
//
// The lexer never fails half-way: it turns any byte string into tokens and
// reports the first text it cannot read (an unclosed quote, bracket or date
// literal, a stray character) as an Error token at that place, which the
// parser then answers with a syntax error. A keyword right after a closing
// quote (`'Y'GROUP BY`) is a separate token, as the Access engine reads it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jet::sql {

enum class TokenKind : uint8_t {
  End,
  Error,
  Word,       // a keyword or a bare name; `text` holds it as written
  Name,       // a [bracketed] name, brackets removed
  Text,       // a quoted literal, doubled quotes folded
  Number,     // digits with an optional point and exponent
  Date,       // #...#, the text between the marks
  Parameter,  // ?
  Identity,   // @@IDENTITY
  Symbol,     // one of ( ) , . ; * + - / \ ^ & = < > <= >= <>
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;
  size_t offset = 0;  // byte position in the statement
  size_t end = 0;     // byte position just after it
};

std::vector<Token> tokenize(std::string_view sql);

}  // namespace jet::sql
