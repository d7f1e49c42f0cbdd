// The demo database and the simulated point of sale: the tables, columns
// and rows the kitchen board expects, read back by mdb-export.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "ado/connection.h"
#include "demo/demo_database.h"
#include "demo/point_of_sale.h"
#include "support/fixtures.h"

namespace {

namespace fs = std::filesystem;

std::string run(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class DemoDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    if (run("command -v mdb-export").empty())
      return cocina::test::skipOrFailMissing("mdbtools is not installed");
    dir = fs::temp_directory_path() / ("cocina-demo-" + std::to_string(getpid()));
    fs::create_directories(dir);
    path = (dir / "demo.accdb").string();
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
  std::string path;
};

TEST_F(DemoDatabase, HoldsTheMenuOpenTablesAndHistoryAsAPointOfSaleLeavesThem) {
  demo::DemoOptions options;
  options.history = 500;
  options.serviceMinute = [] { return 745; };
  ASSERT_TRUE(demo::buildDemoDatabase(path, options));
  EXPECT_FALSE(demo::buildDemoDatabase(path, options)) << "overwrote the file";
  std::string productos = run("mdb-export " + path + " PRODUCTOS");
  for (const char* area : {"COCINA", "PARRILLA", "BAR", "POSTRES", "CAFETERIA", "\"NN\""}) {
    EXPECT_NE(productos.find(area), std::string::npos) << area;
  }
  EXPECT_EQ(count(productos, "\n"), 1 + demo::menu().size());
  std::string comandas = run("mdb-export -Q -d '|' " + path + " COMANDAS");
  EXPECT_EQ(count(comandas, "|Registro de Control|"), 1u);
  EXPECT_GE(count(comandas, "|Pendiente|Ventas|Y|O|"), 1u);
  EXPECT_GE(count(comandas, "|Pendiente|Ventas|Y|X|"), 1u);
  EXPECT_GE(count(comandas, "|Pendiente|Ventas|P|X|"), 1u);
  EXPECT_GE(count(comandas, "|Pendiente|Ventas|S|X|"), 1u);
  EXPECT_EQ(
      count(comandas, "|Cobrado|") + count(comandas, "|Cerrado|") + count(comandas, "|Anulado|"),
      500u);
  EXPECT_GE(count(comandas, "\r\n"), 1u) << "no detail with CR LF";
  EXPECT_EQ(count(comandas, "|Pendiente|Ventas|") + 0,
            count(comandas, "|-") - count(comandas, "|Cobrado|") - count(comandas, "|Cerrado|") -
                count(comandas, "|Anulado|"))
      << "every sale line has a negative quantity";
}

TEST_F(DemoDatabase, ThePointOfSaleAddsWaitingLinesAndClosesTables) {
  demo::DemoOptions options;
  options.history = 0;
  options.serviceMinute = [] { return 745; };
  ASSERT_TRUE(demo::buildDemoDatabase(path, options));
  auto db = std::make_shared<ado::Connection>();
  ASSERT_NO_THROW(db->open("Data Source=" + path));
  demo::PointOfSale pos(db, 3, 7, [] { return 801; });
  int32_t last = 0;
  for (int i = 0; i < 20; ++i) {
    int32_t id = 0;
    ASSERT_NO_THROW(id = pos.addLine());
    EXPECT_GT(id, last);
    last = id;
  }
  int closed = 0;
  ASSERT_NO_THROW(closed = pos.closeTable("2"));
  db->close();
  std::string comandas = run("mdb-export -Q -d '|' " + path + " COMANDAS");
  EXPECT_EQ(count(comandas, "|801|"), 20u) << "IDPRODUCTO is the service minute";
  EXPECT_EQ(count(comandas, "|Cobrado|"), static_cast<size_t>(closed));
  EXPECT_EQ(count(comandas, "|TPV|"), 20u);
}

// The rows a statement answers.
int rowsOf(const std::shared_ptr<ado::Connection>& db, const std::string& sql) {
  ado::Recordset rs;
  rs.open(sql, db);
  int n = 0;
  for (; !rs.eof(); rs.moveNext()) ++n;
  return n;
}

TEST_F(DemoDatabase, ABusyServiceHasItsAreasTablesDispatchedLinesAndLongTexts) {
  // The usual demo's menu is the five-area menu, product for product.
  std::vector<demo::Product> five = demo::menuWithAreas(demo::kMenuKitchenAreas);
  ASSERT_EQ(five.size(), demo::menu().size());
  for (size_t i = 0; i < five.size(); ++i) EXPECT_STREQ(five[i].nombre, demo::menu()[i].nombre);

  demo::DemoOptions options;
  options.history = 0;
  options.serviceMinute = [] { return 745; };
  options.areas = 8;
  options.tables = 60;
  options.dispatched = 40;
  options.longTexts = true;
  ASSERT_TRUE(demo::buildDemoDatabase(path, options));
  auto db = std::make_shared<ado::Connection>();
  ASSERT_NO_THROW(db->open("Data Source=" + path));
  auto rows = [&](const std::string& sql) { return rowsOf(db, sql); };
  const std::string abiertas = "SELECT idComanda FROM COMANDAS WHERE Estado = 'Pendiente' AND ";
  EXPECT_EQ(rows("SELECT NEGOCIO FROM PRODUCTOS WHERE NEGOCIO <> 'NN' GROUP BY NEGOCIO"), 8);
  EXPECT_EQ(rows("SELECT idMesa FROM COMANDAS WHERE Estado = 'Pendiente' GROUP BY idMesa"), 60);
  EXPECT_EQ(rows(abiertas + "DespCoc = 'S'"), 40);
  // Open lines in the three added areas; every name long, details long too.
  EXPECT_GT(rows(abiertas + "NEGOCIO IN ('HORNO', 'PLANCHA', 'MARISCOS')"), 0);
  EXPECT_EQ(rows(abiertas + "LEN(NombreProducto) < 40"), 0);
  EXPECT_GT(rows(abiertas + "LEN(Detalle) > 60"), 0);
  db->close();

  // Out of range: refused, and no file left behind.
  fs::remove(path);
  options.areas = 9;
  EXPECT_FALSE(demo::buildDemoDatabase(path, options));
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
