// The ADO objects over the engine on files the engine made: opening and
// closing a connection, its transactions, commands with parameters, and the
// recordset's cursor, fields and properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ado/com_error_of.h"
#include "ado/command.h"
#include "ado/connection.h"
#include "ado/error.h"
#include "ado/recordset.h"
#include "data/order_database.h"
#include "jet/error_codes.h"

namespace {

using ado::Variant;

using adotest::errorOf;

class AdoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = testdb::writeOrderFile(
        dir.file("v.mdb"), {{.idMesa = "3", .minuto = 700, .nombre = "Sopa"},
                            {.idMesa = "4", .minuto = 705, .nombre = "Flan"}});
    conn = std::make_shared<ado::Connection>();
    conn->open("Data Source=" + path);
  }

  ado::Recordset read(const std::string& sql) {
    ado::Recordset rs;
    rs.setCursorLocation(ado::adUseClient);
    rs.open(sql, conn, ado::adOpenStatic, ado::adLockReadOnly);
    return rs;
  }

  testdb::TempDir dir;
  std::shared_ptr<ado::Connection> conn;
};

TEST(ConnectionString, KeysAnyCaseValuesQuotedOrPlain) {
  EXPECT_EQ(ado::connectionStringValue("Data Source=D:\\bd\\v.mdb", "Data Source"),
            "D:\\bd\\v.mdb");
  EXPECT_EQ(ado::connectionStringValue("provider=X;DATA SOURCE=\"a;b.mdb\";", "data source"),
            "a;b.mdb");
  EXPECT_EQ(ado::connectionStringValue("Provider=X", "Data Source"), "");
}

TEST_F(AdoTest, TheProviderIsKeptAndOnlyAccessProvidersOpen) {
  EXPECT_EQ(conn->state(), ado::adStateOpen);
  EXPECT_EQ(errorOf([&] { conn->setProvider("Microsoft.ACE.OLEDB.12.0"); }), ado::adErrObjectOpen);
  EXPECT_EQ(errorOf([&] { conn->open(); }), ado::adErrObjectOpen);
  conn->close();
  EXPECT_EQ(conn->state(), ado::adStateClosed);
  EXPECT_EQ(errorOf([&] { conn->close(); }), ado::adErrObjectClosed);

  conn->setProvider("Microsoft.ACE.OLEDB.12.0");
  conn->open("Data Source=" + dir.file("v.mdb"));  // the newer engine reads older files too
  EXPECT_EQ(conn->provider(), "Microsoft.ACE.OLEDB.12.0");
  conn->close();

  conn->setProvider("SQLOLEDB");
  EXPECT_EQ(errorOf([&] { conn->open("Data Source=" + dir.file("v.mdb")); }),
            ado::adErrProviderNotFound);
  EXPECT_EQ(conn->state(), ado::adStateClosed);
}

TEST_F(AdoTest, AFileThatIsNotADatabaseIsRefused) {
  {
    std::FILE* f = std::fopen(dir.file("nota.mdb").c_str(), "w");
    std::fputs("esto no es una base de datos", f);
    std::fclose(f);
  }
  ado::Connection other;
  EXPECT_LT(errorOf([&] { other.open("Data Source=" + dir.file("nota.mdb")); }), 0);
  EXPECT_EQ(other.state(), ado::adStateClosed);
}

TEST_F(AdoTest, BeginTransAnswersTheLevelAndRollbackUndoes) {
  EXPECT_EQ(conn->beginTrans(), 1);
  EXPECT_EQ(conn->beginTrans(), 2);
  ado::Command cmd;
  cmd.setActiveConnection(conn);
  cmd.setCommandText("DELETE FROM COMANDAS");
  int32_t affected = 0;
  cmd.execute(&affected);
  EXPECT_EQ(affected, 2);
  conn->commitTrans();
  conn->rollbackTrans();
  EXPECT_EQ(read("SELECT * FROM COMANDAS").recordCount(), 2);
  EXPECT_EQ(errorOf([&] { conn->rollbackTrans(); }), jet::errc::kNoTransaction);
}

TEST_F(AdoTest, ACommandBindsItsParametersByPosition) {
  ado::Command cmd;
  cmd.setActiveConnection(conn);
  cmd.setCommandText("UPDATE COMANDAS SET tdc = ? - IDPRODUCTO WHERE idMesa = ?");
  cmd.setCommandType(ado::adCmdText);
  cmd.setPrepared(true);
  // Two parameters with the same name: names mean nothing to "?" marks.
  cmd.parameters().append(
      cmd.createParameter("x", ado::adNumeric, ado::adParamInput, 0, Variant(int32_t{715})));
  cmd.parameters().append(cmd.createParameter("x", ado::adVarChar, ado::adParamInput, 2, "4"));
  int32_t affected = 0;
  cmd.execute(&affected);
  EXPECT_EQ(affected, 1);
  EXPECT_EQ(read("SELECT tdc FROM COMANDAS WHERE idMesa = '4'").fields("tdc").toLong(), 10);

  ado::Command missing;
  missing.setActiveConnection(conn);
  missing.setCommandText("SELECT * FROM COMANDAS WHERE idMesa = ?");
  EXPECT_EQ(errorOf([&] { missing.execute(); }), jet::errc::kMissingParameter);
}

TEST_F(AdoTest, ACommandWithoutAnOpenConnectionRaises) {
  ado::Command cmd;
  cmd.setCommandText("SELECT * FROM COMANDAS");
  EXPECT_EQ(errorOf([&] { cmd.execute(); }), ado::adErrInvalidConnection);
  cmd.setActiveConnection(conn);
  conn->close();
  EXPECT_EQ(errorOf([&] { cmd.execute(); }), ado::adErrInvalidConnection);
}

