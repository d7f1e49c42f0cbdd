// The parser's state and its token helpers, shared by the files that read
// statements (parser.cpp), table definitions (parse_create_table.cpp) and
// expressions (parse_expression.cpp). Internal to the SQL layer: callers use
// parse() in parser.h.
//
// A Parser reads one statement's tokens once, front to back; `pos_` is the
// next token, `clause_` names the clause being read for the syntax error,
// and `depth_` bounds the nesting of expressions and subqueries.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "jet/sql/ast.h"
#include "jet/sql/errors.h"
#include "jet/sql/lexer.h"
#include "jet/status.h"

namespace jet::sql::parsing {

inline constexpr int kMaxDepth = 200;

// Keywords are ASCII: compared without a trip through Unicode case folding.
inline bool keywordIs(std::string_view w, std::string_view keyword) {
  if (w.size() != keyword.size()) return false;
  for (size_t i = 0; i < w.size(); ++i) {
    char c = w[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != keyword[i]) return false;
  }
  return true;
}

// Words that end an expression or a name list; never taken as a table alias.
inline bool isReserved(std::string_view w) {
  static const char* const kWords[] = {
      "SELECT", "FROM", "WHERE", "GROUP",   "HAVING", "ORDER",   "UNION",    "AND",
      "OR",     "NOT",  "XOR",   "LIKE",    "IN",     "BETWEEN", "IS",       "NULL",
      "AS",     "ASC",  "DESC",  "BY",      "MOD",    "TOP",     "DISTINCT", "INTO",
      "VALUES", "SET",  "ON",    "ALL",     "INSERT", "UPDATE",  "DELETE",   "CREATE",
      "TABLE",  "TRUE", "FALSE", "PERCENT", "JOIN",   "INNER"};
  for (const char* k : kWords)
    if (keywordIs(w, k)) return true;
  return false;
}

inline bool isAggregateName(std::string_view n) {
  for (const char* a : {"MIN", "MAX", "SUM", "COUNT", "AVG", "FIRST", "LAST"})
    if (keywordIs(n, a)) return true;
  return false;
}

class Parser {
 public:
  Parser(std::string_view sql, int textBytesPerChar)
      : sql_(sql), tokens_(tokenize(sql)), textBytesPerChar_(textBytesPerChar) {}

  // The whole statement, optionally ended by ';'.
  Result<Statement> run();

 private:
  // --- token helpers ---
  const Token& peek(size_t ahead = 0) const {
    size_t i = pos_ + ahead;
    return i < tokens_.size() ? tokens_[i] : tokens_.back();
  }
  bool isWord(std::string_view w, size_t ahead = 0) const {
    return peek(ahead).kind == TokenKind::Word && keywordIs(peek(ahead).text, w);
  }
  bool isSymbol(std::string_view s, size_t ahead = 0) const {
    return peek(ahead).kind == TokenKind::Symbol && peek(ahead).text == s;
  }
  bool acceptWord(std::string_view w) {
    if (!isWord(w)) return false;
    ++pos_;
    return true;
  }
  bool acceptSymbol(std::string_view s) {
    if (!isSymbol(s)) return false;
    ++pos_;
    return true;
  }
  Error fail() const { return errors::syntax(clause_); }
  Status expectWord(std::string_view w) {
    if (!acceptWord(w)) return fail();
    return Status::ok();
  }
  Status expectSymbol(std::string_view s) {
    if (!acceptSymbol(s)) return fail();
    return Status::ok();
  }
  // A table or column name: a bare word or a [bracketed] name.
  Result<std::string> name() {
    const Token& t = peek();
    if (t.kind == TokenKind::Name || (t.kind == TokenKind::Word && !isReserved(t.text))) {
      ++pos_;
      return t.text;
    }
    return fail();
  }
  std::string textBetween(size_t firstToken, size_t endToken) const {
    if (endToken <= firstToken || firstToken >= tokens_.size()) return "";
    size_t a = tokens_[firstToken].offset;
    size_t b = tokens_[std::min(endToken, tokens_.size()) - 1].end;
    return std::string(sql_.substr(a, b > a ? b - a : 0));
  }

  // --- statements ---
  Status parseQuery(Query& q);
  Status parseSelect(Select& s);
  Status parseInsert(Insert& ins);
  Status parseUpdate(Update& up);
  Status parseDelete(Delete& del);

  // --- table definitions (parse_create_table.cpp, parse_ddl.cpp) ---
  // A constraint's index: PRIMARY KEY or UNIQUE, then its columns when
  // `withColumns` (a table's constraint), else the column it follows.
  struct Constraint {
    std::string name;  // empty when the statement gives none
    bool primary = false;
    std::vector<std::string> columns;
  };
  Status parseCreate(CreateTable& ct);
  Status parseConstraint(Constraint& c, bool withColumns);
  Status parseColumnDef(ColumnDef& col, std::vector<Constraint>& constraints);
  Status parseColumnType(ColumnDef& col);
  // (col [ASC|DESC], ...): the names, and their directions in `index`.
  Status parseIndexColumns(std::vector<std::string>& names, IndexDef& index);
  Status parseCreateIndex(CreateIndex& ci);
  Status parseDrop(Statement& st);
  Status parseAlter(Statement& st);

  // --- expressions ---
  Result<ExprPtr> expression();
  ExprPtr binary(std::string op, ExprPtr a, ExprPtr b, size_t first);
  // The first of `operators` (symbols or keywords) that comes next, taken;
  // null when none does.
  const char* acceptOperator(std::initializer_list<const char*> operators);
  // Each level: parse the tighter level `next`, then fold the `operators`
  // of this level, left to right.
  Result<ExprPtr> leftAssoc(Result<ExprPtr> (Parser::*next)(),
                            std::initializer_list<const char*> operators);
  Result<ExprPtr> parseXor();
  Result<ExprPtr> parseOr();
  Result<ExprPtr> parseAnd();
  Result<ExprPtr> parseNot();
  Result<ExprPtr> parseComparison();
  Result<ExprPtr> parseConcat();
  Result<ExprPtr> parseAdditive();
  Result<ExprPtr> parseMod();
  Result<ExprPtr> parseIntDiv();
  Result<ExprPtr> parseMultiplicative();
  Result<ExprPtr> parseUnary();
  Result<ExprPtr> parsePower();
  Result<ExprPtr> parsePrimary();
  // table.column or alias.column: the first name becomes the qualifier.
  Status qualified(Expr& e);

  std::string_view sql_;
  std::vector<Token> tokens_;
  int textBytesPerChar_;
  size_t pos_ = 0;
  int params_ = 0;
  int depth_ = 0;
  std::string clause_;
};

}  // namespace jet::sql::parsing
