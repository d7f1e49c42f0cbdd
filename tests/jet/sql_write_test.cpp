// Writing: INSERT with its AutoNumber, UPDATE and DELETE counting their rows,
// CREATE TABLE with the Access types, and every write all or nothing.
#include "jet/error_codes.h"
#include "jet/sql/parser.h"
#include "sql_test_support.h"

namespace sqltest {
namespace {

class SqlWrite : public SqlTest {
 protected:
  void SetUp() override {
    SqlTest::SetUp();
    run("CREATE TABLE t (id AUTOINCREMENT PRIMARY KEY, nombre TEXT(5) NOT NULL, n SHORT, l "
        "INTEGER, "
        "b BYTE, r SINGLE, d DOUBLE, c CURRENCY, f DATETIME, s YESNO, m MEMO)");
  }
};

TEST_F(SqlWrite, CreateTableMapsTheAccessTypes) {
  auto parsed = jet::sql::parse(
      "CREATE TABLE t (id AUTOINCREMENT PRIMARY KEY, nombre TEXT(5) NOT NULL, n SHORT, l INTEGER, "
      "b BYTE, r SINGLE, d DOUBLE, c CURRENCY, f DATETIME, s YESNO, m MEMO)");
  ASSERT_TRUE(parsed.isOk());
  const jet::TableSchema* schema = &parsed.value().create.schema;
  const auto& c = schema->columns;
  ASSERT_EQ(c.size(), 11u);
  EXPECT_TRUE(c[0].autoNumber);
  EXPECT_EQ(c[1].type, jet::ColumnType::Text);
  EXPECT_EQ(c[1].textLength(), 5);
  EXPECT_TRUE(c[1].required);
  EXPECT_EQ(c[2].type, jet::ColumnType::Integer);
  EXPECT_EQ(c[3].type, jet::ColumnType::Long);  // INTEGER is a Long Integer in Access SQL
  EXPECT_EQ(c[4].type, jet::ColumnType::Byte);
  EXPECT_EQ(c[5].type, jet::ColumnType::Single);
  EXPECT_EQ(c[6].type, jet::ColumnType::Double);
  EXPECT_EQ(c[7].type, jet::ColumnType::Currency);
  EXPECT_EQ(c[8].type, jet::ColumnType::DateTime);
  EXPECT_EQ(c[9].type, jet::ColumnType::Boolean);
  EXPECT_EQ(c[10].type, jet::ColumnType::Memo);
  ASSERT_FALSE(schema->indexes.empty());
  EXPECT_TRUE(schema->indexes[0].primary);
  // The table made from it in SetUp has the same columns.
  auto made = db_->table("T");
  ASSERT_TRUE(made.isOk());
  ASSERT_EQ(made.value().columns.size(), c.size());
  for (size_t i = 0; i < c.size(); ++i)
    EXPECT_EQ(made.value().columns[i].type, c[i].type) << c[i].name;
  EXPECT_EQ(errorOf("CREATE TABLE T (x LONG)"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("CREATE TABLE u (x BLOB)"), jet::errc::kSyntax);
}

TEST_F(SqlWrite, InsertAnswersItsAutoNumberThroughIdentity) {
  EXPECT_EQ(value("SELECT @@IDENTITY AS ClientID"), jet::Value::longValue(0));
  EXPECT_EQ(run("INSERT INTO t (nombre, n) VALUES ('uno', 1)").rowsAffected, 1);
  EXPECT_EQ(run("INSERT INTO t (nombre, n) VALUES (?, ?)",
                {jet::Value::text("dos"), jet::Value::integer(2)})
                .rowsAffected,
            1);
  EXPECT_EQ(value("SELECT @@Identity AS ClientID"), jet::Value::longValue(2));
  EXPECT_EQ(session_->lastIdentity(), jet::Value::longValue(2));
  EXPECT_EQ(rows("SELECT id, nombre, n FROM t ORDER BY id"),
            (Rows{{"1", "uno", "1"}, {"2", "dos", "2"}}));
  // Values are converted to the column's type on the way in.
  run("INSERT INTO t (nombre, l, d, f, s, c) VALUES ('tres', '42', 1, '2024-05-01 10:30', -1, "
      "2.5)");
  auto r = run("SELECT l, d, f, s, c FROM t WHERE nombre = 'tres'");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0], jet::Value::longValue(42));
  EXPECT_EQ(r.rows[0][1], jet::Value::dbl(1));
  EXPECT_EQ(r.rows[0][2].type(), jet::ValueType::DateTime);
  EXPECT_EQ(r.rows[0][3], jet::Value::boolean(true));
  EXPECT_EQ(r.rows[0][4], jet::Value::currency(jet::Currency{25000}));
}

TEST_F(SqlWrite, AFailedInsertWritesNothingAndKeepsTheEarlierIdentity) {
  run("INSERT INTO t (nombre) VALUES ('uno')");
  EXPECT_EQ(errorOf("INSERT INTO t (nombre) VALUES ('demasiado largo')"), jet::errc::kOverflow);
  EXPECT_EQ(errorOf("INSERT INTO t (nombre, n) VALUES ('x', 99999)"), jet::errc::kOverflow);
  EXPECT_EQ(errorOf("INSERT INTO t (nombre, n) VALUES ('x')"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("INSERT INTO t (nada) VALUES ('x')"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("INSERT INTO nada (x) VALUES (1)"), jet::errc::kNoTable);
  if (db_->table("t").value().columns[1].required) {  // the file keeps NOT NULL
    EXPECT_EQ(errorOf("INSERT INTO t (n) VALUES (1)"), jet::errc::kIntegrity);
    EXPECT_EQ(errorOf("UPDATE t SET nombre = Null"), jet::errc::kIntegrity);
  }
  EXPECT_EQ(value("SELECT Count(*) FROM t"), jet::Value::longValue(1));
  EXPECT_EQ(value("SELECT @@IDENTITY"), jet::Value::longValue(1));
}

TEST_F(SqlWrite, UpdateAndDeleteCountTheRowsTheyChange) {
  for (const char* n : {"a", "b", "c", "d"})
    run(std::string("INSERT INTO t (nombre, n) VALUES ('") + n + "', 1)");
  EXPECT_EQ(
      run("UPDATE t SET n = n + 10, m = nombre & '!' WHERE nombre IN ('a', 'C')").rowsAffected, 2);
  EXPECT_EQ(rows("SELECT nombre, n, m FROM t ORDER BY id"),
            (Rows{{"a", "11", "a!"}, {"b", "1", "NULL"}, {"c", "11", "c!"}, {"d", "1", "NULL"}}));
  EXPECT_EQ(run("UPDATE t SET n = 0 WHERE nombre = 'zz'").rowsAffected, 0);
  EXPECT_EQ(errorOf("UPDATE t SET n = 'doce'"), jet::errc::kTypeMismatch);
  EXPECT_EQ(run("DELETE * FROM t WHERE n = 11").rowsAffected, 2);
  EXPECT_EQ(run("DELETE FROM t").rowsAffected, 2);
  EXPECT_EQ(value("SELECT Count(*) FROM t"), jet::Value::longValue(0));
  EXPECT_EQ(errorOf("UPDATE t SET nada = 1"), jet::errc::kMissingParameter);
}

TEST_F(SqlWrite, AnUpdateThatFailsHalfwayChangesNoRow) {
  for (const char* n : {"a", "b", "c"})
    run(std::string("INSERT INTO t (nombre, n) VALUES ('") + n + "', 1)");
  // One value that doesn't fit: nothing changes, not even the rows before it.
  run("UPDATE t SET n = 32760 WHERE nombre = 'c'");
  EXPECT_EQ(errorOf("UPDATE t SET n = n + 10"), jet::errc::kOverflow);
  EXPECT_EQ(rows("SELECT n FROM t ORDER BY id"), (Rows{{"1"}, {"1"}, {"32760"}}));
}

// The same table in memory, where a failure of the storage can be staged.
class SqlWriteStagedFailure : public SqlWrite {
 protected:
  bool usesMemoryDatabase() const override { return true; }
};

TEST_F(SqlWriteStagedFailure, AnUpdateTheStorageRefusesHalfwayChangesNoRow) {
  for (const char* n : {"a", "b", "c"})
    run(std::string("INSERT INTO t (nombre, n) VALUES ('") + n + "', 1)");
  run("UPDATE t SET n = 32760 WHERE nombre = 'c'");
  auto* memory = dynamic_cast<MemoryDatabase*>(db_.get());
  ASSERT_NE(memory, nullptr);
  memory->failUpdatesAfter = 1;
  EXPECT_EQ(errorOf("UPDATE t SET n = 5"), jet::errc::kUnspecified);
  EXPECT_EQ(rows("SELECT n FROM t ORDER BY id"), (Rows{{"1"}, {"1"}, {"32760"}}));
  EXPECT_EQ(db_->transactionDepth(), 0);
}

}  // namespace
}  // namespace sqltest