TEST_F(AdoTest, ARecordsetWalksItsRowsAndFindsFieldsInAnyCase) {
  auto rs = read("SELECT idMesa, NombreProducto FROM COMANDAS ORDER BY IDPRODUCTO");
  EXPECT_EQ(rs.state(), ado::adStateOpen);
  EXPECT_EQ(rs.recordCount(), 2);
  EXPECT_FALSE(rs.bof());
  Variant nombre = rs.fields("nombreproducto");
  EXPECT_STREQ(nombre.typeName(), "Field");
  EXPECT_EQ(nombre.toString(), "Sopa");
  rs.moveNext();
  EXPECT_EQ(nombre.toString(), "Flan");  // a field reads the current row
  EXPECT_EQ(rs.fields("IDMESA").toString(), "4");
  rs.moveNext();
  EXPECT_TRUE(rs.eof());
  EXPECT_EQ(errorOf([&] { (void)nombre.toString(); }), ado::adErrNoCurrentRecord);
  EXPECT_EQ(errorOf([&] { rs.moveNext(); }), ado::adErrNoCurrentRecord);
  rs.moveFirst();
  EXPECT_EQ(nombre.toString(), "Sopa");
  EXPECT_EQ(errorOf([&] { (void)rs.fields("precio"); }), ado::adErrItemNotFound);

  rs.close();
  EXPECT_EQ(errorOf([&] { (void)rs.eof(); }), ado::adErrObjectClosed);
  EXPECT_EQ(errorOf([&] { (void)nombre.toString(); }), ado::adErrObjectClosed);
}

TEST_F(AdoTest, AnEmptyResultIsAtBothEnds) {
  auto rs = read("SELECT * FROM COMANDAS WHERE idMesa = 'nadie'");
  EXPECT_TRUE(rs.eof());
  EXPECT_TRUE(rs.bof());
  EXPECT_EQ(rs.recordCount(), 0);
  EXPECT_EQ(errorOf([&] { rs.moveFirst(); }), ado::adErrNoCurrentRecord);
}

TEST_F(AdoTest, AStatementWithoutRowsLeavesTheRecordsetClosed) {
  ado::Recordset rs;
  rs.open("UPDATE COMANDAS SET tin = 'X'", conn);
  EXPECT_EQ(rs.state(), ado::adStateClosed);
  EXPECT_EQ(read("SELECT * FROM COMANDAS WHERE tin = 'X'").recordCount(), 2);
}

}  // namespace

namespace {

// The TABLE_NAME and TABLE_TYPE of every row of a tables schema.
std::vector<std::pair<std::string, std::string>> tablesOf(ado::Recordset rs) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (; !rs.eof(); rs.moveNext())
    rows.emplace_back(rs.fields("TABLE_NAME").toString(), rs.fields("table_type").toString());
  return rows;
}

TEST_F(AdoTest, TheTablesSchemaListsUserAndSystemTablesAndFiltersByNameAndType) {
  auto all = tablesOf(conn->openSchema(ado::adSchemaTables));
  using Row = std::pair<std::string, std::string>;
  EXPECT_NE(std::find(all.begin(), all.end(), Row("COMANDAS", "TABLE")), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), Row("PRODUCTOS", "TABLE")), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), Row("MSysObjects", "SYSTEM TABLE")), all.end());

  // A name is found as Access finds it and answered as the file keeps it.
  EXPECT_EQ(tablesOf(conn->openSchema(ado::adSchemaTables, {Variant(), Variant(), "comandas"})),
            std::vector<Row>{Row("COMANDAS", "TABLE")});
  EXPECT_TRUE(
      tablesOf(conn->openSchema(ado::adSchemaTables, {Variant(), Variant(), "CLIENTES"})).empty());
  EXPECT_TRUE(tablesOf(conn->openSchema(ado::adSchemaTables, {Variant(), Variant(), ""})).empty());
  EXPECT_TRUE(tablesOf(conn->openSchema(ado::adSchemaTables,
                                        {Variant(), Variant(), "COMANDAS", "SYSTEM TABLE"}))
                  .empty());
  for (const auto& [name, type] :
       tablesOf(conn->openSchema(ado::adSchemaTables, {Variant::null(), Variant::null(),
                                                       Variant::null(), "system table"})))
    EXPECT_EQ(type, "SYSTEM TABLE") << name;

  EXPECT_EQ(errorOf([&] { conn->openSchema(4); }), ado::adErrFeatureNotAvailable);
  conn->close();
  EXPECT_EQ(errorOf([&] { conn->openSchema(ado::adSchemaTables); }), ado::adErrObjectClosed);
}

TEST_F(AdoTest, AReadOnlyConnectionReadsButWritesNothing) {
  EXPECT_EQ(errorOf([&] { conn->setMode(ado::adModeRead); }), ado::adErrObjectOpen);
  conn->close();
  conn->setMode(ado::adModeRead);
  conn->open();
  EXPECT_EQ(read("SELECT * FROM COMANDAS").recordCount(), 2);
  ado::Command cmd;
  cmd.setActiveConnection(conn);
  cmd.setCommandText("DELETE FROM COMANDAS");
  EXPECT_NE(errorOf([&] { cmd.execute(); }), 0);
  conn->close();
  conn->setMode(ado::adModeUnknown);
  conn->open();
  EXPECT_EQ(read("SELECT * FROM COMANDAS").recordCount(), 2);
}

}  // namespace
