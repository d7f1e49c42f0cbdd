// The statements that change a table's definition besides CREATE TABLE:
//   CREATE [UNIQUE] INDEX name ON table (col [ASC|DESC], ...)
//          [WITH PRIMARY | DISALLOW NULL | IGNORE NULL]
//   DROP INDEX name ON table
//   DROP TABLE table
//   ALTER TABLE table ADD [COLUMN] col type [NOT NULL]
//   ALTER TABLE table ADD CONSTRAINT name {PRIMARY KEY | UNIQUE} (col, ...)
#include "jet/sql/parser_state.h"

namespace jet::sql::parsing {

Status Parser::parseIndexColumns(std::vector<std::string>& names, IndexDef& index) {
  JET_TRY(expectSymbol("("));
  do {
    auto n = name();
    if (!n) return n.status();
    names.push_back(n.value());
    bool ascending = true;
    if (acceptWord("DESC")) {
      ascending = false;
    } else {
      acceptWord("ASC");
    }
    // The column's place in the table is found when the statement runs.
    index.columns.push_back(IndexColumn{-1, ascending});
  } while (acceptSymbol(","));
  return expectSymbol(")");
}

Status Parser::parseCreateIndex(CreateIndex& ci) {
  JET_TRY(expectWord("CREATE"));
  ci.index.unique = acceptWord("UNIQUE");
  JET_TRY(expectWord("INDEX"));
  auto n = name();
  if (!n) return n.status();
  ci.index.name = n.value();
  JET_TRY(expectWord("ON"));
  auto t = name();
  if (!t) return t.status();
  ci.table = t.value();
  JET_TRY(parseIndexColumns(ci.columns, ci.index));
  if (!acceptWord("WITH")) return Status::ok();
  // One option or more: WITH PRIMARY, WITH DISALLOW NULL, WITH IGNORE NULL.
  bool any = false;
  for (;;) {
    if (acceptWord("PRIMARY")) {
      ci.index.primary = ci.index.unique = true;
    } else if (acceptWord("DISALLOW")) {
      JET_TRY(expectWord("NULL"));
      ci.index.required = true;
    } else if (acceptWord("IGNORE")) {
      JET_TRY(expectWord("NULL"));
      ci.index.ignoreNulls = true;
    } else {
      break;
    }
    any = true;
  }
  return any ? Status::ok() : fail();
}

Status Parser::parseDrop(Statement& st) {
  JET_TRY(expectWord("DROP"));
  if (acceptWord("TABLE")) {
    clause_ = "DROP TABLE";
    auto t = name();
    if (!t) return t.status();
    st.dropTable.table = t.value();
    st.kind = StatementKind::DropTable;
    return Status::ok();
  }
  clause_ = "DROP INDEX";
  JET_TRY(expectWord("INDEX"));
  auto n = name();
  if (!n) return n.status();
  st.dropIndex.index = n.value();
  JET_TRY(expectWord("ON"));
  auto t = name();
  if (!t) return t.status();
  st.dropIndex.table = t.value();
  st.kind = StatementKind::DropIndex;
  return Status::ok();
}

Status Parser::parseAlter(Statement& st) {
  JET_TRY(expectWord("ALTER"));
  JET_TRY(expectWord("TABLE"));
  auto t = name();
  if (!t) return t.status();
  JET_TRY(expectWord("ADD"));
  if (isWord("CONSTRAINT") || isWord("PRIMARY") || isWord("UNIQUE")) {
    Constraint c;
    JET_TRY(parseConstraint(c, true));
    CreateIndex& ci = st.createIndex;
    ci.table = t.value();
    ci.index.name = c.name.empty() ? (c.primary ? "PrimaryKey" : c.columns.front()) : c.name;
    ci.index.primary = c.primary;
    ci.index.unique = true;
    ci.columns = c.columns;
    ci.index.columns.assign(c.columns.size(), IndexColumn{-1, true});
    st.kind = StatementKind::CreateIndex;
    return Status::ok();
  }
  acceptWord("COLUMN");
  st.addColumn.table = t.value();
  std::vector<Constraint> constraints;
  JET_TRY(parseColumnDef(st.addColumn.column, constraints));
  // A constraint on the new column would need an index made with it.
  if (!constraints.empty()) return fail();
  st.kind = StatementKind::AddColumn;
  return Status::ok();
}

}  // namespace jet::sql::parsing
