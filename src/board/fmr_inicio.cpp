// The board form's widgets, kept in step with the Tablero they show.
#include "board/fmr_inicio.h"

#include <QGraphicsColorizeEffect>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "board/ctl_reloj.h"
#include "ui/flex_grid.h"
#include "ui/qt_text_measurer.h"
#include "ui/twips.h"
#include "ui/wave_player.h"

namespace board {

namespace {

void fondo(QWidget* w, ui::Color color) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, ui::qtColor(color));
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

QFont fuenteBoton(double puntos) {
  QFont f("Arial");
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(puntos);
  f.setBold(true);
  return f;
}

// An area button that is down stands out from across the kitchen: the
// platform's own down state is a grey barely darker than an up button.
constexpr const char* kEstiloBotonArea =
    "QPushButton:checked { background-color: #0b4fb3; color: white;"
    " border: 4px inset #062d66; padding-top: 3px; }";

void colocar(QWidget* w, const ui::TwipsRect& r) {
  w->setGeometry(ui::twips::toPixels(r));
  w->setVisible(r.visible);
}

}  // namespace

fmrInicio::fmrInicio(std::function<std::unique_ptr<Pedidos>()> abrir, QWidget* parent,
                     ui::SoundDevice* sonido)
    : QWidget(parent) {
  if (sonido == nullptr) {
    sonidoPropio_ = std::make_unique<ui::WavePlayer>();
    sonido = sonidoPropio_.get();
  }
  tablero_ = std::make_unique<Tablero>(std::move(abrir), *sonido, ui::qtTextMeasurer());

  frmContenedor_ = new QWidget(this);
  fondo(frmContenedor_, ui::kWhite);
  msgListaControl_ = new ui::FlexGrid(&tablero_->msgListaControl, this);
  connect(msgListaControl_, &ui::FlexGrid::clicked, this,
          [this](int) { evento([this] { tablero_->msgListaControl_Click(); }); });
  vscRegla_ = new QScrollBar(Qt::Vertical, this);
  connect(vscRegla_, &QScrollBar::valueChanged, this, &fmrInicio::onReglaMovida);

  frmAreas_ = new QWidget(this);
  frmContenedorAreas_ = new QWidget(frmAreas_);

  pctFooter_ = new QWidget(this);
  fondo(pctFooter_, ui::kLightGrey);
  cmdPorServir_ = new QPushButton(QStringLiteral("Por Servir"), pctFooter_);
  cmdPorServir_->setFont(fuenteBoton(13.5));
  connect(cmdPorServir_, &QPushButton::clicked, this,
          [this] { evento([this] { tablero_->cmdPorServir_Click(); }); });
  cmdServido_ = new QPushButton(QStringLiteral("Servido"), pctFooter_);
  cmdServido_->setFont(fuenteBoton(13.5));
  connect(cmdServido_, &QPushButton::clicked, this,
          [this] { evento([this] { tablero_->cmdServido_Click(); }); });
  reloj_ = new CtlReloj(pctFooter_);
  reloj_->setColor(ui::kLightGrey);
  aviso_ = new QLabel(pctFooter_);
  aviso_->setWordWrap(true);
  aviso_->setFont(fuenteBoton(11));
  QPalette rojo = aviso_->palette();
  rojo.setColor(QPalette::WindowText, ui::qtColor(ui::kRed));
  aviso_->setPalette(rojo);

  // Across the board, above the footer, when the board has stopped reading.
  sinLectura_ = new QLabel(this);
  sinLectura_->setWordWrap(true);
  sinLectura_->setAlignment(Qt::AlignCenter);
  sinLectura_->setFont(fuenteBoton(20));
  sinLectura_->setMargin(12);
  QPalette alarma = sinLectura_->palette();
  alarma.setColor(QPalette::Window, ui::qtColor(0x0000B0));  // dark red
  alarma.setColor(QPalette::WindowText, Qt::white);
  sinLectura_->setPalette(alarma);
  sinLectura_->setAutoFillBackground(true);
  sinLectura_->hide();
  // The tables of a stale board keep their place but lose their colours;
  // a dark tint keeps the text dark enough to read.
  auto* gris = new QGraphicsColorizeEffect(frmContenedor_);
  gris->setColor(QColor(60, 60, 60));
  gris->setStrength(1.0);
  gris->setEnabled(false);
  frmContenedor_->setGraphicsEffect(gris);

  tmrServido_ = new QTimer(this);
  tmrServido_->setInterval(kIntervaloServidoMs);
  connect(tmrServido_, &QTimer::timeout, this,
          [this] { evento([this] { tablero_->tmrServido_Timer(); }); });
  tmrReintento_ = new QTimer(this);
  tmrReintento_->setInterval(kIntervaloServidoMs);
  connect(tmrReintento_, &QTimer::timeout, this,
          [this] { evento([this] { tablero_->tmrReintento_Timer(); }); });

  tablero_->Form_Load();
  render();
}

