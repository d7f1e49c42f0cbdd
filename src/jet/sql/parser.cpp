// Recursive descent over the tokens of lexer.h; see parser.h. This file
// reads the statements: SELECT (with UNION and ORDER BY), INSERT, UPDATE
// and DELETE, and dispatches CREATE TABLE (parse_create_table.cpp) and the
// other definition statements (parse_ddl.cpp); their expressions are read
// by parse_expression.cpp.
#include "jet/sql/parser.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "jet/convert.h"
#include "jet/sql/dates.h"
#include "jet/sql/parser_state.h"
#include "jet/text.h"

namespace jet::sql {

namespace parsing {

Result<Statement> Parser::run() {
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
  } else if (isWord("CREATE") && isWord("TABLE", 1)) {
    clause_ = "CREATE TABLE";
    JET_TRY(parseCreate(st.create));
    st.kind = StatementKind::CreateTable;
  } else if (isWord("CREATE")) {
    clause_ = "CREATE INDEX";
    JET_TRY(parseCreateIndex(st.createIndex));
    st.kind = StatementKind::CreateIndex;
  } else if (isWord("DROP")) {
    clause_ = "DROP";
    JET_TRY(parseDrop(st));
  } else if (isWord("ALTER")) {
    clause_ = "ALTER TABLE";
    JET_TRY(parseAlter(st));
  } else {
    return errors::invalidStatement();
  }
  if (isSymbol(";")) ++pos_;
  if (peek().kind != TokenKind::End) return fail();
  st.parameterCount = params_;
  return st;
}

Status Parser::parseQuery(Query& q) {
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

Status Parser::parseSelect(Select& s) {
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

Status Parser::parseInsert(Insert& ins) {
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

Status Parser::parseUpdate(Update& up) {
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

Status Parser::parseDelete(Delete& del) {
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

}  // namespace parsing

Result<Statement> parse(std::string_view sql, int textBytesPerChar) {
  parsing::Parser p(sql, textBytesPerChar);
  return p.run();
}

}  // namespace jet::sql
