// The statements the kitchen board and the connection object send, each
// built by the order code that sends them (orders/clsComanda.h) and run on
// an order database made by the engine: the area list, the table list, the
// line statement of one and of three tables, the four kitchen marks, the
// dispatched list, the control row's date, the identity and the pending
// totals. Each answers the rows the kitchen expects from it.
#include <string>

#include "jet/sql_test_support.h"
#include "orders/clsComanda.h"

namespace sqltest {
namespace {

class BoardStatements : public SqlTest {
 protected:
  void SetUp() override {
    SqlTest::SetUp();
    run("CREATE TABLE PRODUCTOS (IDPRODUCTO COUNTER PRIMARY KEY, NOMBRE TEXT(100), NEGOCIO "
        "TEXT(50))");
    // Nine areas besides NN: the board shows only the first eight.
    for (const char* area :
         {"PIZZA", "NN", "BAR", "COCINA", "A", "B", "NN", "D", "E", "F", "POSTRES", "BAR"})
      run("INSERT INTO PRODUCTOS (NOMBRE, NEGOCIO) VALUES ('x', ?)", {jet::Value::text(area)});

    // The control row's fecha is held as text here, so the date reads back
    // exactly as written.
    run("CREATE TABLE COMANDAS (idComanda COUNTER PRIMARY KEY, idMesa TEXT(10), IDPRODUCTO LONG, "
        "NombreProducto TEXT(100), cantidad DOUBLE, Negocio TEXT(50), Detalle TEXT(120), "
        "detalle1 TEXT(120), detalle2 TEXT(120), nick TEXT(50), Estado TEXT(20), CONCEPTO "
        "TEXT(20), DespCoc TEXT(1), tin TEXT(1), tdc LONG, desp TEXT(1), tdm TEXT(20), fecha "
        "TEXT(30))");

    struct Line {
      const char* mesa;
      int minuto;
      const char* producto;
      double cantidad;
      const char *negocio, *estado, *concepto, *despCoc, *tin;
    };
    const Line lines[] = {
        {"5", 700, "Cerveza", 2, "BAR", "Pendiente", "Ventas", "Y", "O"},   // 1
        {"5", 705, "Pizza", 1, "PIZZA", "Pendiente", "Ventas", "P", "X"},   // 2
        {"7", 690, "Cerveza", 3, "BAR", "Pendiente", "Ventas", "Y", "X"},   // 3
        {"9", 710, "Sopa", 1, "COCINA", "Pendiente", "Ventas", "Y", "X"},   // 4: area not shown
        {"12", 695, "Pizza", 1, "PIZZA", "Pendiente", "Ventas", "S", "X"},  // 5: dispatched
        {"3", 680, "Vino", 1, "bar", "Cerrada", "Ventas", "Y", "X"},        // 6: order closed
        {"8", 712, "Rpi", 1, "RPI", "Pendiente", "Ventas", "Y", "X"},       // 7: inside BARPIZZA
        {"0", 0, "Registro de Control", 0, "NN", "Cerrada", "Control", "S", "X"},  // 8: control row
        {"7", 701, "Pizza", 2, "PIZZA", "Pendiente", "Ventas", "Y", "X"},          // 9
        {"4", 650, "Sopa", 1, nullptr, "Pendiente", "Ventas", "Y", "X"},           // 10: no area
    };
    for (const Line& l : lines) {
      run("INSERT INTO COMANDAS (idMesa, IDPRODUCTO, NombreProducto, cantidad, Negocio, Estado, "
          "CONCEPTO, "
          "DespCoc, tin, tdc, Detalle, fecha) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?)",
          {jet::Value::text(l.mesa), jet::Value::longValue(l.minuto), jet::Value::text(l.producto),
           jet::Value::dbl(l.cantidad), l.negocio ? jet::Value::text(l.negocio) : jet::Value(),
           jet::Value::text(l.estado), jet::Value::text(l.concepto), jet::Value::text(l.despCoc),
           jet::Value::text(l.tin), jet::Value::text(std::string("nota ") + l.producto),
           jet::Value::text(std::string(l.producto) == "Registro de Control" ? "08/12/2026" : "")});
    }
  }
};

TEST_F(BoardStatements, AreaListIsTheFirstEightAreasInKeyOrder) {
  EXPECT_EQ(rows(ordenes::sentenciaAreas()),
            (Rows{{"A"}, {"B"}, {"BAR"}, {"COCINA"}, {"D"}, {"E"}, {"F"}, {"PIZZA"}}));
}

TEST_F(BoardStatements, TableListOrdersTablesByTheirOldestWaitingLine) {
  std::string sql = ordenes::sentenciaMesas("BARPIZZA");
  EXPECT_EQ(rows(sql), (Rows{{"7", "690"}, {"5", "700"}, {"8", "712"}}));
  auto r = run(sql);
  EXPECT_EQ(r.columns[0].name, "idmesa");
  EXPECT_EQ(rows(ordenes::sentenciaMesas("POSTRES")), Rows{});
}

TEST_F(BoardStatements, LineStatementOfThreeTablesComesByItemThenArea) {
  std::string sql = ordenes::sentenciaLineas(715, {"7", "5", "8"}, "BARPIZZA");
  auto r = run(sql);
  ASSERT_EQ(r.columns.size(), 10u);
  EXPECT_EQ(r.columns[2].name, "tiempo");
  EXPECT_EQ(r.columns[9].name, "item");
  EXPECT_EQ(rows(sql), (Rows{
                           {"7", "3", "25", "Cerveza", "3", "X", "BAR", "nota Cerveza", "Y", "1"},
                           {"7", "2", "14", "Pizza", "9", "X", "PIZZA", "nota Pizza", "Y", "1"},
                           {"5", "2", "15", "Cerveza", "1", "O", "BAR", "nota Cerveza", "Y", "2"},
                           {"5", "1", "10", "Pizza", "2", "X", "PIZZA", "nota Pizza", "P", "2"},
                           {"8", "1", "3", "Rpi", "7", "X", "RPI", "nota Rpi", "Y", "3"},
                       }));
}

TEST_F(BoardStatements, LineStatementOfOneTableOrdersByArea) {
  std::string sql = ordenes::sentenciaLineas(715, {"5"}, "PIZZABAR");
  EXPECT_EQ(sql.find(" UNION "), std::string::npos);
  EXPECT_EQ(rows(sql), (Rows{
                           {"5", "2", "15", "Cerveza", "1", "O", "BAR", "nota Cerveza", "Y", "1"},
                           {"5", "1", "10", "Pizza", "2", "X", "PIZZA", "nota Pizza", "P", "1"},
                       }));
}

TEST_F(BoardStatements, KitchenMarksMoveOnlyLinesInTheExpectedState) {
  auto mark1 = [](const char* id) { return ordenes::sentenciaPrimeraMarca(id); };
  auto mark2 = [](const char* id) { return ordenes::sentenciaSegundaMarca(id); };
  auto sendBack = [](const char* id) { return ordenes::sentenciaDevolver(id); };
  auto announced = [](const char* id) { return ordenes::sentenciaDesmarcarNuevo(id); };
  auto p = [](int minute, const char* state) {
    return std::vector<jet::Value>{jet::Value::longValue(minute), jet::Value::text(state),
                                   jet::Value::text("S")};
  };
  const std::string line1 = "SELECT DespCoc, tdc, desp, tin FROM COMANDAS WHERE idComanda = 1";

  EXPECT_EQ(run(mark2("1"), p(715, "S")).rowsAffected,
            0);  // still Y: the second mark doesn't apply
  EXPECT_EQ(run(mark1("1"), p(715, "P")).rowsAffected, 1);
  EXPECT_EQ(rows(line1), (Rows{{"P", "15", "S", "O"}}));
  EXPECT_EQ(run(mark1("1"), p(720, "P")).rowsAffected, 0);  // already marked once
  EXPECT_EQ(run(mark2("1"), p(730, "S")).rowsAffected, 1);
  EXPECT_EQ(rows(line1), (Rows{{"S", "30", "S", "O"}}));
  EXPECT_EQ(run(sendBack("1")).rowsAffected, 1);
  EXPECT_EQ(rows(line1), (Rows{{"Y", "0", "S", "O"}}));
  EXPECT_EQ(run(sendBack("3")).rowsAffected, 0);            // not dispatched
  EXPECT_EQ(run(mark1("6"), p(715, "P")).rowsAffected, 0);  // order closed
  EXPECT_EQ(run(sendBack("8")).rowsAffected, 1);            // sent back whatever its Estado
  EXPECT_EQ(run(announced("1")).rowsAffected, 1);
  EXPECT_EQ(rows(line1), (Rows{{"Y", "0", "S", "X"}}));
  EXPECT_EQ(run(announced("999")).rowsAffected, 0);
}

TEST_F(BoardStatements, DispatchedListAndControlDate) {
  auto r = run(ordenes::sentenciaDespachados());
  ASSERT_EQ(r.rows.size(), 1u);
  ASSERT_EQ(r.columns.size(), 18u);
  EXPECT_EQ(r.columns[1].name, "idMesa");
  EXPECT_EQ(r.rows[0][0], jet::Value::longValue(5));
  EXPECT_EQ(rows(ordenes::sentenciaFechaSistema()), (Rows{{"08/12/2026"}}));
}

TEST_F(BoardStatements, PendingTotalsAndIdentity) {
  std::string totals = ordenes::sentenciaAcumuladoPendientes();
  EXPECT_EQ(rows(totals), (Rows{{"5", "Cerveza"}, {"2", "Pizza"}, {"1", "Rpi"}, {"2", "Sopa"}}));
  auto r = run(totals);
  EXPECT_EQ(r.columns[0].name, "C");
  EXPECT_EQ(r.columns[1].name, "NOMBRE");

  EXPECT_EQ(value("SELECT @@Identity AS ClientID"), jet::Value::longValue(10));
  EXPECT_FALSE(session_->execute("INSERT INTO COMANDAS (nada) VALUES (1)").isOk());
  // A failed insert takes no number: the identity is still the last good one.
  EXPECT_EQ(value("SELECT @@Identity AS ClientID"), jet::Value::longValue(10));
}

}  // namespace
}  // namespace sqltest
