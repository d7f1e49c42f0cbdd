// The board's reads on real order databases: the area list, the table list,
// and the pending lines grouped by table with their waiting minutes.
#include <gtest/gtest.h>

#include "ado/error.h"
#include "order_fixture.h"

namespace {

using testdb::Linea;

const std::vector<std::string> kBarPizza = {"BAR", "PIZZA"};

TEST_F(OrderTest, WaitingMinutesCountFromTheMinuteOfOrdering) {
  db.add({.idMesa = "5", .minuto = 700, .negocio = "BAR"});
  abrir();
  hora("11:55:30");  // service minute 715
  auto mesas = pedidos.getPendientes(kBarPizza);
  EXPECT_EQ(minutosServicio, 715);
  ASSERT_EQ(mesas.size(), 1u);
  auto bar = *mesas[0].getArea("BAR").comandas;
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].tiempo(), 15);
}

TEST_F(OrderTest, TablesComeOldestWaitingLineFirstEachOnceWithEveryArea) {
  db.add({.idMesa = "2", .minuto = 720, .nombre = "Caña", .negocio = "BAR"});
  db.add({.idMesa = "9", .minuto = 705, .nombre = "Margarita", .negocio = "PIZZA"});
  db.add({.idMesa = "2", .minuto = 690, .nombre = "Napolitana", .negocio = "PIZZA"});
  db.add({.idMesa = "9", .minuto = 730, .nombre = "Vermut", .negocio = "BAR"});
  db.add({.idMesa = "4", .minuto = 600, .negocio = "BAR", .despCoc = "S"});  // dispatched
  db.add({.idMesa = "6", .minuto = 600, .negocio = "BAR", .estado = "Cerrado"});
  abrir();
  hora("12:30:00");

  EXPECT_EQ(pedidos.getMesas(kBarPizza), (std::vector<std::string>{"2", "9"}));
  auto mesas = pedidos.getPendientes(kBarPizza);
  ASSERT_EQ(mesas.size(), 2u);
  for (const auto& m : mesas) {
    ASSERT_EQ(m.areas().size(), 2u);
    EXPECT_EQ(m.areas()[0].area, "BAR");
    EXPECT_EQ(m.areas()[1].area, "PIZZA");
  }
  EXPECT_EQ(mesas[0].mesa(), "2");
  EXPECT_EQ(mesas[0].getArea("BAR").comandas->at(0).Nombre(), "Caña");
  EXPECT_EQ(mesas[0].getArea("PIZZA").comandas->at(0).Nombre(), "Napolitana");
  EXPECT_EQ(mesas[1].mesa(), "9");
  EXPECT_EQ(mesas[1].getArea("BAR").comandas->at(0).Nombre(), "Vermut");
  EXPECT_EQ(mesas[1].getArea("PIZZA").comandas->at(0).Nombre(), "Margarita");
}

TEST_F(OrderTest, AnAreaEntryExistsEvenWithoutLines) {
  db.add({.idMesa = "3", .negocio = "PIZZA"});
  abrir();
  auto mesas = pedidos.getPendientes({"BAR", "PIZZA", "COCINA"});
  ASSERT_EQ(mesas.size(), 1u);
  ASSERT_EQ(mesas[0].areas().size(), 3u);
  EXPECT_TRUE(mesas[0].getArea("BAR").comandas->empty());
  EXPECT_EQ(mesas[0].getArea("PIZZA").comandas->size(), 1u);
  EXPECT_EQ(mesas[0].getArea("COCINA").area, "COCINA");
}

TEST_F(OrderTest, ALineOfAnAreaInsideTheJoinedNamesIsReadAndDropped) {
  // "RPI" occurs in "BARPIZZA": it passes both filters but has no column.
  db.add({.idMesa = "8", .minuto = 700, .nombre = "Raro", .negocio = "RPI"});
  db.add({.idMesa = "8", .minuto = 701, .nombre = "Cerveza", .negocio = "BAR"});
  db.add({.idMesa = "1", .minuto = 650, .nombre = "Solo raro", .negocio = "RPI"});
  abrir();
  auto mesas = pedidos.getPendientes(kBarPizza);
  // Table 1 has only the dropped line: no group carries it.
  ASSERT_EQ(mesas.size(), 2u);
  EXPECT_EQ(mesas[0].mesa(), "1");
  for (const auto& a : mesas[0].areas()) EXPECT_TRUE(a.comandas->empty());
  EXPECT_EQ(mesas[1].mesa(), "8");
  ASSERT_EQ(mesas[1].getArea("BAR").comandas->size(), 1u);
  EXPECT_EQ(mesas[1].getArea("BAR").comandas->at(0).Nombre(), "Cerveza");
  EXPECT_TRUE(mesas[1].getArea("PIZZA").comandas->empty());
}

