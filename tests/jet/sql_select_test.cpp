// Reading with SELECT and UNION: grouping, ordering, TOP, DISTINCT, the
// aggregates, and how a UNION over one table is read.
#include "jet/error_codes.h"
#include "sql_test_support.h"

namespace sqltest {
namespace {

class SqlSelect : public SqlTest {
 protected:
  void SetUp() override {
    SqlTest::SetUp();
    run("CREATE TABLE lineas (id COUNTER PRIMARY KEY, mesa TEXT(10), negocio TEXT(20), "
        "cantidad DOUBLE, minuto LONG, nota TEXT(50))");
    const char* inserts[] = {
        "INSERT INTO lineas (mesa, negocio, cantidad, minuto, nota) VALUES ('5', 'BAR', 2, 700, "
        "'sin hielo')",
        "INSERT INTO lineas (mesa, negocio, cantidad, minuto, nota) VALUES ('7', 'pizza', 1, 690, "
        "Null)",
        "INSERT INTO lineas (mesa, negocio, cantidad, minuto, nota) VALUES ('5', 'PIZZA', 3, 710, "
        "'grande')",
        "INSERT INTO lineas (mesa, negocio, cantidad, minuto, nota) VALUES ('12', 'bar', 1, 705, "
        "Null)",
        "INSERT INTO lineas (mesa, negocio, cantidad, minuto, nota) VALUES ('7', 'Bar', 4, 720, "
        "'doble')",
    };
    for (const char* s : inserts) run(s);
  }
};

TEST_F(SqlSelect, GroupsIgnoreCaseAndComeOrderedByTheirKeys) {
  // Three spellings of BAR are one group; groups come in key order (text
  // order: '12' < '5' < '7'), without any ORDER BY.
  EXPECT_EQ(rows("SELECT Count(*) AS n, Sum(cantidad) FROM lineas GROUP BY negocio"),
            (Rows{{"3", "7"}, {"2", "4"}}));
  EXPECT_EQ(rows("SELECT mesa, Min(minuto) FROM lineas GROUP BY mesa"),
            (Rows{{"12", "705"}, {"5", "700"}, {"7", "690"}}));
  EXPECT_EQ(rows("SELECT mesa FROM lineas GROUP BY mesa ORDER BY Min(minuto)"),
            (Rows{{"7"}, {"5"}, {"12"}}));
  EXPECT_EQ(rows("SELECT mesa, Count(nota) FROM lineas GROUP BY mesa HAVING Count(*) > 1"),
            (Rows{{"5", "2"}, {"7", "1"}}));
}

TEST_F(SqlSelect, AggregatesOverNoRowsAndOverNulls) {
  EXPECT_EQ(
      rows("SELECT Count(*), Sum(cantidad), Max(mesa), Avg(minuto) FROM lineas WHERE mesa = 'x'"),
      (Rows{{"0", "NULL", "NULL", "NULL"}}));
  EXPECT_EQ(rows("SELECT Count(nota), Min(nota), Max(nota), Avg(cantidad) FROM lineas"),
            (Rows{{"3", "doble", "sin hielo", "2.2"}}));
  EXPECT_EQ(rows("SELECT First(mesa), Last(mesa) FROM lineas"), (Rows{{"5", "7"}}));
  EXPECT_EQ(rows("SELECT mesa FROM lineas GROUP BY mesa HAVING Sum(cantidad) > 100"), Rows{});
}

TEST_F(SqlSelect, ColumnsOutsideTheGroupAreRefused) {
  EXPECT_EQ(errorOf("SELECT mesa, nota FROM lineas GROUP BY mesa"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT mesa FROM lineas WHERE Count(*) > 1"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT Sum(Sum(cantidad)) FROM lineas"), jet::errc::kSyntax);
}

TEST_F(SqlSelect, OrderByNamesAliasesPositionsAndDescending) {
  EXPECT_EQ(rows("SELECT mesa, 720 - minuto AS espera FROM lineas ORDER BY espera DESC, mesa"),
            (Rows{{"7", "30"}, {"5", "20"}, {"12", "15"}, {"5", "10"}, {"7", "0"}}));
  EXPECT_EQ(rows("SELECT negocio FROM lineas ORDER BY negocio, 1 DESC"),
            (Rows{{"BAR"}, {"bar"}, {"Bar"}, {"pizza"}, {"PIZZA"}}));
  // NULL sorts first.
  EXPECT_EQ(rows("SELECT nota FROM lineas WHERE mesa = '7' ORDER BY nota"),
            (Rows{{"NULL"}, {"doble"}}));
  EXPECT_EQ(rows("SELECT MESA FROM LINEAS WHERE Id = 1")[0][0], "5");
}

TEST_F(SqlSelect, TopKeepsTiesWithTheLastRowTaken) {
  run("INSERT INTO lineas (mesa, negocio, cantidad, minuto) VALUES ('9', 'BAR', 1, 700)");
  EXPECT_EQ(rows("SELECT TOP 2 mesa FROM lineas ORDER BY minuto, mesa"), (Rows{{"7"}, {"5"}}));
  // Two lines at minute 700 tie for second place: both come.
  EXPECT_EQ(rows("SELECT TOP 2 minuto FROM lineas ORDER BY minuto"),
            (Rows{{"690"}, {"700"}, {"700"}}));
  EXPECT_EQ(rows("SELECT TOP 50 PERCENT mesa FROM lineas ORDER BY id"),
            (Rows{{"5"}, {"7"}, {"5"}}));
  EXPECT_EQ(rows("SELECT TOP 1 negocio FROM lineas GROUP BY negocio"), (Rows{{"BAR"}}));
  EXPECT_EQ(errorOf("SELECT TOP 1.5 mesa FROM lineas"), jet::errc::kSyntax);
}

TEST_F(SqlSelect, DistinctAndUnionDropDuplicatesIgnoringCase) {
  EXPECT_EQ(rows("SELECT DISTINCT negocio FROM lineas").size(), 2u);
  EXPECT_EQ(rows("SELECT mesa FROM lineas WHERE negocio = 'bar' UNION SELECT mesa FROM lineas "
                 "WHERE negocio = 'pizza'"),
            (Rows{{"12"}, {"5"}, {"7"}}));
  EXPECT_EQ(rows("SELECT mesa FROM lineas WHERE negocio = 'bar' UNION ALL SELECT mesa FROM lineas "
                 "WHERE negocio = 'pizza'")
                .size(),
            5u);
  EXPECT_EQ(
      rows("SELECT mesa, 1 AS item FROM lineas WHERE mesa = '7' UNION SELECT mesa, 2 AS item FROM "
           "lineas WHERE mesa = '12' ORDER BY item DESC, mesa"),
      (Rows{{"12", "2"}, {"7", "1"}}));
  EXPECT_EQ(errorOf("SELECT mesa FROM lineas UNION SELECT mesa, negocio FROM lineas"),
            jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT mesa FROM lineas UNION SELECT mesa FROM lineas ORDER BY nada"),
            jet::errc::kSyntax);
}

TEST_F(SqlSelect, ResultColumnsCarryTheirNames) {
  auto r = run("SELECT Mesa, cantidad * 2, minuto AS m, * FROM lineas WHERE id = 1");
  ASSERT_EQ(r.columns.size(), 9u);
  EXPECT_EQ(r.columns[0].name, "Mesa");
  EXPECT_EQ(r.columns[1].name, "Expr1001");
  EXPECT_EQ(r.columns[2].name, "m");
  EXPECT_EQ(r.columns[3].name, "id");
  EXPECT_EQ(r.columns[0].columnType, jet::ColumnType::Text);
  EXPECT_EQ(r.columns[1].type, jet::ValueType::Double);
  EXPECT_EQ(errorOf("SELECT nada FROM lineas"), jet::errc::kMissingParameter);
  EXPECT_EQ(errorOf("SELECT otra.mesa FROM lineas"), jet::errc::kMissingParameter);
}

// The same table, held in memory, where the reads of each statement are counted.
class SqlSelectReads : public SqlSelect {
 protected:
  bool usesMemoryDatabase() const override { return true; }
};

TEST_F(SqlSelectReads, AUnionOverOneTableReadsItOnce) {
  auto* memory = dynamic_cast<MemoryDatabase*>(db_.get());
  ASSERT_NE(memory, nullptr);
  int before = memory->scans;
  std::string sql;
  for (int t = 0; t < 40; ++t) {
    if (!sql.empty()) sql += " UNION ";
    sql += "select mesa, " + std::to_string(t + 1) +
           " as item from lineas where negocio <> 'x' and mesa = '" + std::to_string(t) + "'";
  }
  EXPECT_EQ(rows(sql + " order by item"), (Rows{{"5", "6"}, {"7", "8"}, {"12", "13"}}));
  // The filter's columns once, then the few passing rows alone.
  EXPECT_EQ(memory->scans - before, 1);
  EXPECT_EQ(memory->rowReads, 0);  // every needed column is a filter column here
}

TEST_F(SqlSelectReads, RowsPassingTheFilterAreReadWholeOnlyOnce) {
  auto* memory = dynamic_cast<MemoryDatabase*>(db_.get());
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(rows("SELECT nota, cantidad FROM lineas WHERE mesa = '5' ORDER BY id"),
            (Rows{{"sin hielo", "2"}, {"grande", "3"}}));
  EXPECT_EQ(memory->rowReads, 2);
}

}  // namespace
}  // namespace sqltest
