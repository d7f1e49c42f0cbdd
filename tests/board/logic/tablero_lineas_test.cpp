// Every line of a cell is drawn whole: the board sizes a row by the very
// layout the grid draws with, so no line of an order (the last "-> " detail,
// an allergy, least of all) falls below its row, whatever the font size, the
// number of areas or the width of the window. Lines are staged in an order
// database the engine made and measured in the real font on the offscreen
// platform; what the grid draws is read from the lines its painter lays out.
#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "board/base_de_prueba.h"
#include "board/tablero.h"
#include "ui/cell_text.h"
#include "ui/qt_text_measurer.h"

namespace board {
namespace {

// Eight areas, BAR first in the menu's order.
const std::vector<std::string> kOchoAreas = {"BAR",   "CAFE",     "COCINA",  "JUGOS",
                                             "PIZZA", "PARRILLA", "POSTRES", "SUSHI"};

class LineasDibujadas : public ::testing::Test {
 protected:
  LineasDibujadas()
      : base(kOchoAreas), tablero([this] { return base.abrir(); }, sonido, ui::qtTextMeasurer()) {
    tablero.Form_Load();
  }

  // The board with the grids' font at `puntos`, the first `areas` areas
  // chosen and the window as wide as gives each area column `ancho` twips.
  void mostrar(double puntos, int areas, int32_t ancho) {
    ui::GridFont fuente = tablero.msgListaPendientes[0].font();
    fuente.size = puntos;
    ui::applyFont(tablero.msgListaPendientes[0], fuente, ui::qtTextMeasurer());
    // The header is the window less the scroll bar; the table column takes
    // 1800 of it and the areas share the rest.
    tablero.Form_Resize(ancho * areas + 1800 + tablero.vscRegla.place.width, 9000);
    for (int i = 0; i < tablero.cmdVer.count(); ++i) tablero.cmdVer[i].down = i < areas;
    tablero.cmdVer_Click(0);
    ASSERT_EQ(tablero.msgListaPendientes[0].colWidth(1), ancho);
  }

  // Each cell of every table grid shows its visible text whole: the lines
  // the painter draws in the cell, joined, are the text before the hidden
  // tag without its line breaks, and none is wider than the column (a line
  // longer than the column would be cut).
  void todoDibujado(const std::string& caso) {
    ASSERT_GT(tablero.msgListaPendientes.count(), 1) << caso;
    for (int i = 1; i < tablero.msgListaPendientes.upperBound(); ++i) {
      const ui::FlexGridModel& g = tablero.msgListaPendientes[i];
      ui::GridEdges bordes = ui::gridEdges(g);
      for (int32_t c = 1; c < g.cols(); ++c) {
        for (int32_t r = 0; r < g.rows(); r += g.mergeRunLength(r, c)) {
          const std::string& celda = g.text(r, c);
          std::string visible = celda.substr(0, celda.find(Tablero::saltosOcultos()));
          for (size_t p; (p = visible.find("\r\n")) != std::string::npos;) visible.erase(p, 2);
          QFontMetricsF medida(ui::cellFont(g, r, c));
          std::string dibujado;
          for (const ui::CellLine& l : ui::drawnLines(g, bordes, r, c)) {
            dibujado += l.text.toStdString();
            // Only a letter wider than the whole column is ever cut.
            if (l.text.trimmed().size() < 2) continue;
            EXPECT_LE(medida.horizontalAdvance(l.text.trimmed()), ui::cellTextWidth(bordes, c))
                << caso << " cut: " << l.text.toStdString();
          }
          EXPECT_EQ(dibujado, visible) << caso << ", table " << g.text(0, 0) << " row " << r;
        }
      }
    }
  }

  BaseDePrueba base;
  SonidoGrabado sonido;
  Tablero tablero;
};

TEST_F(LineasDibujadas, TheLastDetailShowsAtTheWidthsWhereWrappingIsTight) {
  // Table 1 ends with an allergy; table 2 with one word longer than many a
  // column. Each in turn sets the column so its last line measures just
  // under one or two column widths: where a count by width alone falls a
  // line short of the words wrapped inside the margins.
  base.agregar({.mesa = "1", .nombre = "Hamburguesa", .detalle = "Sin cebolla\r\nAlergia al mani"});
  base.agregar({.mesa = "2", .nombre = "Te", .detalle = "Desoxirribonucleico"});
  base.agregar({.mesa = "3", .area = "SUSHI", .nombre = "Maki", .detalle = "Sin wasabi"});
  const std::vector<std::string> ultimas = {"-> Alergia al mani", "-> Desoxirribonucleico"};
  for (double puntos : {6.0, 12.0, 20.0, 72.0}) {
    for (int areas : {1, 8}) {
      for (const std::string& ultima : ultimas) {
        int32_t medida = ui::textWidthTwips({"Arial", puntos, false}, ultima);
        for (double veces : {0.98, 0.99, 0.999, 1.76, 1.9, 1.99}) {
          std::string caso = std::to_string(puntos) + " pt, " + std::to_string(areas) + " areas, " +
                             ultima + " at " + std::to_string(veces);
          mostrar(puntos, areas, static_cast<int32_t>(medida / veces) + 1);
          todoDibujado(caso);
        }
      }
    }
  }
}

TEST_F(LineasDibujadas, NoLineIsLostAtAnyWindowWidth) {
  base.agregar({.mesa = "4",
                .cantidad = -2,
                .nombre = "Milanesa napolitana con papas",
                .detalle = "Bien cocida\r\n\r\nSin sal, alergia a los mariscos"});
  base.agregar({.mesa = "4", .nombre = "Agua"});
  base.agregar({.mesa = "4", .area = "COCINA", .nombre = "Sopa", .despcoc = "P"});
  // Down to columns two letters wide: narrower still, the letters stand one
  // above the other and a row outgrows the line breaks that hide each
  // cell's tag.
  for (double puntos : {6.0, 9.75, 12.0, 20.0, 72.0}) {
    int32_t angosta = ui::textWidthTwips({"Arial", puntos, false}, "MM");
    for (int areas : {1, 3, 8}) {
      for (int32_t ancho = angosta; ancho <= 9000; ancho += 290) {
        std::string caso = std::to_string(puntos) + " pt, " + std::to_string(areas) + " areas, " +
                           std::to_string(ancho) + " twips";
        mostrar(puntos, areas, ancho);
        todoDibujado(caso);
        if (HasFailure()) return;
      }
    }
  }
}

}  // namespace
}  // namespace board
