// MDIForm1: the program's main window, captioned "Cafeteria Restaurante",
// whose only child is the kitchen board, borderless and filling the window.
// As with a maximized child, the board's caption joins the window's title:
// "Cafeteria Restaurante - [Productos Por Servir]".
#pragma once

#include <memory>

#include <QMainWindow>

#include "app/qt_failure_reporter.h"

namespace board {
class fmrInicio;
}

inline constexpr const char* kCaptionPrincipal = "Cafeteria Restaurante";

class MDIForm1 : public QMainWindow {
  Q_OBJECT

 public:
  MDIForm1();
  ~MDIForm1() override;

  // The start-up sequence, in this order: read "Acceso"; load the board
  // (which opens the database and builds the area buttons) and give its
  // grids the configured font size; double the dispatched list's row height
  // as its minimum; show the board, whose activation runs the first refresh.
  // Raises ado::ComError when the database can't be opened.
  void MDIForm_Load();

  board::fmrInicio* tablero() const { return fmrInicio_; }

 private:
  void ponerTitulo(const QString& captionHijo);

  board::fmrInicio* fmrInicio_ = nullptr;
  app::QtFailureReporter reporter_;
};
