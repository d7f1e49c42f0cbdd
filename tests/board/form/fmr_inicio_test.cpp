// The board form on the offscreen screen, on an order database the engine
// made: what it paints and when.
#include "board/fmr_inicio.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "board/base_de_prueba.h"
#include "ui/flex_grid.h"
#include "ui/twips.h"

namespace board {
namespace {

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

// A wheel turned by `delta` eighths of a degree over `sobre`; answers
// whether the widget took it.
bool girarRueda(QWidget* sobre, int delta) {
  QPointF punto(5, 5);
  QWheelEvent rueda(punto, sobre->mapToGlobal(punto), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(sobre, &rueda);
  return rueda.isAccepted();
}

TEST_F(FormTest, TheWheelOverTheTablesScrollsThemANotchAStep) {
  for (int i = 0; i < 30; ++i) base.agregar({.mesa = std::to_string(i)});
  form->botonArea(0)->click();
  ASSERT_TRUE(form->regla()->isVisible());
  // A table's grid leaves the wheel to the form, where the screen's own
  // (spontaneous) wheel events travel up to.
  EXPECT_FALSE(girarRueda(form->gridPendientes(3), -120));
  EXPECT_TRUE(girarRueda(form.get(), -120));  // one notch towards the user: down
  EXPECT_EQ(form->regla()->value(), 1);
  EXPECT_EQ(form->tablero().vscRegla.value, -1);
  girarRueda(form.get(), -60);  // half a notch from a touchpad
  EXPECT_EQ(form->regla()->value(), 1);
  girarRueda(form.get(), -60);
  EXPECT_EQ(form->regla()->value(), 2);
  girarRueda(form.get(), 10 * 120);  // far up: stops at the top
  EXPECT_EQ(form->regla()->value(), 0);
  EXPECT_EQ(form->contenedor()->y(), ui::twips::toPixelsY(855));
  form->botonServido()->click();  // the dispatched list: the wheel is not the board's
  EXPECT_FALSE(girarRueda(form.get(), -120));
}

}  // namespace
}  // namespace board
