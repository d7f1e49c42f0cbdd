// A cell the board draws as one acts as one: the copies `rellenaVacios` puts
// under a line merge with it into one tall cell in the line's colour, and a
// click anywhere on that cell acts on the line it shows, as the colour it
// shows asks. Clicked with the mouse on the board form on the offscreen
// screen; the marks are read back from the order database.
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include "board/base_de_prueba.h"
#include "board/fmr_inicio.h"
#include "ui/cell_text.h"
#include "ui/flex_grid.h"

namespace board {
namespace {

class CeldaCombinada : public ::testing::Test {
 protected:
  CeldaCombinada() {
    form = std::make_unique<fmrInicio>([this] { return base.abrir(); }, nullptr, &sonido);
    form->resize(1280, 800);
    form->show();
    form->Form_Activate();
  }
  ~CeldaCombinada() override { form.reset(); }  // before the connection goes

  // A left click of the mouse in the middle of cell (fila, col) of a grid.
  void clicEn(int index, int32_t fila, int32_t col) {
    ui::FlexGrid* g = form->gridPendientes(index);
    ui::GridEdges bordes = ui::gridEdges(*g->model());
    QPointF punto((bordes.x[col] + bordes.x[col + 1]) / 2.0,
                  (bordes.y[fila] + bordes.y[fila + 1]) / 2.0);
    QMouseEvent clic(QEvent::MouseButtonPress, punto, g->mapToGlobal(punto), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g, &clic);
  }
  ui::FlexGridModel& grid(int i) { return form->tablero().msgListaPendientes[i]; }
  std::string despcoc(int32_t id) { return base.columna(id, "DespCoc").asText(); }

  BaseDePrueba base;
  SonidoGrabado sonido;
  std::unique_ptr<fmrInicio> form;
};

TEST_F(CeldaCombinada, AClickOnTheLowerPartOfATallRedCellDispatchesItsLine) {
  // Three COCINA lines give table 5 three rows; its one BAR line, prepared,
  // stands in row 0 and its copies fill rows 1 and 2: one red cell.
  int32_t bar = base.agregar({.mesa = "5", .despcoc = "P"});
  for (int i = 0; i < 3; ++i) base.agregar({.mesa = "5", .area = "COCINA"});
  form->botonArea(0)->click();
  form->botonArea(1)->click();
  ASSERT_EQ(grid(1).rows(), 3);
  ASSERT_EQ(grid(1).mergeRunLength(0, 1), 3);
  ASSERT_EQ(grid(1).backColorAt(0, 1), ui::kRed);

  clicEn(1, 2, 1);
  EXPECT_EQ(base.grabados->marcas.back(), "2:" + std::to_string(bar));
  EXPECT_EQ(despcoc(bar), "S");
  EXPECT_EQ(grid(1).text(0, 1).find("Cod: " + std::to_string(bar)), std::string::npos);
}

TEST_F(CeldaCombinada, AClickOnTheCopyOfAWaitingLineMarksThatLine) {
  int32_t bar = base.agregar({.mesa = "5"});
  base.agregar({.mesa = "5", .area = "COCINA"});
  base.agregar({.mesa = "5", .area = "COCINA"});
  form->botonArea(0)->click();
  form->botonArea(1)->click();
  ASSERT_EQ(grid(1).rows(), 2);

  clicEn(1, 1, 1);
  EXPECT_EQ(base.grabados->marcas.back(), "1:" + std::to_string(bar));
  EXPECT_EQ(despcoc(bar), "P");
  EXPECT_EQ(grid(1).backColorAt(0, 1), ui::kRed);
  clicEn(1, 1, 1);  // the whole cell is red now: the second mark
  EXPECT_EQ(despcoc(bar), "S");
}

}  // namespace
}  // namespace board
