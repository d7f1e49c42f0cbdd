// The board while the point of sale keeps the file busy: every event gives
// the window back within a fraction of a second and says so in the footer,
// and the marks made meanwhile wait and are written once, at the following
// ticks, with no message box per tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "board/base_de_prueba.h"
#include "board/tablero.h"
#include "data/recording_reporter.h"
#include "jet/database.h"
#include "ui/qt_text_measurer.h"

namespace board {
namespace {

using Clock = std::chrono::steady_clock;

// Another program in the middle of a write: it holds the file's write lock
// from tomar() to soltar().
class PuntoDeVentaEscribiendo {
 public:
  explicit PuntoDeVentaEscribiendo(const std::string& path) {
    auto db = jet::Database::open(path);
    EXPECT_TRUE(db) << db.error().description;
    if (db) db_ = std::move(db.value());
  }
  void tomar() { ASSERT_TRUE(db_ && db_->begin()); }
  void soltar() { ASSERT_TRUE(db_->rollback()); }

 private:
  std::unique_ptr<jet::Database> db_;
};

class MarcasOcupadasTest : public ::testing::Test {
 protected:
  MarcasOcupadasTest()
      : tablero([this] { return base.abrir(); }, sonido, ui::qtTextMeasurer()),
        puntoDeVenta(base.path()) {}

  void cargarConBar() {
    tablero.Form_Load();
    tablero.Form_Resize(12000, 9000);
    tablero.cmdVer[0].down = true;
    tablero.cmdVer_Click(0);
  }
  void clic(int index, int fila, int col) {
    tablero.msgListaPendientes[index].setCol(col);
    tablero.msgListaPendientes[index].setRow(fila);
    tablero.msgListaPendientes_Click(static_cast<int16_t>(index));
  }
  // How long an event of the board held the window.
  template <typename F>
  double segundos(F&& evento) {
    auto antes = Clock::now();
    evento();
    return std::chrono::duration<double>(Clock::now() - antes).count();
  }
  PedidosGrabados& pedidos() { return *base.grabados; }
  size_t sonidos() const {
    return std::count(sonido.ordenes.begin(), sonido.ordenes.end(), "play");
  }

