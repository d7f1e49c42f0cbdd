// The kitchen board as the staff use it: areas chosen, lines shown, marked,
// dispatched and sent back, alerts sounded, on an order database the engine
// made, through the board's real order store. Text is measured in the real
// font (Qt Gui on the offscreen platform, no widget), as on the screen.
#include "board/tablero.h"

#include <gtest/gtest.h>

#include "ado/error.h"
#include "board/base_de_prueba.h"
#include "board/mod_tabla.h"
#include "orders/service_clock.h"
#include "ui/qt_text_measurer.h"

namespace board {
namespace {

class TableroTest : public ::testing::Test {
 protected:
  TableroTest() : tablero([this] { return base.abrir(); }, sonido, ui::qtTextMeasurer()) {}

  void cargar(int32_t ancho = 12000, int32_t alto = 9000) {
    tablero.Form_Load();
    tablero.Form_Resize(ancho, alto);
  }
  void elegir(std::initializer_list<int> botones) {
    for (int b : botones) {
      tablero.cmdVer[b].down = !tablero.cmdVer[b].down;
      tablero.cmdVer_Click(static_cast<int16_t>(b));
    }
  }
  ui::FlexGridModel& grid(int i) { return tablero.msgListaPendientes[i]; }
  void clic(int index, int fila, int col) {
    grid(index).setCol(col);
    grid(index).setRow(fila);
    tablero.msgListaPendientes_Click(static_cast<int16_t>(index));
  }
  PedidosGrabados& pedidos() { return *base.grabados; }
  std::string despcoc(int32_t id) { return base.columna(id, "DespCoc").asText(); }
  static std::string cod(int32_t id) { return "Cod: " + std::to_string(id); }