TEST_F(OrderTest, NothingPendingGivesNoGroupsAndOneEmptyTableNumber) {
  db.add({.idMesa = "3", .negocio = "COCINA"});
  abrir();
  EXPECT_TRUE(pedidos.getPendientes(kBarPizza).empty());
  EXPECT_EQ(pedidos.getMesas(kBarPizza), std::vector<std::string>{""});
}

TEST(LineStatement, OneTableHasNoUnionAndOrdersByArea) {
  std::string s = ordenes::sentenciaLineas(715, {"5"}, "BARPIZZA");
  EXPECT_EQ(s,
            " select IdMesa, cantidad, 715 - IDPRODUCTO as tiempo, Nombreproducto, IdComanda, "
            "tin, Negocio, Detalle, despcoc, 1 as item from Comandas Where DespCoc <> 'S' AND "
            "estado = 'Pendiente' AND idMesa = '5'  and 'BARPIZZA' like '%' + negocio + '%'   "
            "order by Negocio ");
}

TEST(LineStatement, ThreeTablesCarryTheirPositionsAndOrderByItFirst) {
  std::string s = ordenes::sentenciaLineas(715, {"7", "2", "11"}, "BAR");
  EXPECT_NE(s.find("1 as item from Comandas Where DespCoc <> 'S' AND estado = 'Pendiente' AND "
                   "idMesa = '7'"),
            std::string::npos);
  EXPECT_NE(s.find("2 as item from Comandas Where DespCoc <> 'S' AND estado = 'Pendiente' AND "
                   "idMesa = '2'"),
            std::string::npos);
  EXPECT_NE(s.find("3 as item from Comandas Where DespCoc <> 'S' AND estado = 'Pendiente' AND "
                   "idMesa = '11'"),
            std::string::npos);
  EXPECT_EQ(s.substr(s.size() - 25), "  order by item, Negocio ");
  int unions = 0;
  for (size_t at = s.find(" UNION "); at != std::string::npos; at = s.find(" UNION ", at + 1))
    ++unions;
  EXPECT_EQ(unions, 2);
  // A table without a number takes no position of its own.
  std::string sinNumero = ordenes::sentenciaLineas(715, {"", "4"}, "BAR");
  EXPECT_NE(sinNumero.find("0 as item"), std::string::npos);
  EXPECT_NE(sinNumero.find("1 as item"), std::string::npos);
  EXPECT_EQ(sinNumero.substr(sinNumero.size() - 19), "  order by Negocio ");
}

TEST(TableListStatement, IsTheTextTheBoardSends) {
  EXPECT_EQ(ordenes::sentenciaMesas("BARPIZZA"),
            "SELECT idmesa, min(idproducto) From comandas where Estado = 'Pendiente' and "
            "DespCoc <> 'S' and Instr (1, 'BARPIZZA', negocio) > 0 group by idmesa order by "
            "min(idproducto) ");
}

TEST_F(OrderTest, ThreeTablesRunAsOneStatementAndStayInTableListOrder) {
  db.add({.idMesa = "11", .minuto = 702, .nombre = "c", .negocio = "BAR"});
  db.add({.idMesa = "7", .minuto = 700, .nombre = "a", .negocio = "PIZZA"});
  db.add({.idMesa = "2", .minuto = 701, .nombre = "b", .negocio = "BAR"});
  db.add({.idMesa = "7", .minuto = 703, .nombre = "d", .negocio = "BAR"});
  abrir();
  auto mesas = pedidos.getPendientes(kBarPizza);
  ASSERT_EQ(mesas.size(), 3u);
  EXPECT_EQ(mesas[0].mesa(), "7");
  EXPECT_EQ(mesas[1].mesa(), "2");
  EXPECT_EQ(mesas[2].mesa(), "11");
  EXPECT_EQ(mesas[0].getArea("BAR").comandas->size(), 1u);
  EXPECT_EQ(mesas[0].getArea("PIZZA").comandas->size(), 1u);
}

