// The board form on the screen against an order database the engine made:
// the kitchen's clicks go through the grid widgets and the marks land in the
// database rows the point of sale reads.
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "ado/error.h"
#include "board/base_de_prueba.h"
#include "board/fmr_inicio.h"
#include "board/pedidos_en_base.h"
#include "data/clsConnAdmin.h"
#include "data/order_database.h"
#include "data/recording_reporter.h"
#include "orders/service_clock.h"
#include "ui/flex_grid.h"

namespace board {
namespace {

class TableroEnBase : public ::testing::Test {
 protected:
  TableroEnBase() : db(dir.file("pedidos.mdb")) {
    fijarFuenteHora([] { return std::string("12:15:00"); });  // service minute 735
  }
  ~TableroEnBase() override {
    fijarFuenteHora({});
    form.reset();
    delete conexion;
    conexion = nullptr;
  }

  void abrir() {
    db.close();
    form =
        std::make_unique<fmrInicio>([this] { return abrirPedidos(db.path()); }, nullptr, &sonido);
    form->resize(1280, 800);
    form->show();
    form->Form_Activate();
  }

  ado::Variant columna(int32_t id, const std::string& c) {
    auto rs = conexion->Query(
        "SELECT " + c + " FROM COMANDAS WHERE idComanda = " + std::to_string(id), {});
    return rs.fields(c).resolved();
  }

  // Clicks a cell of an element of the grid array as the staff would.
  void clic(int index, int fila, int col) { form->gridPendientes(index)->clickCell(fila, col); }
  ui::FlexGridModel& grid(int i) { return form->tablero().msgListaPendientes[i]; }

  testdb::TempDir dir;
  testdb::OrderDatabase db;
  testdb::RecordingReporter reporter;
  SonidoGrabado sonido;
  std::unique_ptr<fmrInicio> form;
};

TEST_F(TableroEnBase, TheKitchenSeesMarksAndDispatchesALine) {
  db.addProducto("Cafe", "BAR");
  db.addProducto("Sopa", "COCINA");
  int32_t cafe = db.add({.idMesa = "4",
                         .minuto = 720,
                         .nombre = "Cafe",
                         .cantidad = 2,
                         .negocio = "BAR",
                         .detalle = "Sin azucar"});
  int32_t sopa = db.add({.idMesa = "4", .minuto = 725, .nombre = "Sopa", .negocio = "COCINA"});
  abrir();
  ASSERT_EQ(form->tablero().cmdVer.count(), 2);
  EXPECT_EQ(form->windowTitle().toStdString(), kCaptionPorServir);
  // The first refresh ran before the sound was set: nothing is chosen yet.
  EXPECT_TRUE(sonido.ordenes.empty());

  int bar = form->tablero().cmdVer[0].caption == "BAR" ? 0 : 1;
  form->botonArea(bar)->click();
  ASSERT_EQ(form->tablero().msgListaPendientes.count(), 2);
  EXPECT_EQ(grid(1).text(0, 1), "15 Minutos\r\n2 Cafe\r\n-> Sin azucar" + Tablero::saltosOcultos() +
                                    "Cod: " + std::to_string(cafe));
  EXPECT_EQ(columna(cafe, "tin").toString(), "X");  // announced once
  EXPECT_EQ(columna(sopa, "tin").toString(), "O");  // its area is not shown
  EXPECT_EQ(sonido.ordenes.size(), 5u);

  clic(1, 0, 1);
  EXPECT_EQ(columna(cafe, "DespCoc").toString(), "P");
  EXPECT_EQ(columna(cafe, "tdc").toLong(), 15);
  EXPECT_EQ(grid(1).backColorAt(0, 1), ui::kRed);
  clic(1, 0, 1);
  EXPECT_EQ(columna(cafe, "DespCoc").toString(), "S");
  EXPECT_EQ(form->tablero().msgListaPendientes.count(), 1);  // the table left the board

  form->botonServido()->click();
  EXPECT_FALSE(form->timer()->isActive());
  ui::FlexGridModel& lista = form->tablero().msgListaControl;
  ASSERT_EQ(lista.rows(), 2);
  EXPECT_EQ(lista.text(1, 0), "4");
  EXPECT_EQ(lista.text(1, 1), "-2");
  EXPECT_EQ(lista.text(1, 4), "ana");
  EXPECT_EQ(lista.text(1, 6), std::to_string(cafe));
  form->gridControl()->clickCell(1, 2);
  EXPECT_EQ(columna(cafe, "DespCoc").toString(), "Y");
  EXPECT_EQ(columna(cafe, "tdc").toLong(), 0);
  EXPECT_EQ(lista.rows(), 1);

  form->botonPorServir()->click();
  EXPECT_TRUE(form->timer()->isActive());
  EXPECT_EQ(form->tablero().msgListaPendientes.count(), 2);  // back, and silent
  EXPECT_EQ(sonido.ordenes.size(), 5u);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST(TableroSinBase, ADatabaseThatCannotBeOpenedStopsTheLoad) {
  testdb::TempDir dir;
  SonidoGrabado sonido;
  EXPECT_THROW(
      fmrInicio([&dir] { return abrirPedidos(dir.file("no-existe.mdb")); }, nullptr, &sonido),
      ado::ComError);
  EXPECT_EQ(conexion, nullptr);
}

}  // namespace
}  // namespace board
