// The board on a kitchen machine set up in Spanish: the C locale the
// windowing toolkit takes from the environment has the comma as decimal
// separator, and the board still shows a quantity of one and a half as 1.5,
// in the pending cells and in the dispatched list, and still reads back the
// line a click names.
#include <gtest/gtest.h>

#include "board/base_de_prueba.h"
#include "board/tablero.h"
#include "support/locale.h"
#include "ui/qt_text_measurer.h"

namespace board {
namespace {

class TableroEnEspanol : public ::testing::Test {
 protected:
  TableroEnEspanol() : tablero([this] { return base.abrir(); }, sonido, ui::qtTextMeasurer()) {}
  void SetUp() override { cocina::test::requireCommaLocale(espanol); }

  cocina::test::ScopedLocale espanol{cocina::test::kSpanishLocale};
  BaseDePrueba base;
  SonidoGrabado sonido;
  Tablero tablero;
};

TEST_F(TableroEnEspanol, QuantitiesWithDecimalsShowWithThePointAndClicksFindTheirLine) {
  int32_t id = base.agregar({.mesa = "7", .tiempo = 15, .cantidad = -1.5});
  tablero.Form_Load();
  tablero.Form_Resize(12000, 9000);
  tablero.cmdVer[0].down = true;
  tablero.cmdVer_Click(0);
  ASSERT_EQ(tablero.msgListaPendientes.count(), 2);
  ui::FlexGridModel& g = tablero.msgListaPendientes[1];
  EXPECT_EQ(g.text(0, 1),
            "15 Minutos\r\n1.5 Cafe" + Tablero::saltosOcultos() + "Cod: " + std::to_string(id));
  g.setCol(1);
  g.setRow(0);
  tablero.msgListaPendientes_Click(1);
  EXPECT_EQ(base.columna(id, "DespCoc").asText(), "P");
}

TEST_F(TableroEnEspanol, TheDispatchedListShowsQuantitiesWithThePoint) {
  base.agregarDespachada({.idMesa = "4", .nombre = "Cafe", .cantidad = -2.5, .tdc = 12});
  base.agregarDespachada({.idMesa = "5", .nombre = "Te", .cantidad = 0.25, .tdc = 3});
  tablero.Form_Load();
  tablero.Form_Resize(12000, 9000);
  tablero.cmdServido_Click();
  ASSERT_EQ(tablero.msgListaControl.rows(), 3);
  EXPECT_EQ(tablero.msgListaControl.text(1, 1), "2.5");
  EXPECT_EQ(tablero.msgListaControl.text(2, 1), "-0.25");
}

}  // namespace
}  // namespace board
