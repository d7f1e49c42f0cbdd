// The footer's clock alone: its time, size, running state, stored
// properties, and which presses raise ClickPersonal.
#include "board/ctl_reloj.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "ui/property_bag.h"
#include "ui/twips.h"

namespace board {
namespace {

TEST(CtlReloj, ShowsTheTimeOfDayWithLeadingZeros) {
  CtlReloj reloj;
  reloj.fijarFuenteHora([] { return QTime(9, 5, 3); });
  reloj.Timer1_Timer();
  EXPECT_EQ(reloj.textoHora(), "09:05:03");
  reloj.fijarFuenteHora([] { return QTime(21, 0, 0); });
  reloj.Timer1_Timer();
  EXPECT_EQ(reloj.textoHora(), "21:00:00");
}

TEST(CtlReloj, KeepsItsOwnSizeWhateverTheContainerAsks) {
  CtlReloj reloj;
  reloj.solicitarTamano(5000, 2000);
  EXPECT_EQ(reloj.width(), ui::twips::toPixelsX(2295));
  EXPECT_EQ(reloj.height(), ui::twips::toPixelsY(585));
}

TEST(CtlReloj, CambiarEstadoStopsAndRestartsTheClock) {
  CtlReloj reloj;
  EXPECT_TRUE(reloj.relojCorriendo());
  reloj.CambiarEstado();
  EXPECT_FALSE(reloj.relojCorriendo());
  EXPECT_FALSE(reloj.Estado());
  reloj.CambiarEstado();
  EXPECT_TRUE(reloj.relojCorriendo());
  EXPECT_TRUE(reloj.Estado());
}

TEST(CtlReloj, PropertiesAtTheirDefaultsAreNotStored) {
  CtlReloj reloj;
  ui::PropertyBag bag;
  reloj.WriteProperties(bag);
  EXPECT_EQ(bag.size(), 0u);
  reloj.setColor(14737632);
  reloj.setTitulo("Cocina");
  reloj.WriteProperties(bag);
  CtlReloj otro;
  otro.ReadProperties(bag);
  EXPECT_EQ(otro.Color(), 14737632u);
  EXPECT_EQ(otro.Titulo(), "Cocina");
  EXPECT_TRUE(otro.Estado());
  ui::PropertyBag vacia;
  otro.ReadProperties(vacia);
  EXPECT_EQ(otro.Color(), kRelojColorPorDefecto);
  EXPECT_EQ(otro.Titulo(), "Titulo");
}

// Presses `boton` on `sobre` as the screen would, through the application,
// so an event filter and the press travelling up to the parent both run.
void pulsar(QWidget* sobre, Qt::MouseButton boton) {
  QPointF punto(2, 2);
  QMouseEvent pulsacion(QEvent::MouseButtonPress, punto, sobre->mapToGlobal(punto), boton, boton,
                        Qt::NoModifier);
  QApplication::sendEvent(sobre, &pulsacion);
}

TEST(CtlReloj, OnlyALeftClickOnTheTitleOrTheSurfaceRaisesClickPersonalOnce) {
  CtlReloj reloj;
  reloj.show();
  int clics = 0;
  QObject::connect(&reloj, &CtlReloj::ClickPersonal, [&clics] { ++clics; });
  auto* titulo = reloj.findChild<QLabel*>();
  auto* hora = reloj.findChild<QLineEdit*>();
  ASSERT_NE(titulo, nullptr);
  ASSERT_NE(hora, nullptr);

  pulsar(titulo, Qt::LeftButton);
  EXPECT_EQ(clics, 1);
  pulsar(&reloj, Qt::LeftButton);
  EXPECT_EQ(clics, 2);

  pulsar(titulo, Qt::RightButton);
  pulsar(&reloj, Qt::RightButton);
  pulsar(titulo, Qt::MiddleButton);
  EXPECT_EQ(clics, 2);

  pulsar(hora, Qt::LeftButton);
  pulsar(hora, Qt::RightButton);
  EXPECT_EQ(clics, 2);
}

}  // namespace
}  // namespace board