  testdb::RecordingReporter reporter;
  BaseDePrueba base;
  SonidoGrabado sonido;
  Tablero tablero;
  PuntoDeVentaEscribiendo puntoDeVenta;
};

TEST_F(MarcasOcupadasTest, AClickOnABusyFileWaitsAndIsWrittenOnceAtTheNextTick) {
  int32_t id = base.agregar({.mesa = "5", .tiempo = 9});
  cargarConBar();
  std::string marca = "1:" + std::to_string(id);

  puntoDeVenta.tomar();
  double clic1 = segundos([&] { clic(1, 0, 1); });
  // A second click on the same line, still not red: the same mark, not a
  // second one.
  double clic2 = segundos([&] { clic(1, 0, 1); });
  double tick = segundos([&] { tablero.tmrServido_Timer(); });
  std::cout << "con la base ocupada: clic " << clic1 << " s, clic " << clic2 << " s, tick " << tick
            << " s\n";
  for (double s : {clic1, clic2, tick}) EXPECT_LT(s, 1.5);  // the fault waited 30 s
  EXPECT_EQ(tablero.marcas.pendientes(), 1u);
  EXPECT_NE(tablero.aviso.find("ocupada"), std::string::npos) << tablero.aviso;
  EXPECT_NE(tablero.aviso.find("1 marca sin guardar"), std::string::npos) << tablero.aviso;
  EXPECT_TRUE(pedidos().escritas.empty());
  EXPECT_TRUE(reporter.messages.empty());            // no message box per try
  EXPECT_EQ(tablero.msgListaPendientes.count(), 2);  // the last board stays

  puntoDeVenta.soltar();
  tablero.tmrServido_Timer();
  EXPECT_EQ(pedidos().escritas, (std::vector<std::string>{marca}));
  EXPECT_EQ(base.columna(id, "DespCoc").asText(), "P");
  EXPECT_EQ(base.columna(id, "tdc").asLong(), 9);  // the minute of the board clicked on
  EXPECT_EQ(tablero.msgListaPendientes[1].backColorAt(0, 1), ui::kRed);
  EXPECT_EQ(tablero.aviso, "");
  tablero.tmrServido_Timer();
  EXPECT_EQ(pedidos().escritas.size(), 1u);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(MarcasOcupadasTest, ALineAnnouncedWhileTheFileIsBusySoundsOnceAndIsMarkedOnce) {
  int32_t id = base.agregar({.mesa = "2", .tin = "O"});
  tablero.Form_Load();
  tablero.Form_Resize(12000, 9000);
  // The point of sale takes the file between the read and the announcement.
  pedidos().alMarcarNuevo = [&] {
    pedidos().alMarcarNuevo = nullptr;
    puntoDeVenta.tomar();
  };
  tablero.cmdVer[0].down = true;
  tablero.cmdVer_Click(0);
  EXPECT_EQ(sonidos(), 1u);
  EXPECT_EQ(tablero.marcas.pendientes(), 1u);
  EXPECT_TRUE(reporter.messages.empty());
  tablero.tmrServido_Timer();  // still busy: nothing read, nothing sounds
  EXPECT_EQ(sonidos(), 1u);

  puntoDeVenta.soltar();
  tablero.tmrServido_Timer();
  EXPECT_EQ(pedidos().escritas, (std::vector<std::string>{"X:" + std::to_string(id)}));
  EXPECT_EQ(base.columna(id, "tin").asText(), "X");
  EXPECT_EQ(sonidos(), 1u);
  EXPECT_EQ(tablero.marcas.pendientes(), 0u);
}

TEST_F(MarcasOcupadasTest, MarksWaitInOrderAndASentBackLineToo) {
  int32_t a = base.agregar({.mesa = "1", .tiempo = 4});
  int32_t b = base.agregar({.mesa = "2", .tiempo = 3, .despcoc = "P"});
  cargarConBar();
  puntoDeVenta.tomar();
  clic(1, 0, 1);  // table 1: first mark of a
  clic(2, 0, 1);  // table 2 is red: second mark of b
  tablero.cmdServido_Click();
  tablero.msgListaControl.setRow(1);
  tablero.msgListaControl_Click();             // the dispatched list stays from before
  EXPECT_EQ(tablero.marcas.pendientes(), 2u);  // the list could not be read: no row to click
  EXPECT_NE(tablero.aviso.find("2 marcas sin guardar"), std::string::npos) << tablero.aviso;
  puntoDeVenta.soltar();
  tablero.cmdServido_Click();
  EXPECT_EQ(pedidos().escritas,
            (std::vector<std::string>{"1:" + std::to_string(a), "2:" + std::to_string(b)}));
  ASSERT_EQ(tablero.msgListaControl.text(1, 6), std::to_string(b));  // b, dispatched
  tablero.msgListaControl.setRow(1);
  puntoDeVenta.tomar();
  tablero.msgListaControl_Click();  // sent back while the file is busy
  EXPECT_EQ(tablero.marcas.pendientes(), 1u);
  puntoDeVenta.soltar();
  tablero.cmdServido_Click();
  EXPECT_EQ(pedidos().escritas.back(), "Y:" + std::to_string(b));
  EXPECT_EQ(base.columna(b, "DespCoc").asText(), "Y");
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(MarcasOcupadasTest, AMarkTheFileStaysBusyForIsReportedOnceAndDropped) {
  int32_t id = base.agregar({.mesa = "5"});
  cargarConBar();
  conexion->connection()->setLockWait(std::chrono::milliseconds(5));  // quick tries
  puntoDeVenta.tomar();
  clic(1, 0, 1);
  for (int i = 0; i < MarcasPendientes::kIntentos - 1; ++i) tablero.tmrServido_Timer();
  EXPECT_EQ(tablero.marcas.pendientes(), 1u);
  EXPECT_TRUE(reporter.messages.empty());
  tablero.tmrServido_Timer();  // the last try
  EXPECT_EQ(tablero.marcas.pendientes(), 0u);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], "Error -2147467259 Error en el comando ejecutado");
  ASSERT_EQ(reporter.clipboard.size(), 1u);
  EXPECT_NE(reporter.clipboard[0].find("idcomanda = " + std::to_string(id)), std::string::npos);
  puntoDeVenta.soltar();
  tablero.tmrServido_Timer();
  EXPECT_EQ(base.columna(id, "DespCoc").asText(), "Y");  // dropped, not written later
  EXPECT_EQ(std::count(pedidos().marcas.begin(), pedidos().marcas.end(), "1:" + std::to_string(id)),
            MarcasPendientes::kIntentos + 1);
}

TEST_F(MarcasOcupadasTest, ALineSentBackWhileTheFileIsBusyIsWrittenByTheListsRetryTimer) {
  int32_t id = base.agregar({.mesa = "2", .despcoc = "S"});
  cargarConBar();
  tablero.cmdServido_Click();
  ASSERT_EQ(tablero.msgListaControl.text(1, 6), std::to_string(id));
  EXPECT_FALSE(tablero.tmrReintentoEnabled);  // the list read: nothing to retry
  puntoDeVenta.tomar();
  tablero.msgListaControl.setRow(1);
  tablero.msgListaControl_Click();
  EXPECT_EQ(tablero.marcas.pendientes(), 1u);
  // The file is free again by the time the list is read: the read works,
  // the mark still waits. The refresh timer is stopped in this view; the
  // retry timer runs while the mark waits, and its tick writes it.
  puntoDeVenta.soltar();
  tablero.muestraDespachados();
  EXPECT_EQ(tablero.marcas.pendientes(), 1u);
  EXPECT_FALSE(tablero.tmrServidoEnabled);
  ASSERT_TRUE(tablero.tmrReintentoEnabled);
  tablero.tmrReintento_Timer();
  EXPECT_EQ(pedidos().escritas, (std::vector<std::string>{"Y:" + std::to_string(id)}));
  EXPECT_EQ(base.columna(id, "DespCoc").asText(), "Y");
  EXPECT_EQ(tablero.marcas.pendientes(), 0u);
  EXPECT_FALSE(tablero.tmrReintentoEnabled);
  EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
}  // namespace board
