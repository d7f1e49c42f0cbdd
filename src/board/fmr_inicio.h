// fmrInicio: the kitchen board form on the screen.
//
// The form paints the state of its Tablero and forwards the staff's clicks,
// the refresh timer and its own resizing to it; it decides nothing itself.
// Every event ends in one render() with updates disabled, so the screen only
// ever shows a finished board, never one half rebuilt.
//
// What the staff must see from a step away is drawn to be seen: an area
// button that is down is a strong blue with an inset border, and a stale
// board (Tablero::tableroViejo) has its tables greyed under a red banner.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "board/tablero.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;

namespace ui {
class FlexGrid;
class WavePlayer;
}  // namespace ui

namespace board {

class CtlReloj;

class fmrInicio : public QWidget {
  Q_OBJECT

 public:
  // Loads the form (Form_Load): opens the order store through `abrir` and
  // lays out the area buttons. Raises what the store raises when the
  // database can't be opened.
  explicit fmrInicio(std::function<std::unique_ptr<Pedidos>()> abrir, QWidget* parent = nullptr,
                     ui::SoundDevice* sonido = nullptr);
  ~fmrInicio() override;

  Tablero& tablero() { return *tablero_; }
  // Font sizes applied at start-up: the header grid (copied by every table
  // grid) and the dispatched list.
  void fijarTamanoPendientes(int puntos);
  void fijarTamanoControl(int puntos);
  void Form_Activate();

  // Paints the board's state; called after every event.
  void render();
  // True while an event of the board runs (the form paints nothing then).
  bool enEvento() const { return enEvento_; }

  // The widgets, for the tests and the screenshots.
  ui::FlexGrid* gridPendientes(int index) const;
  ui::FlexGrid* gridControl() const { return msgListaControl_; }
  QPushButton* botonArea(int index) const;
  QPushButton* botonPorServir() const { return cmdPorServir_; }
  QPushButton* botonServido() const { return cmdServido_; }
  QScrollBar* regla() const { return vscRegla_; }
  QWidget* contenedor() const { return frmContenedor_; }
  QLabel* aviso() const { return aviso_; }
  // The banner across a stale board (hidden while the board reads).
  QLabel* sinLectura() const { return sinLectura_; }
  QTimer* timer() const { return tmrServido_; }
  QTimer* timerReintento() const { return tmrReintento_; }
  CtlReloj* reloj() const { return reloj_; }

 signals:
  void captionChanged(const QString& caption);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // The wheel over the tables moves the scroll bar, one step a notch.
  void wheelEvent(QWheelEvent* event) override;

 private:
  void onAreaClicked(int index);
  void onGridClicked(int index);
  void onReglaMovida(int value);
  template <typename F>
  void evento(F&& f);

  std::unique_ptr<ui::SoundDevice> sonidoPropio_;
  std::unique_ptr<Tablero> tablero_;
  QWidget* frmAreas_;
  QWidget* frmContenedorAreas_;
  std::vector<QPushButton*> cmdVer_;
  QWidget* frmContenedor_;
  std::vector<ui::FlexGrid*> msgListaPendientes_;
  QScrollBar* vscRegla_;
  ui::FlexGrid* msgListaControl_;
  QWidget* pctFooter_;
  QPushButton* cmdPorServir_;
  QPushButton* cmdServido_;
  CtlReloj* reloj_;
  QLabel* aviso_;
  QLabel* sinLectura_;
  QTimer* tmrServido_;
  QTimer* tmrReintento_;
  QString captionShown_;
  bool enEvento_ = false;
  bool redimensionPendiente_ = false;
  int ruedaAcumulada_ = 0;  // eighths of a degree not yet a whole notch
};

}  // namespace board
