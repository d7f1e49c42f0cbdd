// Recursive descent over the tokens of lexer.h; see parser.h.
//
// Operator precedence, loosest first, as in the Access engine:
//   XOR, OR, AND, NOT, comparisons (= <> < > <= >= LIKE IS BETWEEN IN), &,
//   + -, MOD, \, * /, unary - +, ^.
#include "jet/sql/parser.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "jet/convert.h"
#include "jet/sql/dates.h"
#include "jet/sql/errors.h"
#include "jet/sql/lexer.h"
#include "jet/text.h"

namespace jet::sql {

namespace {

constexpr int kMaxDepth = 200;

// Keywords are ASCII: compared without a trip through Unicode case folding.
bool keywordIs(std::string_view w, std::string_view keyword) {
  if (w.size() != keyword.size()) return false;
  for (size_t i = 0; i < w.size(); ++i) {
    char c = w[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != keyword[i]) return false;
  }
  return true;
}

// Words that end an expression or a name list; never taken as a table alias.
bool isReserved(std::string_view w) {
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

bool isAggregateName(std::string_view n) {
  for (const char* a : {"MIN", "MAX", "SUM", "COUNT", "AVG", "FIRST", "LAST"})
    if (keywordIs(n, a)) return true;
  return false;
}

class Parser {
 public:
  Parser(std::string_view sql, int textBytesPerChar)
      : sql_(sql), tokens_(tokenize(sql)), textBytesPerChar_(textBytesPerChar) {}

  Result<Statement> run() {
    Statement st;
    if (isWord("SELECT")) {
      clause_ = "";
      JET_TRY(parseQuery(st.query));
      st.kind = StatementKind::Query;
    } else if (isWord("INSERT")) {
      clause_ = "INSERT INTO";
      JET_TRY(parseInsert(st.insert));
      st.kind = StatementKind::Insert;
    } else if (isWord("UPDATE")) {
      clause_ = "UPDATE";
      JET_TRY(parseUpdate(st.update));
      st.kind = StatementKind::Update;
    } else if (isWord("DELETE")) {
      clause_ = "DELETE";
      JET_TRY(parseDelete(st.del));
      st.kind = StatementKind::Delete;
    } else if (isWord("CREATE")) {
      clause_ = "CREATE TABLE";
      JET_TRY(parseCreate(st.create));
      st.kind = StatementKind::CreateTable;
    } else {
      return errors::invalidStatement();
    }
    if (isSymbol(";")) ++pos_;
    if (peek().kind != TokenKind::End) return fail();
    st.parameterCount = params_;
    return st;
  }

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
  Status parseQuery(Query& q) {
    Select first;
    JET_TRY(parseSelect(first));
    q.branches.push_back(std::move(first));
    while (acceptWord("UNION")) {
      clause_ = "";
      bool all = acceptWord("ALL");
      if (!isWord("SELECT")) return fail();
      Select next;
      JET_TRY(parseSelect(next));
      q.branches.push_back(std::move(next));
      q.unionAll.push_back(all);
    }
    if (acceptWord("ORDER")) {
      clause_ = "ORDER BY";
      JET_TRY(expectWord("BY"));
      do {
        OrderItem item;
        auto e = expression();
        if (!e) return e.status();
        item.expr = std::move(e.value());
        if (acceptWord("DESC"))
          item.descending = true;
        else
          acceptWord("ASC");
        q.orderBy.push_back(std::move(item));
      } while (acceptSymbol(","));
    }
    return Status::ok();
  }

  Status parseSelect(Select& s) {
    JET_TRY(expectWord("SELECT"));
    clause_ = "";
    if (acceptWord("DISTINCT"))
      s.distinct = true;
    else if (acceptWord("DISTINCTROW") || acceptWord("ALL")) {
    }
    if (acceptWord("TOP")) {
      if (peek().kind != TokenKind::Number) return fail();
      auto n = parseNumber(peek().text);
      if (!n || *n < 0) return fail();
      ++pos_;
      s.top = *n;
      if (acceptWord("PERCENT"))
        s.topPercent = true;
      else if (*n != std::floor(*n))
        return fail();
    }
    do {
      SelectItem item;
      if (acceptSymbol("*")) {
        s.items.push_back(std::move(item));
        continue;
      }
      auto e = expression();
      if (!e) return e.status();
      item.expr = std::move(e.value());
      if (acceptWord("AS")) {
        auto n = name();
        if (!n) return n.status();
        item.alias = n.value();
      }
      s.items.push_back(std::move(item));
    } while (acceptSymbol(","));
    if (acceptWord("FROM")) {
      clause_ = "FROM";
      auto t = name();
      if (!t) return t.status();
      s.table = t.value();
      if (acceptWord("AS")) {
        auto a = name();
        if (!a) return a.status();
        s.alias = a.value();
      } else if (peek().kind == TokenKind::Name ||
                 (peek().kind == TokenKind::Word && !isReserved(peek().text) && !isWord("LEFT") &&
                  !isWord("RIGHT"))) {
        s.alias = peek().text;
        ++pos_;
      }
      if (isSymbol(",") || isWord("JOIN") || isWord("INNER") || isWord("LEFT") || isWord("RIGHT"))
        return errors::notSupported("consultas sobre varias tablas");
    }
    if (acceptWord("WHERE")) {
      clause_ = "WHERE";
      auto e = expression();
      if (!e) return e.status();
      s.where = std::move(e.value());
    }
    if (acceptWord("GROUP")) {
      clause_ = "GROUP BY";
      JET_TRY(expectWord("BY"));
      do {
        auto e = expression();
        if (!e) return e.status();
        s.groupBy.push_back(std::move(e.value()));
      } while (acceptSymbol(","));
    }
    if (acceptWord("HAVING")) {
      clause_ = "HAVING";
      auto e = expression();
      if (!e) return e.status();
      s.having = std::move(e.value());
    }
    clause_ = "";
    return Status::ok();
  }

  Status parseInsert(Insert& ins) {
    JET_TRY(expectWord("INSERT"));
    JET_TRY(expectWord("INTO"));
    auto t = name();
    if (!t) return t.status();
    ins.table = t.value();
    if (acceptSymbol("(")) {
      do {
        auto c = name();
        if (!c) return c.status();
        ins.columns.push_back(c.value());
      } while (acceptSymbol(","));
      JET_TRY(expectSymbol(")"));
    }
    if (isWord("SELECT")) return errors::notSupported("INSERT INTO ... SELECT");
    JET_TRY(expectWord("VALUES"));
    JET_TRY(expectSymbol("("));
    do {
      auto e = expression();
      if (!e) return e.status();
      ins.values.push_back(std::move(e.value()));
    } while (acceptSymbol(","));
    return expectSymbol(")");
  }

  Status parseUpdate(Update& up) {
    JET_TRY(expectWord("UPDATE"));
    auto t = name();
    if (!t) return t.status();
    up.table = t.value();
    JET_TRY(expectWord("SET"));
    do {
      Assignment a;
      auto c = name();
      if (!c) return c.status();
      // A column may be written with its table in front: comandas.tin = 'X'.
      if (acceptSymbol(".")) {
        c = name();
        if (!c) return c.status();
      }
      a.column = c.value();
      JET_TRY(expectSymbol("="));
      auto e = expression();
      if (!e) return e.status();
      a.value = std::move(e.value());
      up.assignments.push_back(std::move(a));
    } while (acceptSymbol(","));
    if (acceptWord("WHERE")) {
      clause_ = "WHERE";
      auto e = expression();
      if (!e) return e.status();
      up.where = std::move(e.value());
    }
    return Status::ok();
  }

  Status parseDelete(Delete& del) {
    JET_TRY(expectWord("DELETE"));
    acceptSymbol("*");
    if (isWord("FROM") == false) {
      // DELETE table.* FROM table
      if (peek().kind == TokenKind::Word || peek().kind == TokenKind::Name) {
        ++pos_;
        if (acceptSymbol(".")) JET_TRY(expectSymbol("*"));
      }
    }
    clause_ = "FROM";
    JET_TRY(expectWord("FROM"));
    auto t = name();
    if (!t) return t.status();
    del.table = t.value();
    if (acceptWord("WHERE")) {
      clause_ = "WHERE";
      auto e = expression();
      if (!e) return e.status();
      del.where = std::move(e.value());
    }
    return Status::ok();
  }

  Status parseCreate(CreateTable& ct) {
    JET_TRY(expectWord("CREATE"));
    JET_TRY(expectWord("TABLE"));
    auto t = name();
    if (!t) return t.status();
    TableSchema& schema = ct.schema;
    schema.name = t.value();
    JET_TRY(expectSymbol("("));
    std::vector<std::string> primary;
    do {
      if (acceptWord("CONSTRAINT")) {
        auto cn = name();
        if (!cn) return cn.status();
        JET_TRY(parsePrimaryKeyList(primary));
        continue;
      }
      if (isWord("PRIMARY")) {
        JET_TRY(parsePrimaryKeyList(primary));
        continue;
      }
      ColumnDef col;
      auto cn = name();
      if (!cn) return cn.status();
      col.name = cn.value();
      JET_TRY(parseColumnType(col));
      for (;;) {
        if (acceptWord("NOT")) {
          JET_TRY(expectWord("NULL"));
          col.required = true;
        } else if (acceptWord("NULL")) {
        } else if (acceptWord("PRIMARY")) {
          JET_TRY(expectWord("KEY"));
          primary.push_back(col.name);
        } else if (acceptWord("CONSTRAINT")) {
          auto constraintName = name();
          if (!constraintName) return constraintName.status();
          JET_TRY(expectWord("PRIMARY"));
          JET_TRY(expectWord("KEY"));
          primary.push_back(col.name);
        } else {
          break;
        }
      }
      if (schema.findColumn(col.name) >= 0) return fail();
      schema.columns.push_back(std::move(col));
    } while (acceptSymbol(","));
    JET_TRY(expectSymbol(")"));
    if (schema.columns.empty()) return fail();
    if (!primary.empty()) {
      IndexDef pk;
      pk.name = "PrimaryKey";
      pk.primary = true;
      pk.unique = true;
      for (const auto& p : primary) {
        int c = schema.findColumn(p);
        if (c < 0) return fail();
        pk.columns.push_back(IndexColumn{c, true});
        schema.columns[static_cast<size_t>(c)].required = true;
      }
      schema.indexes.push_back(std::move(pk));
    }
    return Status::ok();
  }

  Status parsePrimaryKeyList(std::vector<std::string>& primary) {
    JET_TRY(expectWord("PRIMARY"));
    JET_TRY(expectWord("KEY"));
    JET_TRY(expectSymbol("("));
    do {
      auto c = name();
      if (!c) return c.status();
      primary.push_back(c.value());
    } while (acceptSymbol(","));
    return expectSymbol(")");
  }

  Status parseColumnType(ColumnDef& col) {
    if (peek().kind != TokenKind::Word) return fail();
    std::string type = peek().text;
    ++pos_;
    auto is = [&](std::initializer_list<const char*> names) {
      for (const char* n : names)
        if (keywordIs(type, n)) return true;
      return false;
    };
    col.fixed = true;
    if (is({"TEXT", "VARCHAR", "CHAR", "STRING", "ALPHANUMERIC", "NVARCHAR", "NCHAR"})) {
      int length = 255;
      if (acceptSymbol("(")) {
        if (peek().kind != TokenKind::Number) return fail();
        auto n = parseNumber(peek().text);
        ++pos_;
        if (!n || *n < 1 || *n > 255 || *n != std::floor(*n)) return fail();
        length = static_cast<int>(*n);
        JET_TRY(expectSymbol(")"));
      }
      col.type = ColumnType::Text;
      col.size = static_cast<uint16_t>(length * textBytesPerChar_);
      col.fixed = false;
    } else if (is({"MEMO", "LONGTEXT", "NOTE", "LONGCHAR"})) {
      col.type = ColumnType::Memo;
      col.fixed = false;
    } else if (is({"BYTE", "TINYINT"})) {
      col.type = ColumnType::Byte, col.size = 1;
    } else if (is({"SHORT", "SMALLINT", "INTEGER2"})) {
      col.type = ColumnType::Integer, col.size = 2;
    } else if (is({"LONG", "INTEGER", "INT", "INTEGER4"})) {
      col.type = ColumnType::Long, col.size = 4;
    } else if (is({"SINGLE", "REAL", "FLOAT4"})) {
      col.type = ColumnType::Single, col.size = 4;
    } else if (is({"DOUBLE", "FLOAT", "FLOAT8", "NUMBER"})) {
      col.type = ColumnType::Double, col.size = 8;
    } else if (is({"CURRENCY", "MONEY"})) {
      col.type = ColumnType::Currency, col.size = 8;
    } else if (is({"DATETIME", "DATE", "TIME", "TIMESTAMP"})) {
      col.type = ColumnType::DateTime, col.size = 8;
    } else if (is({"YESNO", "BIT", "LOGICAL", "BOOLEAN", "LOGICAL1"})) {
      col.type = ColumnType::Boolean, col.size = 1;
    } else if (is({"COUNTER", "AUTOINCREMENT", "IDENTITY"})) {
      col.type = ColumnType::Long, col.size = 4, col.autoNumber = true;
      if (acceptSymbol("(")) {  // seed and step: accepted, the engine counts from 1 by 1
        do {
          if (peek().kind != TokenKind::Number) return fail();
          ++pos_;
        } while (acceptSymbol(","));
        JET_TRY(expectSymbol(")"));
      }
    } else {
      return fail();
    }
    return Status::ok();
  }

  // --- expressions ---
  Result<ExprPtr> expression() {
    if (++depth_ > kMaxDepth) return fail();
    size_t first = pos_;
    auto e = parseXor();
    --depth_;
    if (e && e.value()->text.empty()) e.value()->text = textBetween(first, pos_);
    return e;
  }

  ExprPtr binary(std::string op, ExprPtr a, ExprPtr b, size_t first) {
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::Binary;
    e->op = std::move(op);
    e->args.push_back(std::move(a));
    e->args.push_back(std::move(b));
    e->text = textBetween(first, pos_);
    return e;
  }

  // Each level: parse the tighter level, then fold operators of this level.
  template <class Next, class Match>
  Result<ExprPtr> leftAssoc(Next next, Match match) {
    size_t first = pos_;
    auto left = (this->*next)();
    if (!left) return left;
    std::string op;
    while (match(op)) {
      auto right = (this->*next)();
      if (!right) return right;
      left = binary(op, std::move(left.value()), std::move(right.value()), first);
    }
    return left;
  }

  Result<ExprPtr> parseXor() {
    return leftAssoc(&Parser::parseOr, [&](std::string& op) {
      if (!acceptWord("XOR")) return false;
      op = "XOR";
      return true;
    });
  }
  Result<ExprPtr> parseOr() {
    return leftAssoc(&Parser::parseAnd, [&](std::string& op) {
      if (!acceptWord("OR")) return false;
      op = "OR";
      return true;
    });
  }
  Result<ExprPtr> parseAnd() {
    return leftAssoc(&Parser::parseNot, [&](std::string& op) {
      if (!acceptWord("AND")) return false;
      op = "AND";
      return true;
    });
  }
  Result<ExprPtr> parseNot() {
    if (acceptWord("NOT")) {
      if (++depth_ > kMaxDepth) return fail();
      size_t first = pos_ - 1;
      auto inner = parseNot();
      --depth_;
      if (!inner) return inner;
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::Unary;
      e->op = "NOT";
      e->args.push_back(std::move(inner.value()));
      e->text = textBetween(first, pos_);
      return ExprPtr(std::move(e));
    }
    return parseComparison();
  }

  Result<ExprPtr> parseComparison() {
    size_t first = pos_;
    auto left = parseConcat();
    if (!left) return left;
    for (;;) {
      const Token& t = peek();
      if (t.kind == TokenKind::Symbol && (t.text == "=" || t.text == "<>" || t.text == "<" ||
                                          t.text == ">" || t.text == "<=" || t.text == ">=")) {
        std::string op = t.text;
        ++pos_;
        auto right = parseConcat();
        if (!right) return right;
        left = binary(op, std::move(left.value()), std::move(right.value()), first);
        continue;
      }
      bool negated = false;
      size_t save = pos_;
      if (acceptWord("NOT")) negated = true;
      if (acceptWord("LIKE")) {
        auto right = parseConcat();
        if (!right) return right;
        left = binary("LIKE", std::move(left.value()), std::move(right.value()), first);
        left.value()->negated = negated;
        continue;
      }
      if (acceptWord("BETWEEN")) {
        auto low = parseConcat();
        if (!low) return low;
        if (!acceptWord("AND")) return fail();
        auto high = parseConcat();
        if (!high) return high;
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Between;
        e->negated = negated;
        e->args.push_back(std::move(left.value()));
        e->args.push_back(std::move(low.value()));
        e->args.push_back(std::move(high.value()));
        e->text = textBetween(first, pos_);
        left = ExprPtr(std::move(e));
        continue;
      }
      if (acceptWord("IN")) {
        if (!acceptSymbol("(")) return fail();
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::In;
        e->negated = negated;
        e->args.push_back(std::move(left.value()));
        if (isWord("SELECT")) {
          auto sub = std::make_shared<Query>();
          std::string outerClause = clause_;
          JET_TRY(parseQuery(*sub));
          clause_ = outerClause;
          if (!acceptSymbol(")")) return fail();
          e->subquery = std::move(sub);
          e->text = textBetween(first, pos_);
          left = ExprPtr(std::move(e));
          continue;
        }
        do {
          auto item = expression();
          if (!item) return item;
          e->args.push_back(std::move(item.value()));
        } while (acceptSymbol(","));
        if (!acceptSymbol(")")) return fail();
        e->text = textBetween(first, pos_);
        left = ExprPtr(std::move(e));
        continue;
      }
      if (!negated && acceptWord("IS")) {
        bool isNot = acceptWord("NOT");
        if (!acceptWord("NULL")) return fail();
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::IsNull;
        e->negated = isNot;
        e->args.push_back(std::move(left.value()));
        e->text = textBetween(first, pos_);
        left = ExprPtr(std::move(e));
        continue;
      }
      pos_ = save;
      break;
    }
    return left;
  }

  Result<ExprPtr> parseConcat() {
    return leftAssoc(&Parser::parseAdditive, [&](std::string& op) {
      if (!acceptSymbol("&")) return false;
      op = "&";
      return true;
    });
  }
  Result<ExprPtr> parseAdditive() {
    return leftAssoc(&Parser::parseMod, [&](std::string& op) {
      if (acceptSymbol("+"))
        op = "+";
      else if (acceptSymbol("-"))
        op = "-";
      else
        return false;
      return true;
    });
  }
  Result<ExprPtr> parseMod() {
    return leftAssoc(&Parser::parseIntDiv, [&](std::string& op) {
      if (!acceptWord("MOD")) return false;
      op = "MOD";
      return true;
    });
  }
  Result<ExprPtr> parseIntDiv() {
    return leftAssoc(&Parser::parseMultiplicative, [&](std::string& op) {
      if (!acceptSymbol("\\")) return false;
      op = "\\";
      return true;
    });
  }
  Result<ExprPtr> parseMultiplicative() {
    return leftAssoc(&Parser::parseUnary, [&](std::string& op) {
      if (acceptSymbol("*"))
        op = "*";
      else if (acceptSymbol("/"))
        op = "/";
      else
        return false;
      return true;
    });
  }
  Result<ExprPtr> parseUnary() {
    if (isSymbol("-") || isSymbol("+")) {
      size_t first = pos_;
      std::string op = peek().text;
      ++pos_;
      if (++depth_ > kMaxDepth) return fail();
      auto inner = parseUnary();
      --depth_;
      if (!inner) return inner;
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::Unary;
      e->op = op;
      e->args.push_back(std::move(inner.value()));
      e->text = textBetween(first, pos_);
      return ExprPtr(std::move(e));
    }
    return parsePower();
  }
  Result<ExprPtr> parsePower() {
    return leftAssoc(&Parser::parsePrimary, [&](std::string& op) {
      if (!acceptSymbol("^")) return false;
      op = "^";
      return true;
    });
  }

  Result<ExprPtr> parsePrimary() {
    size_t first = pos_;
    const Token t = peek();
    auto e = std::make_unique<Expr>();
    switch (t.kind) {
      case TokenKind::Number: {
        ++pos_;
        auto v = parseNumber(t.text);
        if (!v) return fail();
        e->kind = ExprKind::Literal;
        bool whole = t.text.find_first_of(".eE") == std::string::npos;
        if (whole && *v <= 2147483647.0)
          e->value = Value::longValue(static_cast<int32_t>(*v));
        else
          e->value = Value::dbl(*v);
        break;
      }
      case TokenKind::Text:
        ++pos_;
        e->kind = ExprKind::Literal;
        e->value = Value::text(t.text);
        break;
      case TokenKind::Date: {
        ++pos_;
        auto d = parseDateText(t.text);
        if (!d) return errors::syntaxInExpression("#" + t.text + "#");
        e->kind = ExprKind::Literal;
        e->value = Value::dateTime(*d);
        break;
      }
      case TokenKind::Parameter:
        ++pos_;
        e->kind = ExprKind::Parameter;
        e->index = params_++;
        break;
      case TokenKind::Identity:
        ++pos_;
        e->kind = ExprKind::Identity;
        break;
      case TokenKind::Symbol:
        if (t.text == "(") {
          ++pos_;
          auto inner = expression();
          if (!inner) return inner;
          if (!acceptSymbol(")")) return fail();
          return inner;
        }
        return fail();
      case TokenKind::Name: {
        ++pos_;
        e->kind = ExprKind::Column;
        e->name = t.text;
        JET_TRY(qualified(*e));
        break;
      }
      case TokenKind::Word: {
        if (keywordIs(t.text, "NULL")) {
          ++pos_;
          e->kind = ExprKind::Literal;
          break;
        }
        if (keywordIs(t.text, "TRUE") || keywordIs(t.text, "FALSE")) {
          ++pos_;
          e->kind = ExprKind::Literal;
          e->value = Value::boolean(keywordIs(t.text, "TRUE"));
          break;
        }
        if (isReserved(t.text)) return fail();
        ++pos_;
        if (isSymbol("(")) {
          ++pos_;
          e->kind = isAggregateName(t.text) ? ExprKind::Aggregate : ExprKind::Call;
          e->name = t.text;
          if (!acceptSymbol(")")) {
            do {
              if (e->kind == ExprKind::Aggregate && isSymbol("*")) {
                ++pos_;
                auto star = std::make_unique<Expr>();
                star->kind = ExprKind::Star;
                star->text = "*";
                e->args.push_back(std::move(star));
                continue;
              }
              auto a = expression();
              if (!a) return a;
              e->args.push_back(std::move(a.value()));
            } while (acceptSymbol(","));
            if (!acceptSymbol(")")) return fail();
          }
          break;
        }
        e->kind = ExprKind::Column;
        e->name = t.text;
        JET_TRY(qualified(*e));
        break;
      }
      default: return fail();
    }
    e->text = textBetween(first, pos_);
    return ExprPtr(std::move(e));
  }

  // table.column or alias.column: the first name becomes the qualifier.
  Status qualified(Expr& e) {
    if (!isSymbol(".")) return Status::ok();
    ++pos_;
    if (isSymbol("*")) return fail();
    const Token& t = peek();
    if (t.kind != TokenKind::Name && t.kind != TokenKind::Word) return fail();
    ++pos_;
    e.qualifier = e.name;
    e.name = t.text;
    return Status::ok();
  }

  std::string_view sql_;
  std::vector<Token> tokens_;
  int textBytesPerChar_;
  size_t pos_ = 0;
  int params_ = 0;
  int depth_ = 0;
  std::string clause_;
};

}  // namespace

Result<Statement> parse(std::string_view sql, int textBytesPerChar) {
  Parser p(sql, textBytesPerChar);
  return p.run();
}

}  // namespace jet::sql