TEST_F(OrderTest, AQuoteInAnAreaOrTableNumberIsTheSameValueInTheStatement) {
  db.add({.idMesa = "T'1", .minuto = 700, .nombre = "Tapa", .negocio = "D'LUIS"});
  db.add({.idMesa = "3", .minuto = 705, .nombre = "Otra", .negocio = "BAR"});
  abrir();
  // A quote that closed the literal early would make "' OR '" a condition.
  const std::vector<std::string> areas = {"D'LUIS", "BAR"};
  EXPECT_EQ(pedidos.getMesas(areas), (std::vector<std::string>{"T'1", "3"}));
  auto mesas = pedidos.getPendientes(areas);
  ASSERT_EQ(mesas.size(), 2u);
  EXPECT_EQ(mesas[0].mesa(), "T'1");
  ASSERT_EQ(mesas[0].getArea("D'LUIS").comandas->size(), 1u);
  EXPECT_EQ(mesas[0].getArea("D'LUIS").comandas->at(0).Nombre(), "Tapa");
  EXPECT_NE(ordenes::sentenciaMesas("D'LUIS").find("'D''LUIS'"), std::string::npos);
  // An area text crafted to widen the filter stays one literal and matches nothing.
  EXPECT_TRUE(pedidos.getPendientes({"X', negocio) > 0 or Instr(1, 'B"}).empty());
}

TEST_F(OrderTest, NullTextsReadEmptyAndLongWaitsAreHeldAtTheRangesEnd) {
  int32_t id = db.add({.idMesa = "1",
                       .minuto = -40000,
                       .nombre = std::nullopt,
                       .negocio = "BAR",
                       .detalle = std::nullopt,
                       .tin = std::nullopt});
  db.add({.idMesa = "1", .minuto = 40000, .nombre = "Futuro", .negocio = "BAR"});
  abrir();
  hora("11:55:00");
  auto mesas = pedidos.getPendientes({"BAR"});
  ASSERT_EQ(mesas.size(), 1u);
  const auto& lineas = *mesas[0].getArea("BAR").comandas;
  ASSERT_EQ(lineas.size(), 2u);
  for (const auto& l : lineas) {
    if (l.idComanda() == id) {
      EXPECT_EQ(l.Nombre(), "");
      EXPECT_EQ(l.Detalle(), "");
      EXPECT_EQ(l.tin(), "");
      EXPECT_EQ(l.despcoc(), "Y");
      EXPECT_EQ(l.tiempo(), 32767);
    } else {
      EXPECT_EQ(l.tiempo(), -32768);
    }
  }
}

TEST_F(OrderTest, TheRecordCarriesEveryColumnOfTheLine) {
  int32_t id = db.add({.idMesa = "14",
                       .minuto = 710,
                       .nombre = "Paella",
                       .cantidad = 2.5,
                       .negocio = "COCINA",
                       .detalle = "sin gambas",
                       .despCoc = "P"});
  abrir();
  hora("12:00:00");
  auto mesas = pedidos.getPendientes({"COCINA"});
  ASSERT_EQ(mesas.size(), 1u);
  const clsComanda& l = mesas[0].getArea("COCINA").comandas->at(0);
  EXPECT_EQ(l.idMesa(), "14");
  EXPECT_DOUBLE_EQ(l.cantidad(), 2.5);
  EXPECT_EQ(l.tiempo(), 10);
  EXPECT_EQ(l.Nombre(), "Paella");
  EXPECT_EQ(l.idComanda(), id);
  EXPECT_EQ(l.area(), "COCINA");
  EXPECT_EQ(l.Detalle(), "sin gambas");
  EXPECT_EQ(l.tin(), "O");
  EXPECT_EQ(l.despcoc(), "P");
}

TEST_F(OrderTest, GetAreasGivesAtMostEightAndNeverNN) {
  for (const char* a : {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9"}) {
    db.addProducto(std::string("p") + a, a);
    db.addProducto(std::string("q") + a, a);
  }
  db.addProducto("servilleta", "NN");
  db.addProducto("sin area", std::nullopt);
  abrir();
  EXPECT_EQ(pedidos.getAreas(),
            (std::vector<std::string>{"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8"}));
}

TEST_F(OrderTest, GetAreasWithoutProductsGivesOneEmptyName) {
  db.addProducto("servilleta", "NN");
  abrir();
  EXPECT_EQ(pedidos.getAreas(), std::vector<std::string>{""});
}

TEST_F(OrderTest, AReadWithoutTheConnectionRaises) {
  abrir();
  conexion = nullptr;
  EXPECT_THROW(pedidos.getPendientes(kBarPizza), ado::ComError);
}

}  // namespace
