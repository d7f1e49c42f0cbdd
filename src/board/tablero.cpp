// The board's routines: layout, refresh, clicks, the dispatched list and the
// alert, in the order the kitchen meets them.
#include "board/tablero.h"

#include <cmath>
#include <optional>

#include "ado/conversions.h"
#include "ado/error.h"
#include "board/mod_tabla.h"
#include "orders/service_clock.h"

namespace board {

namespace {

constexpr const char* kSaltoLinea = "\r\n";
constexpr const char* kEtiquetaCodigo = "Cod: ";

std::vector<std::string> partir(const std::string& texto) {
  std::vector<std::string> partes;
  if (texto.empty()) return partes;
  size_t inicio = 0;
  while (true) {
    size_t salto = texto.find(kSaltoLinea, inicio);
    partes.push_back(
        texto.substr(inicio, salto == std::string::npos ? std::string::npos : salto - inicio));
    if (salto == std::string::npos) break;
    inicio = salto + 2;
  }
  return partes;
}

// Blanks removed at both ends, as the staff's detail text is trimmed.
std::string sinBlancos(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

// The identifier behind the "Cod: " tag of a cell, when the cell has one.
std::optional<double> codigoDeCelda(const std::string& texto) {
  size_t p = texto.find(kEtiquetaCodigo);
  if (p == std::string::npos) return std::nullopt;
  return ado::parseNumber(std::string_view(texto).substr(p + 4));
}

int32_t redondear(double x) {
  return static_cast<int32_t>(ado::roundHalfEven(x));
}

}  // namespace

ui::GridDesign disenoPendientes(const ui::TextMeasurer& medidor) {
  ui::GridDesign d;
  d.rows = 1;
  d.cols = 1;
  d.fixedRows = 0;
  d.fixedCols = 0;
  d.mergeCells = ui::MergeCells::Free;
  d.wordWrap = true;
  d.font = ui::GridFont{"Arial", 9.75, false};
  d.defaultRowHeight = medidor.lineHeight(d.font);
  return d;
}

ui::GridDesign disenoControl(const ui::TextMeasurer& medidor) {
  ui::GridDesign d;
  d.rows = 2;
  d.cols = 2;
  d.fixedRows = 1;
  d.fixedCols = 0;
  d.font = ui::GridFont{"MS Sans Serif", 8.25, false};
  d.defaultRowHeight = medidor.lineHeight(d.font);
  return d;
}

Tablero::Tablero(std::function<std::unique_ptr<Pedidos>()> abrir, ui::SoundDevice& sonido,
                 const ui::TextMeasurer& medidor)
    : cmdVer(BotonArea{{0, 0, 1695, 855, true}, "Areas", false},
             [](const BotonArea& b) {
               return BotonArea{b.place, b.caption, false};
             }),
      msgListaPendientes(ui::FlexGridModel(disenoPendientes(medidor)),
                         [](const ui::FlexGridModel& g) { return g.designCopy(); }),
      msgListaControl(disenoControl(medidor)),
      marcas([this]() -> Pedidos& { return pedidos(); }),
      abrir_(std::move(abrir)),
      sonido_(sonido),
      medidor_(medidor) {
  msgListaPendientes[0].place() = {0, 120, 11175, 615, true};
  msgListaControl.place() = {0, 3720, 11655, 1215, false};
  vscRegla.place = {11160, 840, 495, 2775, true};
  form = {0, 0, 11715, 7185, true};
}

Pedidos& Tablero::pedidos() {
  if (!pedidos_) pedidos_ = abrir_();
  return *pedidos_;
}

std::string Tablero::textoSinLectura() const {
  if (!tableroViejo()) return "";
  return "No se puede leer la base de datos desde las " + sinLecturaDesde.substr(0, 5) +
         ". Los pedidos en pantalla pueden no estar al día.";
}

void Tablero::anotarFallo(const std::exception& e) {
  if (const auto* com = dynamic_cast<const ado::ComError*>(&e)) {
    aviso = "Error " + std::to_string(com->number()) + " " + com->description();
  } else {
    aviso = std::string("Error ") + e.what();
  }
}

void Tablero::anotarMarcas() {
  std::string nota = marcas.aviso();
  if (nota.empty()) return;
  aviso = aviso.empty() ? nota : aviso + "\n" + nota;
}

// ---- layout ----

void Tablero::Form_Load() {
  pedidos();  // creating the store opens the database
  listaAreas = pedidos().getAreas();
  calculaBotones(cmdVer, frmAreas, static_cast<int16_t>(listaAreas.size()), 0, 1, false);
  for (size_t i = 0; i < listaAreas.size() && cmdVer.loaded(static_cast<int32_t>(i)); ++i) {
    cmdVer[static_cast<int32_t>(i)].caption = listaAreas[i];
  }
}

void Tablero::calculaBotones(ui::ControlArray<BotonArea>& botones, const ui::TwipsRect& holder,
                             int16_t n, int32_t gap, int16_t rows, bool existing) {
  if (n < 1) return;
  if (rows < 1) rows = 1;
  int32_t columns = n / rows + (n % rows != 0 ? 1 : 0);
  BotonArea& first = botones[0];
  first.place.width = (holder.width - columns * gap) / columns;
  first.place.height = holder.height / rows;
  first.place.left = 0;
  first.place.top = 0;
  int32_t column = 0, top = 0;
  for (int16_t i = 1; i < n; ++i) {
    if (!existing || !botones.loaded(i)) {
      botones.load(i);
    }
    BotonArea& b = botones[i];
    b.place.width = first.place.width;
    b.place.height = first.place.height;
    if (++column >= columns) {
      column = 0;
      top += first.place.height + gap;
    }
    b.place.left = (first.place.width + gap) * column;
    b.place.top = top;
    b.place.visible = true;
  }
}

void Tablero::Form_Resize(int32_t width, int32_t height) {
  form.width = width;
  form.height = height;
  // The top strip and the footer are docked: they follow the form's width.
  frmAreas.width = width;
  pctFooter.width = width;
  pctFooter.top = height - pctFooter.height;
  frmContenedorAreas.width = width;
  calculaBotones(cmdVer, frmContenedorAreas, static_cast<int16_t>(listaAreas.size()), 0, 1, true);
  frmContenedor.top = frmAreas.height;
  frmContenedor.width = width - vscRegla.place.width;
  frmContenedor.height = height - frmAreas.height - pctFooter.height;
  ui::FlexGridModel& cabecera = msgListaPendientes[0];
  cabecera.place().left = 0;
  cabecera.place().top = 0;
  cabecera.place().width = frmContenedor.width;
  cabecera.setRows(1);
  vscRegla.place.left = width - vscRegla.place.width;
  vscRegla.place.top = frmAreas.height;
  vscRegla.place.height = height - pctFooter.height - frmAreas.height;
  msgListaControl.place().width = width;
  msgListaControl.place().height = height - pctFooter.height - frmAreas.height;
  msgListaControl.place().top = frmAreas.height;
}

void Tablero::vscRegla_Change() {
  // 64-bit: a long board scrolls past what 16 bits of twips can hold.
  int64_t top = int64_t{frmAreas.height} + int64_t{vscRegla.value} * kPasoRegla;
  frmContenedor.top = static_cast<int32_t>(top);
}

// ---- the pending view ----

// Every event of the board first writes the marks a busy file left waiting,
// oldest first, before it makes or reads anything new.

void Tablero::Form_Activate() {
  marcas.reintentar();
  refrescaPendientes("");
  sonidoActual = std::string("Sonido\\") + "PrHelp.WAV";
}

void Tablero::tmrServido_Timer() {
  marcas.reintentar();
  refrescaPendientes("");
}

void Tablero::cmdPorServir_Click() {
  marcas.reintentar();
  if (!tmrServidoEnabled) tmrServidoEnabled = true;
  refrescaPendientes("");
}

void Tablero::cmdVer_Click(int16_t) {
  marcas.reintentar();
  if (!tmrServidoEnabled) tmrServidoEnabled = true;
  ui::FlexGridModel& cabecera = msgListaPendientes[0];
  cabecera.setCols(1);
  int16_t n = 0;
  for (int32_t i = 0; i < cmdVer.upperBound(); ++i) {
    if (!cmdVer.loaded(i) || !cmdVer[i].down) continue;
    areasSeleccionadas.resize(static_cast<size_t>(n) + 1);
    areasSeleccionadas[n] = cmdVer[i].caption;
    cabecera.setCols(cabecera.cols() + 1);
    int32_t c = cabecera.cols() - 1;
    cabecera.setText(0, c, cmdVer[i].caption);
    cabecera.setRow(0);
    cabecera.setCol(c);
    cabecera.setCellAlignment(ui::Alignment::CenterCenter);
    ++n;
  }
  cabecera.place().width = frmContenedor.width;
  cabecera.setColWidth(0, kAnchoColumnaMesa);
  if (cabecera.cols() >= 2) {
    int32_t ancho =
        redondear(static_cast<double>(cabecera.place().width - 1800) / (cabecera.cols() - 1));
    for (int32_t c = 1; c < cabecera.cols(); ++c) cabecera.setColWidth(c, ancho);
  }
  refrescaPendientes("");
}

std::string Tablero::textoVisible(const clsComanda& linea) {
  std::string texto = std::to_string(linea.tiempo()) + " Minutos" + kSaltoLinea +
                      ado::formatNumber(std::fabs(linea.cantidad())) + " " + linea.Nombre();
  for (const std::string& parte : partir(linea.Detalle())) {
    if (!sinBlancos(parte).empty()) texto += kSaltoLinea + std::string("-> ") + parte;
  }
  return texto;
}

void Tablero::refrescaPendientes(const std::string&) {
  msgListaControl.place().visible = false;
  frmContenedor.visible = false;

  std::vector<clsMesa> mesas;
  try {
    mesas = pedidos().getPendientes(areasSeleccionadas);
  } catch (const std::exception& e) {
    // The point of sale may hold the file for a moment: keep the last board
    // in sight and try again at the next tick; after the third failure in a
    // row the form marks it stale.
    anotarFallo(e);
    if (fallosSeguidos++ == 0) sinLecturaDesde = horaDelReloj();
    tmrReintentoEnabled = false;
    anotarMarcas();
    caption = kCaptionPorServir;
    frmContenedor.visible = true;
    return;
  }
  aviso.clear();
  fallosSeguidos = 0;
  sinLecturaDesde.clear();
  tmrReintentoEnabled = false;

  const int32_t cargados = msgListaPendientes.upperBound();
  for (int32_t i = 1; i < cargados; ++i) msgListaPendientes.unload(i);

  if (!mesas.empty()) {
    ui::FlexGridModel& cabecera = msgListaPendientes[0];
    for (const clsMesa& mesa : mesas) {
      int16_t index = getMesa(mesa.mesa());
      if (index >= msgListaPendientes.upperBound()) continue;
      ui::FlexGridModel& g = msgListaPendientes[index];
      for (int16_t c = 1; c < g.cols(); ++c) {
        areaComandas area = mesa.getArea(cabecera.text(0, c));
        for (const clsComanda& linea : *area.comandas) {
          int16_t fila = getFilaComanda(g, c, linea.idComanda());
          g.setText(fila, c, textoVisible(linea));
          int16_t lineas = cuentaLineas(index, fila, c);
          int64_t necesaria = int64_t{cabecera.rowHeight(0)} * lineas;
          if (necesaria > g.rowHeight(fila)) {
            g.setRowHeight(fila, static_cast<int32_t>(std::min<int64_t>(necesaria, INT32_MAX)));
          }
          g.setText(fila, c,
                    g.text(fila, c) + saltosOcultos() + kEtiquetaCodigo +
                        std::to_string(linea.idComanda()));
          if (linea.despcoc() == "P") {
            g.setRow(fila);
            g.setCol(c);
            g.setCellBackColor(ui::kRed);
          }
          g.place().height = static_cast<int32_t>(g.totalRowHeight());
          // A line whose announcement already waits for the file sounded
          // when it was first read: it does not sound again.
          if (linea.tin() == "O" &&
              marcas.marcar({Marca::Tipo::DesmarcarNuevo, linea.idComanda(), minutosServicio})) {
            reproduceAlerta();
          }
        }
      }
      rellenaVacios(index);
    }

    int64_t alto = 0;
    for (int32_t i = 0; i < msgListaPendientes.upperBound(); ++i) {
      if (msgListaPendientes.loaded(i)) alto += msgListaPendientes[i].place().height;
    }
    frmContenedor.height = static_cast<int32_t>(std::min<int64_t>(alto, INT32_MAX));

    int32_t libre = form.height - frmAreas.height - pctFooter.height;
    if (libre < frmContenedor.height) {
      // Whole steps enough to bring the last table's bottom above the footer:
      // the overflow rounded up, never to the nearest step.
      int64_t exceso = int64_t{frmContenedor.height} - libre;
      vscRegla.max = -static_cast<int32_t>((exceso + kPasoRegla - 1) / kPasoRegla);
      vscRegla.min = 0;
      vscRegla.place.visible = true;
      if (vscRegla.value < vscRegla.max) {
        vscRegla.value = vscRegla.max;
        vscRegla_Change();
      }
    } else {
      vscRegla.value = 0;
      vscRegla_Change();
      vscRegla.place.visible = false;
    }

    for (int16_t i = 1; i < msgListaPendientes.upperBound(); ++i) {
      pintaTabla(i, i % 2 == 0 ? ui::kWhite : ui::kGreen);
    }
  }
  anotarMarcas();
  caption = kCaptionPorServir;
  frmContenedor.visible = true;
}

void Tablero::msgListaPendientes_Click(int16_t index) {
  if (index == 0 || !msgListaPendientes.loaded(index)) return;
  ui::FlexGridModel& g = msgListaPendientes[index];
  int32_t r = g.row(), c = g.col();
  const std::string& texto = g.text(r, c);
  if (texto.empty() || c == 0) return;
  std::optional<double> codigo = codigoDeCelda(texto);
  if (!codigo) return;  // a cell without the tag names no line
  int32_t id = redondear(*codigo);
  marcas.reintentar();
  // setDespachar1 on a cell not red, setDespachar2 on a red one, with the
  // minute of the board the cook clicked on.
  Marca::Tipo tipo =
      g.cellBackColor() != ui::kRed ? Marca::Tipo::Despachar1 : Marca::Tipo::Despachar2;
  marcas.marcar({tipo, id, minutosServicio});
  refrescaPendientes("");
}

// ---- grid helpers ----

int16_t Tablero::getMesa(const std::string& mesa) {
  int32_t n = msgListaPendientes.upperBound();
  for (int32_t i = 1; i < n; ++i) {
    if (msgListaPendientes.loaded(i) && msgListaPendientes[i].text(0, 0) == mesa) {
      return static_cast<int16_t>(i);
    }
  }
  if (!msgListaPendientes.load(n)) return static_cast<int16_t>(n);
  const ui::FlexGridModel& cabecera = msgListaPendientes[0];
  ui::FlexGridModel& g = msgListaPendientes[n];
  const ui::FlexGridModel& anterior = msgListaPendientes[n - 1];
  g.setRows(1);
  g.setCols(cabecera.cols());
  g.setRowHeight(0, cabecera.rowHeight(0));
  g.setText(0, 0, mesa);
  g.place().top = anterior.place().top + anterior.place().height;
  g.place().visible = true;
  for (int32_t j = 0; j < cabecera.cols(); ++j) {
    g.setColWidth(j, cabecera.colWidth(j));
    g.setColMerge(j, true);
  }
  return static_cast<int16_t>(n);
}

int16_t Tablero::getFilaComanda(ui::FlexGridModel& tabla, int16_t columna, int32_t idComanda) {
  for (int32_t r = 0; r < tabla.rows(); ++r) {
    const std::string& texto = tabla.text(r, columna);
    if (texto.empty()) continue;
    std::optional<double> codigo = codigoDeCelda(texto);
    if (codigo && *codigo == idComanda) return static_cast<int16_t>(r);
  }
  for (int32_t r = 0; r < tabla.rows(); ++r) {
    if (tabla.text(r, columna).empty()) return static_cast<int16_t>(r);
  }
  if (!tabla.text(tabla.rows() - 1, columna).empty()) {
    tabla.setRows(tabla.rows() + 1);
    tabla.setText(tabla.rows() - 1, 0, tabla.text(0, 0));
  }
  return static_cast<int16_t>(tabla.rows() - 1);
}

void Tablero::rellenaVacios(int16_t index) {
  ui::FlexGridModel& g = msgListaPendientes[index];
  if (g.rows() < 2) return;
  for (int32_t c = 1; c < g.cols(); ++c) {
    for (int32_t r = 1; r < g.rows(); ++r) {
      if (g.text(r, c).empty()) g.setText(r, c, g.text(r - 1, c));
    }
  }
}

std::string Tablero::saltosOcultos() {
  std::string saltos;
  for (int i = 0; i <= 60; ++i) saltos += kSaltoLinea;
  return saltos;
}

int16_t Tablero::cuentaLineas(int16_t index, int16_t fila, int16_t columna) {
  ui::FlexGridModel& g = msgListaPendientes[index];
  g.setCol(columna);
  g.setRow(fila);
  // Counted by the layout the grid draws with (its font, its column as drawn,
  // its word breaks), so a row sized from the count shows every line.
  int32_t cuenta = medidor_.cellLines(g, fila, columna);
  return static_cast<int16_t>(std::min<int32_t>(cuenta, INT16_MAX));
}

void Tablero::pintaTabla(int16_t index, ui::Color color) {
  ui::FlexGridModel& g = msgListaPendientes[index];
  for (int32_t r = 0; r < g.rows(); ++r) {
    for (int32_t c = 0; c < g.cols(); ++c) {
      g.setRow(r);
      g.setCol(c);
      if (g.cellBackColor() != ui::kRed) g.setCellBackColor(color);
    }
  }
}

// ---- the dispatched view ----

void Tablero::cmdServido_Click() {
  marcas.reintentar();
  msgListaControl.place().visible = true;
  frmContenedor.visible = false;
  vscRegla.place.visible = false;
  tmrServidoEnabled = false;
  muestraDespachados();
}

void Tablero::tmrReintento_Timer() {
  if (msgListaControl.place().visible) {
    marcas.reintentar();
    muestraDespachados();
  } else {
    tmrReintentoEnabled = false;
  }
}

void Tablero::muestraDespachados() {
  std::vector<LineaDespachada> lineas;
  bool leido = true;
  try {
    lineas = pedidos().getAllPendienteRs();
    aviso.clear();
  } catch (const std::exception& e) {
    // The list is built with no line: its title row and the failure, and
    // the retry timer reads again while the list is up.
    anotarFallo(e);
    leido = false;
  }
  // The refresh timer is stopped in this view: the retry timer reads again
  // after a failed read and writes the marks a busy file left waiting.
  tmrReintentoEnabled = (!leido || marcas.pendientes() > 0) && msgListaControl.place().visible;

  ui::FlexGridModel& g = msgListaControl;
  g.clear();
  g.setFillStyle(ui::FillStyle::Single);
  g.setRows(1);
  g.setCols(7);
  const char* titulos[] = {"Mesa", "Cantidad", "Producto", "Detalle", "Mesero", "Espera", "Codigo"};
  for (int c = 0; c < 7; ++c) g.setText(0, c, titulos[c]);
  g.setColWidth(0, 1000);
  g.setColWidth(1, 1200);
  g.setColWidth(3, 2500);
  g.setColWidth(4, 1500);
  g.setColWidth(5, 0);
  g.setColWidth(6, 0);
  int32_t resto = g.place().width - g.colWidth(0) - g.colWidth(1) - g.colWidth(3) - g.colWidth(4) -
                  g.colWidth(5) - g.colWidth(6) - 400;
  // A screen too narrow for the product column leaves it at width 0 rather
  // than a negative width.
  g.setColWidth(2, std::max<int32_t>(resto, 0));

  for (const LineaDespachada& linea : lineas) {
    g.addItem(modTabla::filaDespachada(linea));
    g.setRow(g.rows() - 1);
    for (int32_t c = 0; c < g.cols(); ++c) {
      g.setCol(c);
      g.setCellBackColor(kColorDespachado);
      g.setCellAlignment(ui::Alignment::LeftCenter);
    }
  }
  anotarMarcas();
  caption = kCaptionDespachados;
  modTabla::formatoTabla(g, 12, medidor_);
}

void Tablero::msgListaControl_Click() {
  int32_t r = msgListaControl.row();
  std::optional<double> codigo = ado::parseNumber(msgListaControl.text(r, 6));
  if (!codigo) return;  // the title row holds "Codigo"
  double redondo = ado::roundHalfEven(*codigo);
  if (redondo < INT32_MIN || redondo > INT32_MAX) return;
  marcas.reintentar();
  marcas.marcar({Marca::Tipo::Devolver, static_cast<int32_t>(redondo), minutosServicio});
  muestraDespachados();
}

// ---- the alert ----

void Tablero::reproduceAlerta() {
  sonido_.command("stop");
  sonido_.command("close");
  sonido_.setFileName(sonidoActual);
  sonido_.command("open");
  sonido_.command("play");
}

}  // namespace board
