// The board on the screen while another program holds the order database's
// write lock for seconds: the window keeps taking events (the clock goes on,
// a click is taken), the footer says the file is busy, and the click's mark
// is written once the file is free.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include "board/base_de_prueba.h"
#include "board/ctl_reloj.h"
#include "board/fmr_inicio.h"
#include "support/command.h"
#include "ui/flex_grid.h"

namespace board {
namespace {

// Runs the event loop for `ms` milliseconds.
void correr(int ms) {
  QEventLoop bucle;
  QTimer::singleShot(ms, &bucle, &QEventLoop::quit);
  bucle.exec();
}

TEST(BaseOcupada, TheBoardKeepsTakingEventsWhileAnotherProgramHoldsTheFile) {
  BaseDePrueba base;
  SonidoGrabado sonido;
  int32_t id = base.agregar({.mesa = "1", .tiempo = 6});
  auto form = std::make_unique<fmrInicio>([&base] { return base.abrir(); }, nullptr, &sonido);
  form->resize(1280, 800);
  form->show();
  form->Form_Activate();
  form->botonArea(0)->click();
  ASSERT_NE(form->gridPendientes(1), nullptr);

  // The longest stretch the event loop went without running a 10 ms pulse.
  QElapsedTimer reloj;
  qint64 ultimo = 0, mayorPausa = 0;
  std::set<std::string> horasVistas;
  QTimer pulso;
  pulso.setInterval(10);
  QObject::connect(&pulso, &QTimer::timeout, [&] {
    qint64 ahora = reloj.elapsed();
    mayorPausa = std::max(mayorPausa, ahora - ultimo);
    ultimo = ahora;
    horasVistas.insert(form->reloj()->textoHora());
  });

  cocina::test::BackgroundCommand ocupa(
      {cocina::test::cocinaDbPath(), "hold", base.path(), "--seconds", "4"});
  ASSERT_TRUE(ocupa.started());
  ASSERT_EQ(ocupa.readLine(std::chrono::seconds(30)), "bloqueada");
  reloj.start();
  pulso.start();
  bool avisoVisto = false;
  // A click on the line in the middle of the hold, taken by the event loop.
  QTimer::singleShot(1200, [&] {
    form->gridPendientes(1)->clickCell(0, 1);
    avisoVisto = form->aviso()->isVisible() && form->aviso()->text().contains("ocupada");
  });
  correr(4000);
  size_t horasDuranteBloqueo = horasVistas.size();
  EXPECT_EQ(ocupa.wait(), 0);
  ultimo = reloj.elapsed();  // the test's own wait is no pause of the board's
  correr(3000);              // at least one tick of the board after the file is free
  pulso.stop();

  std::cout << "mayor pausa del bucle de eventos con la base ocupada 4 s: " << mayorPausa
            << " ms\n";
  EXPECT_LT(mayorPausa, 2000);         // generous: the fault held the window for the whole wait
  EXPECT_GE(horasDuranteBloqueo, 3u);  // the clock went on, second by second
  EXPECT_TRUE(avisoVisto);
  EXPECT_EQ(base.columna(id, "DespCoc").asText(), "P");  // the click's mark, written
  EXPECT_EQ(base.grabados->escritas, (std::vector<std::string>{"1:" + std::to_string(id)}));
  EXPECT_EQ(form->tablero().msgListaPendientes[1].backColorAt(0, 1), ui::kRed);
  EXPECT_FALSE(form->aviso()->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  form.reset();  // before the connection goes
}

}  // namespace
}  // namespace board