  BaseDePrueba base;
  SonidoGrabado sonido;
  Tablero tablero;
};

TEST_F(TableroTest, FourAreasShareTheStripInEqualButtons) {
  cargar(12000);
  const char* areas[] = {"BAR", "COCINA", "PIZZA", "POSTRES"};  // in the menu's order
  ASSERT_EQ(tablero.cmdVer.count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(tablero.cmdVer[i].caption, areas[i]);
    EXPECT_EQ(tablero.cmdVer[i].place.width, 3000);
    EXPECT_EQ(tablero.cmdVer[i].place.left, 3000 * i);
    EXPECT_EQ(tablero.cmdVer[i].place.height, 855);
    EXPECT_FALSE(tablero.cmdVer[i].down);
  }
  tablero.Form_Resize(8000, 6000);
  EXPECT_EQ(tablero.cmdVer.count(), 4);  // re-placed, not created again
  EXPECT_EQ(tablero.cmdVer[3].place.left, 6000);
}

TEST_F(TableroTest, ButtonsInSeveralRowsWrapUnderTheFirst) {
  ui::ControlArray<BotonArea> botones(BotonArea{}, [](const BotonArea& b) { return b; });
  Tablero::calculaBotones(botones, {0, 0, 9000, 1000, true}, 5, 0, 2, false);
  ASSERT_EQ(botones.count(), 5);
  EXPECT_EQ(botones[0].place.width, 3000);
  EXPECT_EQ(botones[2].place.left, 6000);
  EXPECT_EQ(botones[3].place.left, 0);
  EXPECT_EQ(botones[3].place.top, 500);
  Tablero::calculaBotones(botones, {0, 0, 9000, 1000, true}, 0, 0, 1, false);
  EXPECT_EQ(botones.count(), 5);  // no buttons asked: nothing changes
}

TEST_F(TableroTest, ResizingPlacesTheBandsAndKeepsTheHeaderToOneRow) {
  cargar(12000, 9000);
  EXPECT_EQ(tablero.frmContenedor.top, 855);
  EXPECT_EQ(tablero.frmContenedor.width, 12000 - 495);
  EXPECT_EQ(tablero.frmContenedor.height, 9000 - 855 - 735);
  EXPECT_EQ(tablero.vscRegla.place.left, 12000 - 495);
  EXPECT_EQ(tablero.msgListaControl.place().width, 12000);
  EXPECT_EQ(grid(0).rows(), 1);
  EXPECT_EQ(grid(0).place().width, tablero.frmContenedor.width);
  tablero.vscRegla.value = -3;
  tablero.vscRegla_Change();
  EXPECT_EQ(tablero.frmContenedor.top, 855 - 3 * 480);
  tablero.vscRegla.value = 0;
  tablero.vscRegla_Change();
  EXPECT_EQ(tablero.frmContenedor.top, 855);  // directly under the strip
  tablero.vscRegla.value = -100000;           // far beyond 16 bits of twips
  tablero.vscRegla_Change();
  EXPECT_EQ(tablero.frmContenedor.top, 855 - 48000000);
}

TEST_F(TableroTest, ChoosingAreasMakesTheHeaderColumns) {
  cargar(12000);
  elegir({0, 2});
  EXPECT_EQ(tablero.areasSeleccionadas, (std::vector<std::string>{"BAR", "PIZZA"}));
  ASSERT_EQ(grid(0).cols(), 3);
  EXPECT_EQ(grid(0).text(0, 1), "BAR");
  EXPECT_EQ(grid(0).alignmentAt(0, 2), ui::Alignment::CenterCenter);
  EXPECT_EQ(grid(0).colWidth(0), 1500);
  // (11505 - 1800) / 2 = 4852.5, a half to the even neighbour.
  EXPECT_EQ(grid(0).colWidth(1), 4852);
  elegir({0, 2});  // both up again: no area column, the last choice is kept
  EXPECT_EQ(grid(0).cols(), 1);
  EXPECT_EQ(tablero.areasSeleccionadas, (std::vector<std::string>{"PIZZA"}));
}

TEST_F(TableroTest, ARefreshWritesEachLineWithItsMinutesDetailsAndHiddenTag) {
  int32_t id = base.agregar(
      {.mesa = "7", .tiempo = 15, .cantidad = -2, .detalle = "Sin azucar\r\n  \r\nCaliente"});
  cargar();
  elegir({0});
  ASSERT_EQ(tablero.msgListaPendientes.count(), 2);
  ui::FlexGridModel& g = grid(1);
  EXPECT_EQ(g.text(0, 0), "7");
  EXPECT_EQ(g.text(0, 1), "15 Minutos\r\n2 Cafe\r\n-> Sin azucar\r\n-> Caliente" +
                              Tablero::saltosOcultos() + cod(id));
  EXPECT_EQ(Tablero::saltosOcultos().size(), 122u);
  EXPECT_EQ(tablero.caption, kCaptionPorServir);
  EXPECT_TRUE(tablero.frmContenedor.visible);
  EXPECT_FALSE(tablero.msgListaControl.place().visible);
  // Four visible lines: the row is four header rows tall, the tag not counted.
  EXPECT_EQ(g.rowHeight(0), 4 * grid(0).rowHeight(0));
  EXPECT_EQ(g.place().height, g.rowHeight(0));
  EXPECT_EQ(g.place().top, grid(0).place().top + grid(0).place().height);
}

TEST_F(TableroTest, RowsGrowToTheirTallestCellAndEmptyCellsTakeTheLineAbove) {
  base.agregar({.mesa = "3", .tiempo = 4, .nombre = "Agua"});
  base.agregar({.mesa = "3",
                .area = "COCINA",
                .tiempo = 4,
                .nombre = "Sopa",
                .detalle = "Grande\r\nSin sal\r\nPan"});
  base.agregar({.mesa = "3", .tiempo = 4, .nombre = "Jugo"});
  cargar();
  elegir({0, 1});
  ui::FlexGridModel& g = grid(1);
  ASSERT_EQ(g.rows(), 2);
  int32_t linea = grid(0).rowHeight(0);
  EXPECT_EQ(g.rowHeight(0), 5 * linea);  // the soup's five lines, not the water's two
  EXPECT_EQ(g.rowHeight(1), 2 * linea);  // the juice's minutes and name
  EXPECT_EQ(g.text(1, 0), "3");
  EXPECT_EQ(g.text(1, 2), g.text(0, 2));  // the soup runs down its column
  EXPECT_TRUE(g.colMerge(2));
  EXPECT_EQ(g.place().height, 7 * linea);
}

TEST_F(TableroTest, TablesAlternateGreenAndWhiteAndPreparedLinesStayRed) {
  base.agregar({.mesa = "1"});
  base.agregar({.mesa = "2", .despcoc = "P"});
  base.agregar({.mesa = "3"});
  cargar();
  elegir({0});
  ASSERT_EQ(tablero.msgListaPendientes.count(), 4);
  EXPECT_EQ(grid(1).backColorAt(0, 0), ui::kGreen);
  EXPECT_EQ(grid(1).backColorAt(0, 1), ui::kGreen);
  EXPECT_EQ(grid(2).backColorAt(0, 0), ui::kWhite);
  EXPECT_EQ(grid(2).backColorAt(0, 1), ui::kRed);
  EXPECT_EQ(grid(3).backColorAt(0, 1), ui::kGreen);
}

TEST_F(TableroTest, TheScrollBarShowsOnlyWhenTheTablesOutgrowTheFreeHeight) {
  for (int i = 0; i < 3; ++i) base.agregar({.mesa = std::to_string(i + 1)});
  cargar(12000, 20000);
  elegir({0});
  EXPECT_FALSE(tablero.vscRegla.place.visible);
  int32_t contenido = tablero.frmContenedor.height;
  int32_t bandas = tablero.frmAreas.height + tablero.pctFooter.height;
  tablero.Form_Resize(12000, contenido + bandas);  // exactly the free height
  tablero.refrescaPendientes();
  EXPECT_FALSE(tablero.vscRegla.place.visible);
  EXPECT_EQ(tablero.vscRegla.value, 0);
  tablero.Form_Resize(12000, contenido + bandas - 1);  // one twip short
  tablero.refrescaPendientes();
  EXPECT_TRUE(tablero.vscRegla.place.visible);
  EXPECT_EQ(tablero.vscRegla.max, -1);  // one twip hidden still takes a step
  tablero.Form_Resize(12000, contenido + bandas - 1000);
  tablero.refrescaPendientes();
  EXPECT_EQ(tablero.vscRegla.max, -3);  // 1000 twips need 2.08 steps: 3
  tablero.vscRegla.value = -2;
  tablero.vscRegla_Change();
  tablero.refrescaPendientes();
  EXPECT_EQ(tablero.vscRegla.value, -2);  // the scroll position carries over
}

// Scrolled to the end, the last table's bottom edge is at or above the
// footer, and one step less leaves part of it under the footer: the range is
// the fewest whole steps that show every table. The overflows are those
// rounding to the nearest step would cut short (below and at half a step).
TEST_F(TableroTest, ScrolledToTheEndTheLastTableClearsTheFooter) {
  for (int i = 0; i < 6; ++i) base.agregar({.mesa = std::to_string(i + 1)});
  cargar(12000, 30000);
  elegir({0});
  const int32_t contenido = tablero.frmContenedor.height;
  const int32_t bandas = tablero.frmAreas.height + tablero.pctFooter.height;
  for (int32_t exceso : {1, 239, 1000, 1200, 1439, 1440}) {
    SCOPED_TRACE(exceso);
    tablero.Form_Resize(12000, contenido + bandas - exceso);
    tablero.refrescaPendientes();
    ASSERT_TRUE(tablero.vscRegla.place.visible);
    const ui::FlexGridModel& ultima = grid(tablero.msgListaPendientes.upperBound() - 1);
    auto fondoDeLaUltima = [&] {
      return tablero.frmContenedor.top + ultima.place().top + ultima.place().height;
    };
    ASSERT_EQ(ultima.place().top + ultima.place().height, contenido);
    tablero.vscRegla.value = tablero.vscRegla.max;
    tablero.vscRegla_Change();
    EXPECT_LE(fondoDeLaUltima(), tablero.pctFooter.top);
    tablero.vscRegla.value = tablero.vscRegla.max + 1;
    tablero.vscRegla_Change();
    EXPECT_GT(fondoDeLaUltima(), tablero.pctFooter.top);
  }
}

TEST_F(TableroTest, ClicksOnTheHeaderTheTableColumnOrAnEmptyCellDoNothing) {
  base.agregar({.mesa = "5"});
  cargar();
  elegir({0, 1});
  size_t refrescos = pedidos().pedidasAreas.size();
  clic(0, 0, 1);
  clic(1, 0, 0);
  clic(1, 0, 2);  // COCINA has no line for table 5
  EXPECT_TRUE(pedidos().marcas.empty());
  EXPECT_EQ(pedidos().pedidasAreas.size(), refrescos);  // and no refresh
}

TEST_F(TableroTest, AFirstClickMarksTheLineAndASecondDispatchesIt) {
  int32_t primera = base.agregar({.mesa = "5", .tiempo = 9});
  int32_t segunda = base.agregar({.mesa = "5", .tiempo = 8});
  cargar();
  elegir({0});
  clic(1, 0, 1);
  EXPECT_EQ(pedidos().marcas, (std::vector<std::string>{"1:" + std::to_string(primera)}));
  EXPECT_EQ(despcoc(primera), "P");
  EXPECT_EQ(base.columna(primera, "tdc").asLong(), 9);
  EXPECT_EQ(grid(1).backColorAt(0, 1), ui::kRed);
  clic(1, 0, 1);
  EXPECT_EQ(pedidos().marcas.back(), "2:" + std::to_string(primera));
  EXPECT_EQ(despcoc(primera), "S");
  ASSERT_EQ(tablero.msgListaPendientes.count(), 2);
  EXPECT_NE(grid(1).text(0, 1).find(cod(segunda)), std::string::npos);  // the first left
  EXPECT_EQ(despcoc(segunda), "Y");
  EXPECT_EQ(grid(1).rows(), 1);
}

TEST_F(TableroTest, AClickOnACopiedCellAsksForTheFirstMarkOfItsLine) {
  int32_t bar = base.agregar({.mesa = "5", .despcoc = "P"});
  base.agregar({.mesa = "5", .area = "COCINA"});
  base.agregar({.mesa = "5", .area = "COCINA"});
  cargar();
  elegir({0, 1});
  ASSERT_EQ(grid(1).rows(), 2);
  // The grid on the screen reports a click on the copy as one on the red
  // cell it is drawn in; a grid reporting the copy's own row asks by the
  // copy's colour, the table's.
  clic(1, 1, 1);
  EXPECT_EQ(pedidos().marcas, (std::vector<std::string>{"1:" + std::to_string(bar)}));
  EXPECT_EQ(despcoc(bar), "P");  // already prepared: unchanged
}

TEST_F(TableroTest, NewLinesSoundOnceEachWithTheFiveCommandsInOrder) {
  int32_t uno = base.agregar({.mesa = "1", .tin = "O"});
  int32_t dos_ = base.agregar({.mesa = "2", .tin = "O"});
  cargar();
  tablero.Form_Activate();  // first refresh before the sound is set
  EXPECT_EQ(tablero.sonidoActual, "Sonido\\PrHelp.WAV");
  EXPECT_TRUE(sonido.ordenes.empty());  // no area chosen yet
  elegir({0});
  std::vector<std::string> una = {"stop", "close", "archivo Sonido\\PrHelp.WAV", "open", "play"};
  std::vector<std::string> dos = una;
  dos.insert(dos.end(), una.begin(), una.end());
  EXPECT_EQ(sonido.ordenes, dos);
  EXPECT_EQ(pedidos().marcas,
            (std::vector<std::string>{"X:" + std::to_string(uno), "X:" + std::to_string(dos_)}));
  EXPECT_EQ(base.columna(uno, "tin").asText(), "X");
  EXPECT_EQ(base.columna(dos_, "tin").asText(), "X");
  tablero.tmrServido_Timer();
  EXPECT_EQ(sonido.ordenes.size(), 10u);  // announced: no second sound
}

TEST_F(TableroTest, NothingRefreshesOrSoundsWhileTheDispatchedListIsShown) {
  cargar();
  elegir({0});
  tablero.cmdServido_Click();
  EXPECT_FALSE(tablero.tmrServidoEnabled);
  EXPECT_FALSE(tablero.frmContenedor.visible);
  EXPECT_FALSE(tablero.vscRegla.place.visible);
  EXPECT_TRUE(tablero.msgListaControl.place().visible);
  base.agregar({.mesa = "1", .tin = "O"});
  // The form runs the timer only while it is enabled; Por Servir restarts it.
  tablero.cmdPorServir_Click();
  EXPECT_TRUE(tablero.tmrServidoEnabled);
  EXPECT_EQ(sonido.ordenes.size(), 5u);
  EXPECT_FALSE(tablero.msgListaControl.place().visible);
}

TEST_F(TableroTest, TheDispatchedListShowsTitlesWidthsAndEachLine) {
  testdb::Linea l{.idMesa = "10",
                  .nombre = "Cafe",
                  .cantidad = -2,
                  .negocio = "BAR",
                  .detalle = "A",
                  .detalle1 = std::nullopt,
                  .detalle2 = "B",
                  .nick = "Mariajose1",
                  .tdc = 12,
                  .tdm = 3};
  int32_t id = base.agregarDespachada(l);
  l.idMesa = "11";
  l.cantidad = 3;
  l.nick = std::nullopt;
  base.agregarDespachada(l);
  base.agregar({.mesa = "12"});  // not dispatched: not in the list
  cargar(12000);
  tablero.cmdServido_Click();
  ui::FlexGridModel& g = tablero.msgListaControl;
  EXPECT_EQ(tablero.caption, kCaptionDespachados);
  ASSERT_EQ(g.rows(), 3);
  ASSERT_EQ(g.cols(), 7);
  const char* titulos[] = {"Mesa", "Cantidad", "Producto", "Detalle", "Mesero", "Espera", "Codigo"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(g.text(0, c), titulos[c]);
  int32_t anchos[] = {1000, 1200, 12000 - 6600, 2500, 1500, 0, 0};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(g.colWidth(c), anchos[c]);
  EXPECT_EQ(g.text(1, 1), "2");
  EXPECT_EQ(g.text(1, 3), "AB");
  EXPECT_EQ(g.text(1, 4), "Mariajo");
  EXPECT_EQ(g.text(1, 5), "12/ 3");
  EXPECT_EQ(g.text(1, 6), std::to_string(id));
  EXPECT_EQ(g.text(2, 1), "-3");
  EXPECT_EQ(g.text(2, 4), "");
  EXPECT_EQ(g.backColorAt(1, 0), kColorDespachado);
  EXPECT_EQ(g.alignmentAt(2, 6), ui::Alignment::LeftCenter);
  // formatoTabla: a white bold centred title row 800 high.
  EXPECT_EQ(g.rowHeight(0), 800);
  EXPECT_EQ(g.fixedRows(), 1);
  EXPECT_EQ(g.backColorAt(0, 2), ui::kWhite);
  EXPECT_TRUE(g.boldAt(0, 2));
  EXPECT_EQ(g.alignmentAt(0, 2), ui::Alignment::CenterCenter);
  EXPECT_EQ(g.font().size, 12);
  EXPECT_EQ(g.font().name, "Arial");
}

TEST_F(TableroTest, AClickOnADispatchedLineSendsItBackAndTheTitleRowDoesNothing) {
  int32_t id = base.agregarDespachada({.idMesa = "4", .cantidad = -1, .tdc = 12});
  cargar();
  tablero.cmdServido_Click();
  tablero.msgListaControl.setRow(0);
  tablero.msgListaControl_Click();
  EXPECT_TRUE(pedidos().marcas.empty());
  tablero.msgListaControl.setRow(1);
  tablero.msgListaControl_Click();
  EXPECT_EQ(pedidos().marcas, (std::vector<std::string>{"Y:" + std::to_string(id)}));
  EXPECT_EQ(despcoc(id), "Y");  // back on the board, its preparation time cleared
  EXPECT_EQ(base.columna(id, "tdc").asLong(), 0);
  EXPECT_EQ(tablero.msgListaControl.rows(), 1);  // rebuilt without the line
  EXPECT_EQ(tablero.caption, kCaptionDespachados);
}

TEST_F(TableroTest, AReadFailingDuringServiceKeepsTheLastBoardAndRetries) {
  base.agregar({.mesa = "5"});
  cargar();
  elegir({0});
  ASSERT_EQ(tablero.msgListaPendientes.count(), 2);
  base.cortarArchivo();
  tablero.tmrServido_Timer();
  EXPECT_EQ(tablero.aviso.rfind("Error -", 0), 0u) << tablero.aviso;
  EXPECT_EQ(tablero.msgListaPendientes.count(), 2);  // the last board stays
  EXPECT_TRUE(tablero.frmContenedor.visible);
  EXPECT_TRUE(tablero.tmrServidoEnabled);
  base.restaurarArchivo();
  base.agregar({.mesa = "6"});
  tablero.tmrServido_Timer();
  EXPECT_EQ(tablero.aviso, "");
  EXPECT_EQ(tablero.msgListaPendientes.count(), 3);
}

TEST_F(TableroTest, ThreeFailedRefreshesInARowMarkTheBoardStaleUntilOneReads) {
  base.agregar({.mesa = "5"});
  cargar();
  elegir({0});
  base.cortarArchivo();
  tablero.tmrServido_Timer();
  tablero.tmrServido_Timer();
  EXPECT_FALSE(tablero.tableroViejo());  // two ticks: a moment of trouble
  EXPECT_EQ(tablero.textoSinLectura(), "");
  fijarFuenteHora([] { return std::string("12:20:00"); });
  tablero.tmrServido_Timer();
  ASSERT_TRUE(tablero.tableroViejo());
  // Since the first failed read, not the last.
  EXPECT_EQ(tablero.textoSinLectura(),
            "No se puede leer la base de datos desde las 12:15. Los pedidos en pantalla "
            "pueden no estar al día.");
  EXPECT_EQ(tablero.msgListaPendientes.count(), 2);  // the last board, marked stale
  base.restaurarArchivo();
  tablero.tmrServido_Timer();
  EXPECT_FALSE(tablero.tableroViejo());
  EXPECT_EQ(tablero.textoSinLectura(), "");
  EXPECT_EQ(tablero.aviso, "");
  // A new run of failures counts from the start again.
  base.cortarArchivo();
  tablero.tmrServido_Timer();
  EXPECT_EQ(tablero.fallosSeguidos, 1);
  EXPECT_EQ(tablero.sinLecturaDesde, "12:20:00");
}

TEST_F(TableroTest, AFailedReadOfTheDispatchedListLeavesTheTitleRowAndRetries) {
  int32_t id = base.agregarDespachada({.idMesa = "4", .cantidad = -1});
  cargar();
  tablero.cmdServido_Click();
  ASSERT_EQ(tablero.msgListaControl.rows(), 2);
  EXPECT_FALSE(tablero.tmrReintentoEnabled);
  base.cortarArchivo();
  tablero.cmdServido_Click();
  ui::FlexGridModel& g = tablero.msgListaControl;
  ASSERT_EQ(g.rows(), 1);  // no stale line left to send back
  EXPECT_EQ(g.text(0, 0), "Mesa");
  EXPECT_EQ(g.text(0, 6), "Codigo");
  EXPECT_EQ(tablero.aviso.rfind("Error -", 0), 0u) << tablero.aviso;
  EXPECT_EQ(tablero.caption, kCaptionDespachados);
  EXPECT_TRUE(tablero.tmrReintentoEnabled);
  EXPECT_FALSE(tablero.tmrServidoEnabled);  // nothing refreshes or sounds meanwhile
  tablero.tmrReintento_Timer();
  EXPECT_TRUE(tablero.tmrReintentoEnabled);  // still failing: still trying
  base.restaurarArchivo();
  tablero.tmrReintento_Timer();
  ASSERT_EQ(g.rows(), 2);
  EXPECT_EQ(g.text(1, 6), std::to_string(id));
  EXPECT_EQ(tablero.aviso, "");
  EXPECT_FALSE(tablero.tmrReintentoEnabled);
  // Leaving the list stops the retries.
  base.cortarArchivo();
  tablero.cmdServido_Click();
  tablero.cmdPorServir_Click();
  EXPECT_FALSE(tablero.tmrReintentoEnabled);
}

TEST_F(TableroTest, AFailureToOpenTheStoreAtLoadGoesUp) {
  ui::SoundDevice& s = sonido;
  Tablero sinBase([] { return abrirPedidos("/no-existe/pedidos.mdb"); }, s, ui::qtTextMeasurer());
  EXPECT_THROW(sinBase.Form_Load(), ado::ComError);
}

// The grid helpers on their own.

TEST_F(TableroTest, GetMesaFindsATablesGridOrLoadsTheNextOne) {
  cargar();
  elegir({0, 1});
  grid(0).setText(0, 0, "8");
  int16_t nueva = tablero.getMesa("8");
  EXPECT_EQ(nueva, 1);  // element 0 is never a table
  EXPECT_EQ(grid(1).text(0, 0), "8");
  EXPECT_EQ(grid(1).cols(), 3);
  EXPECT_EQ(grid(1).colWidth(2), grid(0).colWidth(2));
  EXPECT_EQ(tablero.getMesa("8"), 1);
  EXPECT_EQ(tablero.msgListaPendientes.count(), 2);
  EXPECT_EQ(tablero.getMesa("9"), 2);
}

TEST_F(TableroTest, GetFilaComandaFillsRowZeroFirstThenAppendsRows) {
  cargar();
  elegir({0});
  ui::FlexGridModel& g = grid(tablero.getMesa("2"));
  EXPECT_EQ(tablero.getFilaComanda(g, 1, 5), 0);
  g.setText(0, 1, "x" + Tablero::saltosOcultos() + "Cod: 5");
  EXPECT_EQ(tablero.getFilaComanda(g, 1, 5), 0);  // known line
  EXPECT_EQ(tablero.getFilaComanda(g, 1, 6), 1);  // appended
  EXPECT_EQ(g.text(1, 0), "2");
  EXPECT_EQ(tablero.getFilaComanda(g, 1, 7), 1);  // row 1 still free
}

TEST_F(TableroTest, CuentaLineasCountsOneLinePerPartAndNoneForAnEmptyCell) {
  cargar();
  elegir({0});
  int16_t i = tablero.getMesa("1");
  grid(i).setText(0, 1, "a\r\nb");
  EXPECT_EQ(tablero.cuentaLineas(i, 0, 1), 2);
  grid(i).setText(0, 1, "");
  EXPECT_EQ(tablero.cuentaLineas(i, 0, 1), 0);
}

TEST_F(TableroTest, PintaTablaPaintsEveryCellButTheRedOnes) {
  cargar();
  elegir({0, 1});
  int16_t i = tablero.getMesa("1");
  grid(i).setRows(2);
  grid(i).setRow(1);
  grid(i).setCol(1);
  grid(i).setCellBackColor(255);
  grid(i).setCol(2);
  grid(i).setCellBackColor(254);
  tablero.pintaTabla(i, ui::kGreen);
  EXPECT_EQ(grid(i).backColorAt(1, 1), 255u);
  EXPECT_EQ(grid(i).backColorAt(1, 2), ui::kGreen);
  EXPECT_EQ(grid(i).backColorAt(0, 0), ui::kGreen);
}

TEST(ModTabla, SevenCharactersOfANickAreCharactersNotBytes) {
  EXPECT_EQ(modTabla::primerosCaracteres("Mariajosé", 7), "Mariajo");
  EXPECT_EQ(modTabla::primerosCaracteres("Íñigo Ñúñez", 7), "Íñigo Ñ");
  EXPECT_EQ(modTabla::primerosCaracteres("Ana", 7), "Ana");
}

}  // namespace
}  // namespace board
