// Splits a statement into tokens; see lexer.h for what it guarantees.
#include "jet/sql/lexer.h"

#include "jet/text.h"

namespace jet::sql {

namespace {

bool isWordStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool isWordChar(unsigned char c) {
  return isWordStart(c) || (c >= '0' && c <= '9');
}
bool isDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
bool isBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
  std::vector<Token> out;
  size_t i = 0, n = sql.size();
  auto push = [&](TokenKind k, std::string text, size_t at) {
    out.push_back(Token{k, std::move(text), at});
  };
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(sql[i]);
    if (isBlank(c)) {
      ++i;
      continue;
    }
    size_t start = i;
    if (isWordStart(c)) {
      while (i < n && isWordChar(static_cast<unsigned char>(sql[i]))) ++i;
      push(TokenKind::Word, std::string(sql.substr(start, i - start)), start);
    } else if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(sql[i + 1]))) {
      while (i < n && isDigit(sql[i])) ++i;
      if (i < n && sql[i] == '.') {
        ++i;
        while (i < n && isDigit(sql[i])) ++i;
      }
      if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
        size_t e = i + 1;
        if (e < n && (sql[e] == '+' || sql[e] == '-')) ++e;
        if (e < n && isDigit(sql[e])) {
          i = e;
          while (i < n && isDigit(sql[i])) ++i;
        }
      }
      push(TokenKind::Number, std::string(sql.substr(start, i - start)), start);
    } else if (c == '\'' || c == '"') {
      std::string text;
      ++i;
      bool closed = false;
      while (i < n) {
        if (sql[i] == static_cast<char>(c)) {
          if (i + 1 < n && sql[i + 1] == static_cast<char>(c)) {
            text += static_cast<char>(c);
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        text += sql[i++];
      }
      if (!closed) {
        push(TokenKind::Error, "", start);
        break;
      }
      push(TokenKind::Text, std::move(text), start);
    } else if (c == '[') {
      size_t close = sql.find(']', i + 1);
      if (close == std::string_view::npos) {
        push(TokenKind::Error, "", start);
        break;
      }
      push(TokenKind::Name, std::string(sql.substr(i + 1, close - i - 1)), start);
      i = close + 1;
    } else if (c == '#') {
      size_t close = sql.find('#', i + 1);
      if (close == std::string_view::npos) {
        push(TokenKind::Error, "", start);
        break;
      }
      push(TokenKind::Date, std::string(sql.substr(i + 1, close - i - 1)), start);
      i = close + 1;
    } else if (c == '?') {
      push(TokenKind::Parameter, "?", start);
      ++i;
    } else if (c == '@' && i + 1 < n && sql[i + 1] == '@') {
      i += 2;
      size_t w = i;
      while (i < n && isWordChar(static_cast<unsigned char>(sql[i]))) ++i;
      if (!equalsIgnoreCase(sql.substr(w, i - w), "IDENTITY")) {
        push(TokenKind::Error, "", start);
        break;
      }
      push(TokenKind::Identity, "@@IDENTITY", start);
    } else if (c == '<' && i + 1 < n && (sql[i + 1] == '=' || sql[i + 1] == '>')) {
      push(TokenKind::Symbol, std::string(sql.substr(i, 2)), start);
      i += 2;
    } else if (c == '>' && i + 1 < n && sql[i + 1] == '=') {
      push(TokenKind::Symbol, ">=", start);
      i += 2;
    } else if (std::string_view("(),.;*+-/\\^&=<>").find(static_cast<char>(c)) !=
               std::string_view::npos) {
      push(TokenKind::Symbol, std::string(1, static_cast<char>(c)), start);
      ++i;
    } else {
      push(TokenKind::Error, std::string(1, static_cast<char>(c)), start);
      break;
    }
    out.back().end = i;
  }
  if (!out.empty() && out.back().kind == TokenKind::Error) out.back().end = n;
  out.push_back(Token{TokenKind::End, "", n});
  return out;
}

}  // namespace jet::sql
