// The ADOX catalog: a new file in the format the connection string or the
// file's name asks for, refused over an existing file, and tables appended
// with their columns' types and their indexes as the engine then reads them.
#include "ado/catalog.h"

#include <gtest/gtest.h>

#include <functional>

#include "ado/command.h"
#include "ado/error.h"
#include "data/order_database.h"
#include "jet/database.h"
#include "jet/error_codes.h"

namespace {

int32_t errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ado::ComError& e) {
    return e.number();
  }
  return 0;
}

jet::FileFormat formatOf(const std::string& path) {
  auto db = jet::Database::open(path);
  EXPECT_TRUE(db) << (db ? "" : db.error().description);
  return db ? (*db)->format() : jet::FileFormat::Jet3;
}

TEST(CatalogCreate, TheEngineTypeOrElseTheFileNameChoosesTheFormat) {
  testdb::TempDir dir;
  ado::Catalog catalog;
  auto opened = catalog.create("Data Source=" + dir.file("a.ACCDB"));
  EXPECT_EQ(opened->state(), ado::adStateOpen);
  EXPECT_EQ(catalog.activeConnection(), opened);
  opened->close();
  EXPECT_EQ(formatOf(dir.file("a.ACCDB")), jet::FileFormat::Ace12);

  ado::Catalog().create("Data Source=" + dir.file("b.mdb"))->close();
  EXPECT_EQ(formatOf(dir.file("b.mdb")), jet::FileFormat::Jet4);

  ado::Catalog().create("Data Source=" + dir.file("c.accdb") + ";Jet OLEDB:Engine Type=5")->close();
  EXPECT_EQ(formatOf(dir.file("c.accdb")), jet::FileFormat::Jet4);
  ado::Catalog().create("Data Source=" + dir.file("d.mdb") + ";Jet OLEDB:Engine Type=6")->close();
  EXPECT_EQ(formatOf(dir.file("d.mdb")), jet::FileFormat::Ace12);
}

TEST(CatalogCreate, RefusesAnExistingFileAnUnknownEngineAndNoName) {
  testdb::TempDir dir;
  ado::Catalog().create("Data Source=" + dir.file("a.mdb"))->close();
  EXPECT_NE(errorOf([&] { ado::Catalog().create("Data Source=" + dir.file("a.mdb")); }), 0);
  EXPECT_EQ(
      errorOf([&] {
        ado::Catalog().create("Data Source=" + dir.file("b.mdb") + ";Jet OLEDB:Engine Type=9");
      }),
      ado::adErrInvalidArgument);
  EXPECT_NE(errorOf([] { ado::Catalog().create("Provider=Microsoft.Jet.OLEDB.4.0"); }), 0);
}

TEST(CatalogAppendTable, ColumnsAndIndexesReachTheFile) {
  testdb::TempDir dir;
  ado::Catalog catalog;
  catalog.create("Data Source=" + dir.file("t.mdb"));
  catalog.appendTable({"MESAS",
                       {{"id", ado::adInteger, 0, true},
                        {"nombre", ado::adVarWChar, 30},
                        {"nota", ado::adLongVarWChar},
                        {"precio", ado::adCurrency},
                        {"abierta", ado::adDate}},
                       {{"PrimaryKey", {"id"}, true}, {"porNombre", {"NOMBRE"}, false, true}}});
  catalog.activeConnection()->close();

  auto db = jet::Database::open(dir.file("t.mdb"));
  ASSERT_TRUE(db);
  auto t = (*db)->table("MESAS");
  ASSERT_TRUE(t);
  ASSERT_EQ(t->columns.size(), 5u);
  EXPECT_TRUE(t->columns[0].autoNumber);
  EXPECT_EQ(t->columns[1].type, jet::ColumnType::Text);
  EXPECT_EQ(t->columns[1].textLength(), 30);
  EXPECT_EQ(t->columns[2].type, jet::ColumnType::Memo);
  EXPECT_EQ(t->columns[3].type, jet::ColumnType::Currency);
  EXPECT_EQ(t->columns[4].type, jet::ColumnType::DateTime);
  ASSERT_EQ(t->indexes.size(), 2u);
  EXPECT_TRUE(t->indexes[0].primary);
  EXPECT_TRUE(t->indexes[1].unique);
  ASSERT_EQ(t->indexes[1].columns.size(), 1u);
  EXPECT_EQ(t->indexes[1].columns[0].column, 1);
}

TEST(CatalogAppendTable, IndexNullsAndSortOrdersReachTheFile) {
  testdb::TempDir dir;
  ado::Catalog catalog;
  catalog.create("Data Source=" + dir.file("t.accdb"));
  ado::CatalogIndex byCode{"porCodigo", {"codigo", "turno"}};
  byCode.indexNulls = ado::adIndexNullsIgnore;
  byCode.sortOrders = {ado::adSortDescending, ado::adSortAscending};
  ado::CatalogIndex byShift{"porTurno", {"turno"}};
  byShift.indexNulls = ado::adIndexNullsDisallow;
  catalog.appendTable(
      {"TURNOS", {{"codigo", ado::adVarWChar, 10}, {"turno", ado::adInteger}}, {byCode, byShift}});
  ado::CatalogIndex any{"x", {"codigo"}};
  any.indexNulls = ado::adIndexNullsIgnoreAny;
  EXPECT_EQ(errorOf([&] {
              catalog.appendTable({"OTRA", {{"codigo", ado::adInteger}}, {any}});
            }),
            ado::adErrInvalidArgument);
  catalog.activeConnection()->close();

  auto db = jet::Database::open(dir.file("t.accdb"));
  ASSERT_TRUE(db);
  auto t = (*db)->table("TURNOS");
  ASSERT_TRUE(t);
  ASSERT_EQ(t->indexes.size(), 2u);
  EXPECT_TRUE(t->indexes[0].ignoreNulls);
  EXPECT_FALSE(t->indexes[0].columns[0].ascending);
  EXPECT_TRUE(t->indexes[0].columns[1].ascending);
  EXPECT_TRUE(t->indexes[1].required);
  // The required index refuses a row without a shift.
  EXPECT_EQ(
      (*db)->insertRow("TURNOS", {jet::Value::text("a"), jet::Value::null()}).status().number(),
      jet::errc::kIntegrity);
}

TEST(CatalogAppendTable, RefusesWhatTheEngineCannotStoreAndAClosedConnection) {
  testdb::TempDir dir;
  ado::Catalog catalog;
  catalog.create("Data Source=" + dir.file("t.mdb"));
  auto refused = [&](ado::CatalogTable t) { return errorOf([&] { catalog.appendTable(t); }); };
  EXPECT_EQ(refused({"A", {{"x", ado::adVarWChar, 0}}}), ado::adErrInvalidArgument);
  EXPECT_EQ(refused({"B", {{"x", ado::adVarWChar, 256}}}), ado::adErrInvalidArgument);
  EXPECT_EQ(refused({"C", {{"x", ado::adVariant}}}), ado::adErrInvalidArgument);
  EXPECT_EQ(refused({"D", {{"x", ado::adDouble, 0, true}}}), ado::adErrInvalidArgument);
  EXPECT_EQ(refused({"E", {{"x", ado::adInteger}}, {{"ix", {"y"}}}}), ado::adErrInvalidArgument);
  catalog.activeConnection()->close();
  EXPECT_EQ(refused({"F", {{"x", ado::adInteger}}}), ado::adErrInvalidConnection);
  EXPECT_EQ(errorOf([] {
              ado::Catalog().appendTable({"G", {{"x", ado::adInteger}}});
            }),
            ado::adErrInvalidConnection);
}

}  // namespace
