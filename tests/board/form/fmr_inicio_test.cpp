// The board form on the offscreen screen, on an order database the engine
// made: what it paints and when.
#include "board/fmr_inicio.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include "board/base_de_prueba.h"
#include "support/qt_input.h"
#include "ui/flex_grid.h"
#include "ui/twips.h"

namespace board {
namespace {

using cocina::test::pressLeft;
using cocina::test::turnWheel;

// Counts the paint events of every grid of the pending view.
class ContadorPintadas : public QObject {
 public:
  int pintadas = 0;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint && qobject_cast<ui::FlexGrid*>(o)) ++pintadas;
    return false;
  }
};

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    form = std::make_unique<fmrInicio>([this] { return base.abrir(); }, nullptr, &sonido);
    form->resize(1280, 800);
    form->show();
    form->Form_Activate();
  }
  ~FormTest() override { form.reset(); }  // before the connection goes
  BaseDePrueba base;
  SonidoGrabado sonido;
  std::unique_ptr<fmrInicio> form;
};

TEST_F(FormTest, TheFormStartsWithOneButtonPerAreaAndTheTimerRunning) {
  ASSERT_NE(form->botonArea(3), nullptr);
  EXPECT_EQ(form->botonArea(3)->text(), "POSTRES");
  EXPECT_TRUE(form->botonArea(0)->isCheckable());
  EXPECT_EQ(form->timer()->interval(), 2500);
  EXPECT_TRUE(form->timer()->isActive());
  EXPECT_EQ(form->windowTitle(), kCaptionPorServir);
  EXPECT_FALSE(form->aviso()->isVisible());
  EXPECT_EQ(form->botonArea(1)->width(),
            ui::twips::toPixelsX(form->tablero().cmdVer[1].place.width));
}

TEST_F(FormTest, TheStartUpFontSizeReachesEveryTableGridAndTheList) {
  form->fijarTamanoPendientes(14);
  form->fijarTamanoControl(14);
  base.agregar({.mesa = "1"});
  form->botonArea(0)->click();
  Tablero& t = form->tablero();
  ASSERT_EQ(t.msgListaPendientes.count(), 2);
  EXPECT_EQ(t.msgListaPendientes[1].font().size, 14);
  EXPECT_EQ(t.msgListaPendientes[1].rowHeight(0) % t.msgListaPendientes[0].rowHeight(0), 0);
  int32_t fila = t.msgListaControl.rowHeight(0);
  EXPECT_EQ(t.msgListaControl.rowHeightMin(), fila);  // twice the row of one line
  EXPECT_EQ(t.msgListaControl.rowHeight(1), fila);
}

TEST_F(FormTest, ARefreshNeverPaintsAHalfBuiltBoard) {
  for (int i = 0; i < 6; ++i) base.agregar({.mesa = std::to_string(i + 1), .tin = "O"});
  ContadorPintadas contador;
  qApp->installEventFilter(&contador);
  int durante = -1;
  bool actualizando = true;
  // Inside the refresh, where a failed update's message box runs the event
  // loop: nothing of the board paints and the timer's tick is dropped.
  base.grabados->alMarcarNuevo = [&] {
    actualizando = form->updatesEnabled();
    int antes = contador.pintadas;
    QMetaObject::invokeMethod(form->timer(), "timeout", Qt::DirectConnection);
    QApplication::processEvents();
    durante = contador.pintadas - antes;
  };
  form->botonArea(0)->click();
  qApp->removeEventFilter(&contador);
  EXPECT_FALSE(actualizando);
  EXPECT_EQ(durante, 0);
  EXPECT_TRUE(form->updatesEnabled());
  EXPECT_EQ(base.grabados->marcas.size(), 6u);  // the dropped tick marked nothing twice
  EXPECT_EQ(form->tablero().msgListaPendientes.count(), 7);
  EXPECT_EQ(form->gridPendientes(6)->model(), &form->tablero().msgListaPendientes[6]);
}

