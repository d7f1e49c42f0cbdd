// The board measures text only through the measurer it is given: row
// heights, the header's line and the wrapping of long lines all follow it,
// so a board on any screen (or none) sizes its rows from one source.
#include <gtest/gtest.h>

#include <algorithm>

#include "board/base_de_prueba.h"
#include "board/mod_tabla.h"
#include "board/tablero.h"

namespace board {
namespace {

// A font where every byte is 200 twips wide and a line is 40 twips per point;
// a line wraps at the column's width, wherever that falls.
class MedidorFijo : public ui::TextMeasurer {
 public:
  int32_t cellLines(const ui::FlexGridModel& g, int32_t fila, int32_t col) const override {
    const std::string& texto = g.text(fila, col);
    if (texto.empty()) return 0;
    int64_t ancho = std::max<int64_t>(g.colWidth(col), 1);
    int32_t lineas = 0;
    for (size_t inicio = 0;;) {
      size_t salto = texto.find("\r\n", inicio);
      size_t largo = (salto == std::string::npos ? texto.size() : salto) - inicio;
      lineas += static_cast<int32_t>(
          std::max<int64_t>(1, (static_cast<int64_t>(largo) * 200 + ancho - 1) / ancho));
      if (salto == std::string::npos) return lineas;
      inicio = salto + 2;
    }
  }
  int32_t lineHeight(const ui::GridFont& font) const override {
    return static_cast<int32_t>(font.size * 40);
  }
};

TEST(TableroMedidor, TheGridsDesignsTakeTheirRowHeightFromTheMeasurer) {
  MedidorFijo medidor;
  EXPECT_EQ(disenoPendientes(medidor).defaultRowHeight, 390);  // Arial 9.75
  EXPECT_EQ(disenoControl(medidor).defaultRowHeight, 330);     // MS Sans Serif 8.25
}

TEST(TableroMedidor, LongLinesWrapByTheMeasuredWidthAndTheListTakesItsLine) {
  BaseDePrueba base;
  SonidoGrabado sonido;
  MedidorFijo medidor;
  Tablero tablero([&base] { return base.abrir(); }, sonido, medidor);
  base.agregar({.mesa = "4", .detalle = std::string(100, 'x')});
  base.agregarDespachada({.idMesa = "9", .cantidad = -1});
  tablero.Form_Load();
  tablero.Form_Resize(12000, 9000);
  tablero.cmdVer[0].down = true;
  tablero.cmdVer_Click(0);
  ASSERT_EQ(tablero.msgListaPendientes.count(), 2);
  // "-> " and 100 letters: 20600 twips in a column of 9705 wrap twice, so
  // the minutes, the product and the detail take five header lines.
  ASSERT_EQ(tablero.msgListaPendientes[0].colWidth(1), 9705);
  EXPECT_EQ(tablero.msgListaPendientes[1].rowHeight(0), 5 * 390);

  tablero.cmdServido_Click();
  ASSERT_EQ(tablero.msgListaControl.rows(), 2);
  EXPECT_EQ(tablero.msgListaControl.rowHeight(1), 480);  // one line of Arial 12
}

TEST(ModTabla, AFormattedListTakesTheMeasuredLineOfItsNewSize) {
  MedidorFijo medidor;
  ui::FlexGridModel g(disenoControl(medidor));
  g.setRows(1);
  modTabla::formatoTabla(g, 15, medidor);
  EXPECT_EQ(g.rowHeight(0), 330);  // a lone title row is left as it was
  g.setRows(3);
  modTabla::formatoTabla(g, 15, medidor);
  EXPECT_EQ(g.rowHeight(0), 800);
  EXPECT_EQ(g.rowHeight(2), 600);
}

}  // namespace
}  // namespace board
