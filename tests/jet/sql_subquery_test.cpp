// IN (SELECT ...): the subquery's answer stands where a list would, with the
// list's three-valued logic (a NULL among the values, no values at all), in
// SELECT, UPDATE and DELETE, nested, with parameters inside and outside it,
// and the errors of a subquery of two columns or of a missing table.
#include "jet/error_codes.h"
#include "sql_test_support.h"

namespace sqltest {
namespace {

class Subqueries : public SqlTest {
 protected:
  void SetUp() override {
    SqlTest::SetUp();
    run("CREATE TABLE MESAS (idMesa TEXT(10), zona TEXT(20))");
    run("CREATE TABLE LINEAS (id LONG, idMesa TEXT(10), plato TEXT(30))");
    for (auto [mesa, zona] : {std::pair{"1", "Terraza"}, {"2", "Salon"}, {"3", "Terraza"}})
      run("INSERT INTO MESAS VALUES (?, ?)", {jet::Value::text(mesa), jet::Value::text(zona)});
    run("INSERT INTO MESAS (zona) VALUES ('Barra')");  // a table without a number
    int id = 0;
    for (const char* mesa : {"1", "2", "3", "4", "1"})
      run("INSERT INTO LINEAS VALUES (?, ?, 'Paella')",
          {jet::Value::longValue(++id), jet::Value::text(mesa)});
  }
};

TEST_F(Subqueries, TheAnswerStandsWhereAListWould) {
  EXPECT_EQ(rows("SELECT id FROM LINEAS WHERE idMesa IN (SELECT idMesa FROM MESAS WHERE zona = "
                 "'terraza') ORDER BY id"),
            (Rows{{"1"}, {"3"}, {"5"}}));
  // No values: IN is false, NOT IN true.
  EXPECT_TRUE(rows("SELECT id FROM LINEAS WHERE idMesa IN (SELECT idMesa FROM MESAS WHERE zona = "
                   "'Cocina')")
                  .empty());
  EXPECT_EQ(rows("SELECT Count(*) FROM LINEAS WHERE idMesa NOT IN (SELECT idMesa FROM MESAS "
                 "WHERE zona = 'Cocina')"),
            (Rows{{"5"}}));
  // A NULL among the values: NOT IN is never true.
  EXPECT_TRUE(rows("SELECT id FROM LINEAS WHERE idMesa NOT IN (SELECT idMesa FROM MESAS)").empty());
  EXPECT_EQ(rows("SELECT id FROM LINEAS WHERE idMesa NOT IN (SELECT idMesa FROM MESAS WHERE "
                 "idMesa IS NOT NULL)"),
            (Rows{{"4"}}));
  // Nested, and parameters before, inside and after it, in that order.
  EXPECT_EQ(rows("SELECT id FROM LINEAS WHERE id > ? AND idMesa IN (SELECT idMesa FROM MESAS "
                 "WHERE zona = ? AND idMesa IN (SELECT idMesa FROM LINEAS WHERE id < ?))",
                 {jet::Value::longValue(1), jet::Value::text("Terraza"), jet::Value::longValue(3)}),
            (Rows{{"5"}}));
}

TEST_F(Subqueries, UpdateAndDeleteTakeThemToo) {
  EXPECT_EQ(run("UPDATE LINEAS SET plato = 'Sopa' WHERE idMesa IN (SELECT idMesa FROM MESAS "
                "WHERE zona = 'Salon')")
                .rowsAffected,
            1);
  EXPECT_EQ(rows("SELECT id FROM LINEAS WHERE plato = 'Sopa'"), (Rows{{"2"}}));
  EXPECT_EQ(run("DELETE FROM LINEAS WHERE idMesa NOT IN (SELECT idMesa FROM MESAS WHERE idMesa "
                "IS NOT NULL)")
                .rowsAffected,
            1);
  EXPECT_EQ(rows("SELECT Count(*) FROM LINEAS"), (Rows{{"4"}}));
}

TEST_F(Subqueries, AnswersOneColumnFromATableThatExists) {
  EXPECT_EQ(errorOf("SELECT id FROM LINEAS WHERE idMesa IN (SELECT idMesa, zona FROM MESAS)"),
            jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT id FROM LINEAS WHERE idMesa IN (SELECT idMesa FROM NADA)"),
            jet::errc::kNoTable);
  EXPECT_EQ(errorOf("SELECT id FROM LINEAS WHERE idMesa IN (SELECT idMesa FROM MESAS"),
            jet::errc::kSyntax);
  // Nothing was changed by a failing one.
  EXPECT_EQ(errorOf("DELETE FROM LINEAS WHERE idMesa IN (SELECT idMesa, zona FROM MESAS)"),
            jet::errc::kSyntax);
  EXPECT_EQ(rows("SELECT Count(*) FROM LINEAS"), (Rows{{"5"}}));
}

}  // namespace
}  // namespace sqltest