TEST_F(FormTest, AFailedReadShowsInTheFooterWithoutADialog) {
  base.agregar({.mesa = "1"});
  form->botonArea(0)->click();
  base.cortarArchivo();
  QMetaObject::invokeMethod(form->timer(), "timeout", Qt::DirectConnection);
  EXPECT_TRUE(form->aviso()->isVisible());
  EXPECT_TRUE(form->aviso()->text().startsWith("Error -")) << form->aviso()->text().toStdString();
  EXPECT_TRUE(form->gridPendientes(1)->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  base.restaurarArchivo();
  QMetaObject::invokeMethod(form->timer(), "timeout", Qt::DirectConnection);
  EXPECT_FALSE(form->aviso()->isVisible());
}

TEST_F(FormTest, AStaleBoardIsGreyedUnderABannerUntilAReadSucceeds) {
  base.agregar({.mesa = "1"});
  form->botonArea(0)->click();
  ui::FlexGrid* mesa = form->gridPendientes(1);
  ASSERT_NE(mesa, nullptr);
  // A point of the first table's number cell, green on a good board.
  QPoint enMesa = mesa->mapTo(form.get(), QPoint(10, 5));
  auto color = [&] { return form->grab().toImage().pixelColor(enMesa); };
  ASSERT_EQ(color(), QColor(0, 255, 0));
  base.cortarArchivo();
  for (int tick = 0; tick < 2; ++tick) {
    QMetaObject::invokeMethod(form->timer(), "timeout", Qt::DirectConnection);
  }
  EXPECT_FALSE(form->sinLectura()->isVisible());  // two ticks: the footer only
  EXPECT_EQ(color(), QColor(0, 255, 0));
  QMetaObject::invokeMethod(form->timer(), "timeout", Qt::DirectConnection);
  ASSERT_TRUE(form->sinLectura()->isVisible());
  EXPECT_TRUE(form->sinLectura()->text().contains("desde las 12:15"))
      << form->sinLectura()->text().toStdString();
  EXPECT_GT(form->sinLectura()->width(), form->width() * 9 / 10);  // across the board
  QColor gris = color();
  EXPECT_EQ(gris.red(), gris.green());
  EXPECT_EQ(gris.green(), gris.blue());
  EXPECT_TRUE(form->aviso()->isVisible());
  base.restaurarArchivo();
  QMetaObject::invokeMethod(form->timer(), "timeout", Qt::DirectConnection);
  EXPECT_FALSE(form->sinLectura()->isVisible());
  EXPECT_EQ(color(), QColor(0, 255, 0));
}

TEST_F(FormTest, TheLastOfFortyDispatchedLinesCanBeScrolledToAndSentBack) {
  form->fijarTamanoControl(12);  // as start-up sets it: rows of two lines
  int32_t ultima = 0;
  for (int i = 0; i < 40; ++i) {
    ultima = base.agregarDespachada(
        {.idMesa = std::to_string(10 + i), .nombre = "Plato " + std::to_string(i)});
  }
  form->botonServido()->click();
  ui::FlexGrid* lista = form->gridControl();
  ASSERT_EQ(lista->model()->rows(), 41);
  QScrollBar* barra = lista->verticalScrollBar();
  ASSERT_TRUE(barra->isVisible());
  // Scrolled to the end with the wheel, as the staff would.
  for (int i = 0; i < 20; ++i) turnWheel(lista, -120);
  EXPECT_EQ(barra->value(), barra->maximum());
  // The title row stays on top.
  QPoint titulo(20, 10);
  EXPECT_EQ(lista->cellAt(titulo).y(), 0);
  // The lowest line the list shows is the last line.
  QPoint abajo(20, lista->height() - 1);
  while (abajo.y() > 0 && lista->cellAt(abajo).y() < 0) abajo.ry() -= 1;
  ASSERT_EQ(lista->cellAt(abajo).y(), 40);
  pressLeft(lista, abajo);
  EXPECT_EQ(base.grabados->marcas, (std::vector<std::string>{"Y:" + std::to_string(ultima)}));
  EXPECT_EQ(base.columna(ultima, "DespCoc").asText(), "Y");
  // Rebuilt without it, the list stays scrolled to its new end.
  EXPECT_EQ(lista->model()->rows(), 40);
  EXPECT_EQ(barra->value(), barra->maximum());
  EXPECT_EQ(lista->cellAt(abajo).y(), 39);
}

TEST_F(FormTest, AFailedDispatchedReadShowsTheTitleRowAndTriesAgain) {
  base.agregarDespachada({.idMesa = "3"});
  base.cortarArchivo();
  form->botonServido()->click();
  EXPECT_EQ(form->gridControl()->model()->rows(), 1);
  EXPECT_TRUE(form->aviso()->isVisible());
  EXPECT_TRUE(form->timerReintento()->isActive());
  EXPECT_FALSE(form->timer()->isActive());
  base.restaurarArchivo();
  QMetaObject::invokeMethod(form->timerReintento(), "timeout", Qt::DirectConnection);
  EXPECT_EQ(form->gridControl()->model()->rows(), 2);
  EXPECT_FALSE(form->aviso()->isVisible());
  EXPECT_FALSE(form->timerReintento()->isActive());
}

TEST_F(FormTest, AnAreaButtonThatIsDownStandsOutFromOneThatIsUp) {
  QPushButton* boton = form->botonArea(0);
  // A point of the button's face away from its centred caption.
  QPoint cara(12, boton->height() / 2);
  QColor arriba = boton->grab().toImage().pixelColor(cara);
  boton->click();
  ASSERT_TRUE(boton->isChecked());
  QColor abajo = boton->grab().toImage().pixelColor(cara);
  int diferencia = std::abs(arriba.red() - abajo.red()) + std::abs(arriba.green() - abajo.green()) +
                   std::abs(arriba.blue() - abajo.blue());
  EXPECT_GT(diferencia, 300) << arriba.name().toStdString() << " / " << abajo.name().toStdString();
  EXPECT_GT(abajo.hsvSaturation(), 150);  // a colour, not a shade of grey
  boton->click();
  EXPECT_EQ(boton->grab().toImage().pixelColor(cara), arriba);
}

TEST_F(FormTest, TheScrollBarMovesTheTablesUnderTheStrip) {
  for (int i = 0; i < 30; ++i) base.agregar({.mesa = std::to_string(i)});
  form->botonArea(0)->click();
  ASSERT_TRUE(form->regla()->isVisible());
  int arriba = form->contenedor()->y();
  form->regla()->setValue(2);
  EXPECT_EQ(form->tablero().vscRegla.value, -2);
  EXPECT_EQ(form->contenedor()->y(), ui::twips::toPixelsY(855 - 2 * 480));
  EXPECT_LT(form->contenedor()->y(), arriba);
}

TEST_F(FormTest, TheWheelOverTheTablesScrollsThemANotchAStep) {
  for (int i = 0; i < 30; ++i) base.agregar({.mesa = std::to_string(i)});
  form->botonArea(0)->click();
  ASSERT_TRUE(form->regla()->isVisible());
  // A table's grid leaves the wheel to the form, where the screen's own
  // (spontaneous) wheel events travel up to.
  EXPECT_FALSE(turnWheel(form->gridPendientes(3), -120));
  EXPECT_TRUE(turnWheel(form.get(), -120));  // one notch towards the user: down
  EXPECT_EQ(form->regla()->value(), 1);
  EXPECT_EQ(form->tablero().vscRegla.value, -1);
  turnWheel(form.get(), -60);  // half a notch from a touchpad
  EXPECT_EQ(form->regla()->value(), 1);
  turnWheel(form.get(), -60);
  EXPECT_EQ(form->regla()->value(), 2);
  turnWheel(form.get(), 10 * 120);  // far up: stops at the top
  EXPECT_EQ(form->regla()->value(), 0);
  EXPECT_EQ(form->contenedor()->y(), ui::twips::toPixelsY(855));
  form->botonServido()->click();  // the dispatched list: the wheel is not the board's
  EXPECT_FALSE(turnWheel(form.get(), -120));
}

}  // namespace
}  // namespace board
