// The kitchen board's state and routines: everything fmrInicio does, kept in
// plain objects the tests drive without a screen. The form (fmr_inicio.h)
// only paints this state and forwards the staff's clicks and the timer.
//
// Notes on the design:
// - All lengths are twips. The form's size comes from Form_Resize.
// - msgListaPendientes is a grid array: element 0 is the header grid (area
//   names as column titles), elements 1 and up are one grid per table, all
//   destroyed and rebuilt by every refresh. Only the header grid, the chosen
//   areas and the scroll position carry over from one refresh to the next.
// - The two views: pending ("Por Servir": frmContenedor shown, list hidden,
//   timer running) and dispatched ("Servido": list shown, frmContenedor and
//   vscRegla hidden, timer stopped).
// - Every order-line cell ends with 61 line breaks, "Cod: " and the line's
//   identifier; rows are sized to the visible lines only, so the tag is never
//   seen, and the click reads the line back from it.
// - A read failing during a refresh (the point of sale holding the file for
//   a moment) does not end the program: the last board stays on the
//   screen, the failure shows in `aviso`, and the next tick of the timer
//   tries again. When more than two refreshes in a row have failed, the
//   board is stale (`tableroViejo`): the form greys the tables and lays
//   `textoSinLectura` across the board, until the first refresh that reads.
// - A failed read of the dispatched list leaves the list empty down to its
//   title row, with the failure in `aviso`: a stale list would offer lines
//   to send back that may have changed. While the list is up, the retry
//   timer `tmrReintento` reads it again (the refresh timer stays stopped
//   there, so nothing sounds), and writes the marks a busy file left
//   waiting. Only a failure at load is fatal.
// - The connection waits a fraction of a second for the point of sale's lock
//   (data/clsConnAdmin.h), so no event holds the window longer than that.
//   A mark the busy file could not take waits in `marcas` and is written at
//   the start of a following event (marcas_pendientes.h); the footer tells
//   how many wait.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "board/marcas_pendientes.h"
#include "board/pedidos.h"
#include "ui/control_array.h"
#include "ui/flex_grid_model.h"
#include "ui/sound_device.h"
#include "ui/text_measurer.h"

namespace board {

inline constexpr const char* kCaptionPorServir = "Productos Por Servir";
inline constexpr const char* kCaptionDespachados = "Productos Despachados a los Meseros";
inline constexpr ui::Color kColorDespachado = 12640511;  // C0E0FF, light orange
inline constexpr int32_t kPasoRegla = 480;               // twips per scroll step
inline constexpr int kIntervaloServidoMs = 2500;
inline constexpr int32_t kAnchoColumnaMesa = 1500;

// A toggle button of the area strip (down = value 1).
struct BotonArea {
  ui::TwipsRect place;
  std::string caption;
  bool down = false;
};

struct BarraVertical {
  ui::TwipsRect place;
  int32_t min = 0;
  int32_t max = 0;  // negative: moving down makes the value more negative
  int32_t value = 0;
};

// The design of the form's grids and controls; the default row height is one
// line of the grid's font as `medidor` measures it.
ui::GridDesign disenoPendientes(const ui::TextMeasurer& medidor);
ui::GridDesign disenoControl(const ui::TextMeasurer& medidor);

class Tablero {
 public:
  // `abrir` makes the order store when the form loads (creating the
  // connection); `sonido` is the multimedia device and `medidor` measures
  // text in the grids' fonts; both must outlive the board.
  Tablero(std::function<std::unique_ptr<Pedidos>()> abrir, ui::SoundDevice& sonido,
          const ui::TextMeasurer& medidor);

  // --- events of the form ---
  // Opens the store, reads the areas, lays out one button per area. Raises
  // what the store raises (a database that can't be opened ends start-up).
  void Form_Load();
  void Form_Resize(int32_t width, int32_t height);
  void Form_Activate();
  void vscRegla_Change();
  void cmdVer_Click(int16_t index);
  void cmdPorServir_Click();
  void cmdServido_Click();
  void tmrServido_Timer();
  void tmrReintento_Timer();
  void msgListaPendientes_Click(int16_t index);
  void msgListaControl_Click();

  // --- routines ---
  void refrescaPendientes(const std::string& = "");
  void muestraDespachados();
  void reproduceAlerta();
  int16_t getMesa(const std::string& mesa);
  int16_t getFilaComanda(ui::FlexGridModel& tabla, int16_t columna, int32_t idComanda);
  void rellenaVacios(int16_t index);
  static std::string saltosOcultos();
  int16_t cuentaLineas(int16_t index, int16_t fila, int16_t columna);
  void pintaTabla(int16_t index, ui::Color color);
  // Lays out n buttons in `rows` rows across `holder`; creates buttons 1 to
  // n - 1 as copies of button 0 unless they exist already.
  static void calculaBotones(ui::ControlArray<BotonArea>& botones, const ui::TwipsRect& holder,
                             int16_t n, int32_t gap, int16_t rows, bool existing);

  // --- state, read by the form to paint ---
  ui::TwipsRect form;
  ui::TwipsRect frmAreas{0, 0, 11715, 855};
  ui::TwipsRect frmContenedorAreas{0, 0, 3735, 855};
  ui::ControlArray<BotonArea> cmdVer;
  ui::TwipsRect frmContenedor{0, 840, 11175, 2775};
  ui::ControlArray<ui::FlexGridModel> msgListaPendientes;
  BarraVertical vscRegla;
  ui::FlexGridModel msgListaControl;
  ui::TwipsRect pctFooter{0, 6450, 11715, 735};
  bool tmrServidoEnabled = true;
  std::string caption;
  std::string sonidoActual;
  std::vector<std::string> listaAreas;
  std::vector<std::string> areasSeleccionadas;
  // The last read failure, shown to the staff until a read succeeds again,
  // and the marks waiting for a busy file.
  std::string aviso;
  // Refreshes in a row that could not read the pending lines, and the time
  // of day ("HH:mm:ss", from the service clock's source) of the first.
  int fallosSeguidos = 0;
  std::string sinLecturaDesde;
  // Runs while the dispatched list is up and its last read failed.
  bool tmrReintentoEnabled = false;

  // More than two refreshes in a row failed: what the screen shows is stale.
  bool tableroViejo() const { return fallosSeguidos > 2; }
  // The banner of a stale board, in the staff's words, with the time since
  // which the board has not read the database; empty while it reads.
  std::string textoSinLectura() const;

  // The kitchen's marks not yet written, oldest first.
  MarcasPendientes marcas;

 private:
  Pedidos& pedidos();
  // The text of an order line's cell, visible part only (the refresh appends
  // the hidden tag after sizing the row).
  static std::string textoVisible(const clsComanda& linea);
  void anotarFallo(const std::exception& e);
  // Adds to `aviso` the note of the marks still waiting, if any.
  void anotarMarcas();

  std::function<std::unique_ptr<Pedidos>()> abrir_;
  std::unique_ptr<Pedidos> pedidos_;
  ui::SoundDevice& sonido_;
  const ui::TextMeasurer& medidor_;
};

}  // namespace board
