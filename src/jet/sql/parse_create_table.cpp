// CREATE TABLE in the Access dialect: columns with their types (TEXT(n),
// MEMO, the number types, CURRENCY, DATETIME, YESNO, COUNTER), NOT NULL, and
// PRIMARY KEY and UNIQUE constraints, on a column or over a list of them,
// named by CONSTRAINT or not. TEXT(n) is sized by the file's bytes per
// character. ALTER TABLE ... ADD COLUMN reads its column the same way.
#include <algorithm>
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
  std::vector<Constraint> constraints;
  do {
    if (isWord("CONSTRAINT") || isWord("PRIMARY") || (isWord("UNIQUE") && isSymbol("(", 1))) {
      Constraint c;
      JET_TRY(parseConstraint(c, true));
      constraints.push_back(std::move(c));
      continue;
    }
    ColumnDef col;
    JET_TRY(parseColumnDef(col, constraints));
    if (schema.findColumn(col.name) >= 0) return fail();
    schema.columns.push_back(std::move(col));
  } while (acceptSymbol(","));
  JET_TRY(expectSymbol(")"));
  if (schema.columns.empty()) return fail();
  // One index per constraint: the primary key first, as Access lists it.
  std::stable_partition(constraints.begin(), constraints.end(),
                        [](const Constraint& c) { return c.primary; });
  for (const Constraint& c : constraints) {
    IndexDef ix;
    ix.primary = c.primary;
    ix.unique = true;
    std::string generated;
    for (const auto& columnName : c.columns) {
      int at = schema.findColumn(columnName);
      if (at < 0) return fail();
      ix.columns.push_back(IndexColumn{at, true});
      generated += (generated.empty() ? "" : "_") + schema.columns[static_cast<size_t>(at)].name;
      if (c.primary) schema.columns[static_cast<size_t>(at)].required = true;
    }
    ix.name = !c.name.empty() ? c.name : c.primary ? "PrimaryKey" : generated;
    for (const IndexDef& other : schema.indexes) {
      if (other.primary && ix.primary) return fail();
      if (equalsIgnoreCase(other.name, ix.name)) return fail();
    }
    schema.indexes.push_back(std::move(ix));
  }
  return Status::ok();
}

Status Parser::parseConstraint(Constraint& c, bool withColumns) {
  if (acceptWord("CONSTRAINT")) {
    auto n = name();
    if (!n) return n.status();
    c.name = n.value();
  }
  if (acceptWord("PRIMARY")) {
    JET_TRY(expectWord("KEY"));
    c.primary = true;
  } else {
    JET_TRY(expectWord("UNIQUE"));
  }
  if (!withColumns) return Status::ok();
  JET_TRY(expectSymbol("("));
  do {
    auto n = name();
    if (!n) return n.status();
    c.columns.push_back(n.value());
  } while (acceptSymbol(","));
  return expectSymbol(")");
}

Status Parser::parseColumnDef(ColumnDef& col, std::vector<Constraint>& constraints) {
  auto cn = name();
  if (!cn) return cn.status();
  col.name = cn.value();
  JET_TRY(parseColumnType(col));
  for (;;) {
    if (acceptWord("NOT")) {
      JET_TRY(expectWord("NULL"));
      col.required = true;
    } else if (acceptWord("NULL")) {
    } else if (isWord("PRIMARY") || isWord("UNIQUE") || isWord("CONSTRAINT")) {
      Constraint c;
      JET_TRY(parseConstraint(c, false));
      c.columns.push_back(col.name);
      constraints.push_back(std::move(c));
    } else {
      return Status::ok();
    }
  }
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