fmrInicio::~fmrInicio() = default;

template <typename F>
void fmrInicio::evento(F&& f) {
  // A failed update shows a modal message box in the middle of a refresh,
  // and its event loop would run a timer tick or paint the board half
  // rebuilt: the tick is dropped (the next one comes 2.5 s later) and the
  // form does not paint until the event has run to its end.
  if (enEvento_) return;
  enEvento_ = true;
  setUpdatesEnabled(false);
  for (ui::FlexGrid* g : msgListaPendientes_) g->setModel(nullptr);
  try {
    f();
  } catch (...) {
    enEvento_ = false;
    render();
    throw;
  }
  enEvento_ = false;
  if (redimensionPendiente_) {
    redimensionPendiente_ = false;
    tablero_->Form_Resize(ui::twips::fromPixelsX(width()), ui::twips::fromPixelsY(height()));
  }
  render();
}

void fmrInicio::fijarTamanoPendientes(int puntos) {
  ui::FlexGridModel& cabecera = tablero_->msgListaPendientes[0];
  ui::GridFont font = cabecera.font();
  font.size = puntos;
  ui::applyFont(cabecera, font, ui::qtTextMeasurer());
  render();
}

void fmrInicio::fijarTamanoControl(int puntos) {
  ui::FlexGridModel& lista = tablero_->msgListaControl;
  ui::GridFont font = lista.font();
  font.size = puntos;
  ui::applyFont(lista, font, ui::qtTextMeasurer());
  lista.setRowHeightMin(2 * lista.rowHeight(0));
  render();
}

void fmrInicio::Form_Activate() {
  evento([this] { tablero_->Form_Activate(); });
}

void fmrInicio::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (enEvento_) {
    redimensionPendiente_ = true;  // laid out when the event has finished
    return;
  }
  tablero_->Form_Resize(ui::twips::fromPixelsX(width()), ui::twips::fromPixelsY(height()));
  render();
}

void fmrInicio::onAreaClicked(int index) {
  Tablero& t = *tablero_;
  if (!t.cmdVer.loaded(index)) return;
  evento([&t, index] {
    // The toggle takes its new value before the click is handled.
    t.cmdVer[index].down = !t.cmdVer[index].down;
    t.cmdVer_Click(static_cast<int16_t>(index));
  });
}

void fmrInicio::wheelEvent(QWheelEvent* event) {
  if (!vscRegla_->isVisible() || frmContenedor_->isHidden()) {
    event->ignore();
    return;
  }
  // Touchpads send small deltas: they add up to notches of 120.
  ruedaAcumulada_ += event->angleDelta().y();
  int muescas = ruedaAcumulada_ / QWheelEvent::DefaultDeltasPerStep;
  ruedaAcumulada_ -= muescas * QWheelEvent::DefaultDeltasPerStep;
  if (muescas != 0) vscRegla_->setValue(vscRegla_->value() - muescas);
  event->accept();
}

void fmrInicio::onGridClicked(int index) {
  evento([this, index] { tablero_->msgListaPendientes_Click(static_cast<int16_t>(index)); });
}

void fmrInicio::onReglaMovida(int value) {
  tablero_->vscRegla.value = -value;
  tablero_->vscRegla_Change();
  frmContenedor_->move(ui::twips::toPixelsX(tablero_->frmContenedor.left),
                       ui::twips::toPixelsY(tablero_->frmContenedor.top));
}

ui::FlexGrid* fmrInicio::gridPendientes(int index) const {
  if (index < 0 || index >= static_cast<int>(msgListaPendientes_.size())) return nullptr;
  return msgListaPendientes_[index];
}

QPushButton* fmrInicio::botonArea(int index) const {
  if (index < 0 || index >= static_cast<int>(cmdVer_.size())) return nullptr;
  return cmdVer_[index];
}

