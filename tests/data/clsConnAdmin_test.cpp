// The connection object on real files made by the engine: the provider
// rule, opening and closing, the table check, the transactions, Query and
// comando with their binding and failure report, Insert and its identity.
#include "data/clsConnAdmin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "ado/error.h"
#include "data/ModuleRecordSet.h"
#include "data/order_database.h"
#include "data/recording_reporter.h"
#include "jet/database.h"
#include "jet/error_codes.h"

namespace {

using ado::Variant;

class ConnAdminTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = std::make_unique<clsConnAdmin>(testdb::writeOrderFile(
        dir.file("ventas.mdb"), {{.idMesa = "12", .minuto = 700, .nombre = "Tortilla"},
                                 {.idMesa = "7", .minuto = 710, .nombre = "Croquetas"}}));
  }

  int32_t count(const std::string& where) {
    auto rs = conn->Query("SELECT COUNT(*) AS n FROM COMANDAS WHERE " + where, {});
    return rs.fields("n").toLong();
  }

  testdb::TempDir dir;
  testdb::RecordingReporter reporter;
  std::unique_ptr<clsConnAdmin> conn;
};

TEST(ProviderRule, TheLastFiveCharactersChooseTheEngine) {
  EXPECT_EQ(clsConnAdmin::proveedorPara("D:\\bd\\ventas.ACCDB"), "Microsoft.ACE.OLEDB.12.0");
  EXPECT_EQ(clsConnAdmin::proveedorPara("D:\\bd\\ventas.accdb"), "Microsoft.ACE.OLEDB.12.0");
  EXPECT_EQ(clsConnAdmin::proveedorPara("ventasaccdb"), "Microsoft.ACE.OLEDB.12.0");
  EXPECT_EQ(clsConnAdmin::proveedorPara("D:\\bd\\ventas.mdb"), "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(clsConnAdmin::proveedorPara("a.md"), "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(clsConnAdmin::proveedorPara(""), "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(clsConnAdmin::proveedorPara("x.accdb.bak"), "Microsoft.Jet.OLEDB.4.0");
}

TEST(ConnAdminOpen, BothGenerationsOpenWithOnlyTheDataSourceInTheString) {
  testdb::TempDir dir;
  for (auto [name, format, provider] :
       {std::tuple{"ventas.mdb", jet::FileFormat::Jet4, "Microsoft.Jet.OLEDB.4.0"},
        std::tuple{"ventas.accdb", jet::FileFormat::Ace12, "Microsoft.ACE.OLEDB.12.0"}}) {
    testdb::OrderDatabase(dir.file(name), format).close();
    clsConnAdmin c(dir.file(name));
    ASSERT_TRUE(c.connection());
    EXPECT_EQ(c.connection()->provider(), provider);
    EXPECT_EQ(c.connection()->connectionString(), "Data Source=" + dir.file(name));
    EXPECT_EQ(c.connection()->state(), ado::adStateOpen);
    EXPECT_TRUE(c.TableExists("COMANDAS"));
  }
}

TEST(ConnAdminOpen, AMissingFileOrAnEmptyPathRaisesWithItsNumber) {
  testdb::TempDir dir;
  try {
    clsConnAdmin c(dir.file("no-existe.mdb"));
    FAIL() << "opened a file that does not exist";
  } catch (const ado::ComError& e) {
    EXPECT_LT(e.number(), 0);
    EXPECT_FALSE(e.description().empty());
  }
  EXPECT_THROW(clsConnAdmin(""), ado::ComError);
}

TEST_F(ConnAdminTest, CerrarIsFinalAndASecondCerrarRaises) {
  EXPECT_TRUE(conn->Cerrar().isEmpty());
  EXPECT_FALSE(conn->connection());
  EXPECT_THROW(conn->Cerrar(), ado::ComError);
  EXPECT_THROW(conn->Query("SELECT * FROM COMANDAS", {}), ado::ComError);
  // An update after the close is a failure too, reported like any other.
  EXPECT_EQ(conn->comando("UPDATE COMANDAS SET tin = 'X'", {}), -1);
  EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST_F(ConnAdminTest, TableExistsAsksTheFilesCatalogue) {
  EXPECT_TRUE(conn->TableExists("COMANDAS"));
  EXPECT_TRUE(conn->TableExists("productos"));
  EXPECT_FALSE(conn->TableExists("CLIENTES"));
  EXPECT_FALSE(conn->TableExists(""));
  conn->Cerrar();
  // Closed, the file is read afresh.
  EXPECT_TRUE(conn->TableExists("comandas"));
  EXPECT_FALSE(conn->TableExists("CLIENTES"));
}

TEST(ConnAdminTableExists, AFileThatCannotBeOpenedRaises) {
  testdb::TempDir dir;
  testdb::OrderDatabase(dir.file("v.mdb")).close();
  clsConnAdmin c(dir.file("v.mdb"));
  c.Cerrar();
  std::filesystem::remove(dir.file("v.mdb"));
  EXPECT_THROW(c.TableExists("COMANDAS"), ado::ComError);
}

TEST_F(ConnAdminTest, TransactionsNestAndRollBack) {
  conn->BeginTrans();
  EXPECT_EQ(conn->comando("UPDATE COMANDAS SET tin = 'X'", {}), 2);
  conn->BeginTrans();
  EXPECT_EQ(conn->comando("UPDATE COMANDAS SET DespCoc = 'P' WHERE idMesa = '7'", {}), 1);
  conn->CommitTrans();  // inner level: kept in the outer one
  EXPECT_EQ(count("DespCoc = 'P'"), 1);
  conn->RollbackTrans();
  EXPECT_EQ(count("tin = 'X' OR DespCoc = 'P'"), 0);

  conn->BeginTrans();
  EXPECT_EQ(conn->comando("UPDATE COMANDAS SET tin = 'X' WHERE idMesa = '12'", {}), 1);
  conn->CommitTrans();
  EXPECT_EQ(count("tin = 'X'"), 1);
  try {
    conn->CommitTrans();
    FAIL() << "a commit without a transaction succeeded";
  } catch (const ado::ComError& e) {
    EXPECT_EQ(e.number(), jet::errc::kNoTransaction);
  }
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(ConnAdminTest, QueryAnswersAClientStaticReadOnlyRecordsetWithItsRows) {
  auto rs = conn->Query("SELECT idMesa FROM COMANDAS ORDER BY IDPRODUCTO", {});
  EXPECT_EQ(rs.cursorLocation(), ado::adUseClient);
  EXPECT_EQ(rs.cursorType(), ado::adOpenStatic);
  EXPECT_EQ(rs.lockType(), ado::adLockReadOnly);
  EXPECT_EQ(rs.recordCount(), 2);
  EXPECT_EQ(rs.fields("IDMESA").toString(), "12");
}

TEST_F(ConnAdminTest, QueryBindsTheListInOrder) {
  // A named text, then a 32-bit number (bound as adNumeric).
  auto rs = conn->Query("SELECT NombreProducto FROM COMANDAS WHERE idMesa = ? AND IDPRODUCTO = ?",
                        {Variant("mesa::12"), Variant(int32_t{700})});
  ASSERT_FALSE(esRecordsetVacio(rs));
  EXPECT_EQ(rs.fields("NombreProducto").toString(), "Tortilla");
  // A field of another open result binds as text, read when the statement runs.
  auto mesas = conn->Query("SELECT idMesa FROM COMANDAS WHERE IDPRODUCTO = 710", {});
  auto linea =
      conn->Query("SELECT IDPRODUCTO FROM COMANDAS WHERE idMesa = ?", {mesas.fields("idMesa")});
  EXPECT_EQ(linea.fields("IDPRODUCTO").toLong(), 710);
}

TEST_F(ConnAdminTest, ASkippedElementLeavesAMarkWithoutValueAndTheReadFails) {
  try {
    conn->Query("SELECT * FROM COMANDAS WHERE idMesa = ? AND NombreProducto = ?",
                {Variant(), Variant("12")});
    FAIL() << "a statement with a mark left without value ran";
  } catch (const ado::ComError& e) {
    EXPECT_EQ(e.number(), jet::errc::kMissingParameter);
  }
  // Alone, the text moves to the first mark.
  auto rs = conn->Query("SELECT NombreProducto FROM COMANDAS WHERE idMesa = ?",
                        {Variant(), Variant("12")});
  EXPECT_EQ(rs.fields("NombreProducto").toString(), "Tortilla");
}

TEST_F(ConnAdminTest, QueryRaisesTheEnginesFailureUnchanged) {
  try {
    conn->Query("SELECT * FROM CLIENTES", {});
    FAIL();
  } catch (const ado::ComError& e) {
    EXPECT_EQ(e.number(), jet::errc::kNoTable);
  }
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(ConnAdminTest, QueryProgresFillsTheCallersClientRecordset) {
  ado::Recordset rs;
  rs.setCursorLocation(ado::adUseClient);
  EXPECT_TRUE(conn->QueryProgres("SELECT * FROM COMANDAS", rs, {}).isEmpty());
  EXPECT_EQ(rs.recordCount(), 2);
  EXPECT_EQ(rs.property("Initial Fetch Size").toLong(), 0);
  EXPECT_EQ(rs.property("Background Fetch Size").toLong(), 1);

  ado::Recordset conParametros;
  conParametros.setCursorLocation(ado::adUseClient);
  conn->QueryProgres("SELECT idMesa FROM COMANDAS WHERE IDPRODUCTO = ?", conParametros,
                     {Variant(710.0)});
  EXPECT_EQ(conParametros.fields("idMesa").toString(), "7");

  // A server-side recordset has no fetch sizes to set.
  ado::Recordset servidor;
  EXPECT_THROW(conn->QueryProgres("SELECT * FROM COMANDAS", servidor, {}), ado::ComError);
}

TEST_F(ConnAdminTest, ComandoAnswersTheRowsItChangedAndReportsNothing) {
  EXPECT_EQ(conn->comando("UPDATE COMANDAS SET tin = 'X' WHERE idMesa = 'nadie'", {}), 0);
  EXPECT_EQ(conn->comando("UPDATE COMANDAS SET tdc = ? - IDPRODUCTO, DespCoc = ? WHERE idMesa = ?",
                          {Variant(int32_t{715}), Variant("P"), Variant("12")}),
            1);
  auto rs = conn->Query("SELECT tdc, DespCoc FROM COMANDAS WHERE idMesa = '12'", {});
  EXPECT_EQ(rs.fields("tdc").toLong(), 15);
  EXPECT_EQ(rs.fields("DespCoc").toString(), "P");
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_TRUE(reporter.clipboard.empty());
}

TEST_F(ConnAdminTest, AFailedComandoCopiesTheStatementShowsTheNumberAndAnswersMinusOne) {
  const std::string sql = "UPDATE COMANDAS SET tin = 'X' WHERE";
  EXPECT_EQ(conn->comando(sql, {}), -1);
  ASSERT_EQ(reporter.clipboard.size(), 1u);
  EXPECT_EQ(reporter.clipboard[0], sql);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], "Error -2147217900 Error en el comando ejecutado");
}

TEST_F(ConnAdminTest, ABusyFileFailsWithinTheWaitAndOnlyComandoReportsIt) {
  // The point of sale in the middle of a write.
  auto pos = jet::Database::open(dir.file("ventas.mdb"));
  ASSERT_TRUE(pos && (*pos)->begin());
  const std::string sql = "UPDATE COMANDAS SET tin = 'X' WHERE idMesa = '12'";
  auto antes = std::chrono::steady_clock::now();
  EXPECT_EQ(conn->comandoReintentable(sql, {}), Escritura::Ocupada);
  EXPECT_LT(std::chrono::steady_clock::now() - antes, std::chrono::seconds(2));
  EXPECT_TRUE(reporter.messages.empty());  // the caller writes it again later
  try {
    conn->Query("SELECT tin FROM COMANDAS", {});
    ADD_FAILURE() << "read a file another program holds";
  } catch (const ado::ComError& e) {
    EXPECT_TRUE(esOcupada(e));
    EXPECT_EQ(e.number(), ado::errc::kUnspecified);
  }
  EXPECT_EQ(conn->comando(sql, {}), -1);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], "Error -2147467259 Error en el comando ejecutado");
  ASSERT_TRUE((*pos)->rollback());
  EXPECT_EQ(count("tin = 'X'"), 0);  // the busy tries wrote nothing
  EXPECT_EQ(conn->comandoReintentable(sql, {}), Escritura::Hecha);
  EXPECT_EQ(count("tin = 'X'"), 1);
  EXPECT_EQ(conn->comandoReintentable("UPDATE COMANDAS SET", {}), Escritura::Fallida);
  EXPECT_EQ(reporter.messages.size(), 2u);  // any other failure is reported
}

TEST_F(ConnAdminTest, ComandoSkipsTheTypesUpdatesDoNotBind) {
  // A date binds nothing in an update: the mark stays without a value.
  EXPECT_EQ(conn->comando("UPDATE COMANDAS SET fecha = ? WHERE idMesa = '12'",
                          {Variant::date(jet::DateTime{45000})}),
            -1);
  EXPECT_EQ(reporter.messages.size(), 1u);
  // A 32-bit float does bind in an update.
  EXPECT_EQ(conn->comando("UPDATE COMANDAS SET cantidad = ? WHERE idMesa = '12'", {Variant(2.5f)}),
            1);
  auto rs = conn->Query("SELECT cantidad FROM COMANDAS WHERE idMesa = '12'", {});
  EXPECT_DOUBLE_EQ(rs.fields("cantidad").toDouble(), 2.5);
}

TEST_F(ConnAdminTest, ValidarSqlDoublesEveryQuote) {
  EXPECT_EQ(conn->ValidarSql(Variant("D'Luis's")), "D''Luis''s");
  EXPECT_EQ(conn->ValidarSql(Variant("sin comillas")), "sin comillas");
  EXPECT_EQ(conn->ValidarSql(Variant("''")), "''''");
}

TEST_F(ConnAdminTest, InsertAnswersTheNewRowsIdentity) {
  const std::string insert =
      "INSERT INTO PRODUCTOS (NombreProducto, NEGOCIO) VALUES ('Caña', 'BAR')";
  EXPECT_EQ(conn->Insert(insert), 1);
  EXPECT_EQ(conn->Insert(insert), 2);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(ConnAdminTest, AFailedInsertAnswersZeroNotAnEarlierIdentity) {
  EXPECT_EQ(conn->Insert("INSERT INTO PRODUCTOS (NombreProducto, NEGOCIO) VALUES ('Caña', 'BAR')"),
            1);
  const std::string bad = "INSERT INTO PRODUCTOS (NombreProducto, NEGOCIO) VALUES ('Vino'";
  EXPECT_EQ(conn->Insert(bad), 0);
  // comando reported it; Insert adds no message of its own.
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], "Error -2147217900 Error en el comando ejecutado");
  EXPECT_EQ(reporter.clipboard, std::vector<std::string>{bad});
}

}  // namespace
