// CREATE TABLE in the Access dialect: columns with their types (TEXT(n),
// MEMO, the number types, CURRENCY, DATETIME, YESNO, COUNTER), NOT NULL, and
// the primary key given on a column or as a CONSTRAINT list. TEXT(n) is
// sized by the file's bytes per character.
#include <cmath>
#include <cstdlib>
#include <string>

#include "jet/convert.h"
#include "jet/sql/dates.h"
#include "jet/sql/parser_state.h"
#include "jet/text.h"

namespace jet::sql::parsing {

Status Parser::parseCreate(CreateTable& ct) {
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

Status Parser::parsePrimaryKeyList(std::vector<std::string>& primary) {
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

Status Parser::parseColumnType(ColumnDef& col) {
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

}  // namespace jet::sql::parsing