void fmrInicio::render() {
  Tablero& t = *tablero_;
  setUpdatesEnabled(false);

  // The top strip and its buttons.
  colocar(frmAreas_, t.frmAreas);
  colocar(frmContenedorAreas_, t.frmContenedorAreas);
  while (static_cast<int>(cmdVer_.size()) < t.cmdVer.upperBound()) {
    int index = static_cast<int>(cmdVer_.size());
    auto* b = new QPushButton(frmContenedorAreas_);
    b->setCheckable(true);
    b->setFont(fuenteBoton(9.75));
    b->setStyleSheet(kEstiloBotonArea);
    connect(b, &QPushButton::clicked, this, [this, index] { onAreaClicked(index); });
    cmdVer_.push_back(b);
  }
  while (static_cast<int>(cmdVer_.size()) > t.cmdVer.upperBound()) {
    delete cmdVer_.back();
    cmdVer_.pop_back();
  }
  for (int i = 0; i < static_cast<int>(cmdVer_.size()); ++i) {
    if (!t.cmdVer.loaded(i)) {
      cmdVer_[i]->hide();
      continue;
    }
    const BotonArea& b = t.cmdVer[i];
    cmdVer_[i]->setText(QString::fromStdString(b.caption));
    cmdVer_[i]->setChecked(b.down);
    colocar(cmdVer_[i], b.place);
  }

  // The pending view: the container and its stacked grids.
  colocar(frmContenedor_, t.frmContenedor);
  int elementos = t.msgListaPendientes.upperBound();
  while (static_cast<int>(msgListaPendientes_.size()) < elementos) {
    int index = static_cast<int>(msgListaPendientes_.size());
    auto* g = new ui::FlexGrid(nullptr, frmContenedor_, index);
    connect(g, &ui::FlexGrid::clicked, this, &fmrInicio::onGridClicked);
    msgListaPendientes_.push_back(g);
  }
  while (static_cast<int>(msgListaPendientes_.size()) > elementos) {
    delete msgListaPendientes_.back();
    msgListaPendientes_.pop_back();
  }
  for (int i = 0; i < elementos; ++i) {
    ui::FlexGrid* g = msgListaPendientes_[i];
    if (!t.msgListaPendientes.loaded(i)) {
      g->setModel(nullptr);
      g->hide();
      continue;
    }
    g->setModel(&t.msgListaPendientes[i]);
    g->syncFromModel();
  }

  // The scroll bar: its value runs from 0 down to a negative maximum; Qt's
  // runs upwards, so the sign is turned.
  vscRegla_->blockSignals(true);
  vscRegla_->setRange(0, -t.vscRegla.max);
  vscRegla_->setValue(-t.vscRegla.value);
  vscRegla_->setSingleStep(1);
  vscRegla_->setPageStep(
      std::max(1, (t.form.height - t.frmAreas.height - t.pctFooter.height) / kPasoRegla));
  vscRegla_->blockSignals(false);
  colocar(vscRegla_, t.vscRegla.place);

  msgListaControl_->syncFromModel();

  // The footer.
  colocar(pctFooter_, t.pctFooter);
  colocar(cmdPorServir_, {120, 120, 1575, 495, true});
  colocar(cmdServido_, {1800, 120, 1575, 495, true});
  reloj_->move(ui::twips::toPixelsX(3720), 0);
  int32_t avisoIzquierda = 3720 + kRelojAncho + 240;
  colocar(aviso_,
          {avisoIzquierda, 0, std::max<int32_t>(t.pctFooter.width - avisoIzquierda - 120, 0),
           t.pctFooter.height, !t.aviso.empty()});
  aviso_->setText(QString::fromStdString(t.aviso));

  // A stale board: the tables grey, the banner across the board just above
  // the footer, where it covers no table that fits the screen (the first
  // tables, the oldest orders, stay readable).
  const bool viejo = t.tableroViejo() && t.frmContenedor.visible;
  frmContenedor_->graphicsEffect()->setEnabled(viejo);
  sinLectura_->setText(QString::fromStdString(t.textoSinLectura()));
  const int anchoBanda = ui::twips::toPixelsX(t.form.width);
  const int altoBanda = sinLectura_->heightForWidth(anchoBanda);
  sinLectura_->setGeometry(0, ui::twips::toPixelsY(t.pctFooter.top) - altoBanda, anchoBanda,
                           altoBanda);
  sinLectura_->setVisible(viejo);

  // Bands over the scrolled container, so content slides beneath them.
  msgListaControl_->raise();
  vscRegla_->raise();
  frmAreas_->raise();
  pctFooter_->raise();
  sinLectura_->raise();

  if (t.tmrServidoEnabled && !tmrServido_->isActive()) tmrServido_->start();
  if (!t.tmrServidoEnabled && tmrServido_->isActive()) tmrServido_->stop();
  if (t.tmrReintentoEnabled && !tmrReintento_->isActive()) tmrReintento_->start();
  if (!t.tmrReintentoEnabled && tmrReintento_->isActive()) tmrReintento_->stop();

  setUpdatesEnabled(true);

  QString caption = QString::fromStdString(t.caption);
  if (caption != captionShown_) {
    captionShown_ = caption;
    setWindowTitle(caption);
    emit captionChanged(caption);
  }
}

}  // namespace board
