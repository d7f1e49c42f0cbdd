// The staff's mouse on a widget, for the tests of the Qt programs: a wheel
// turned and a left button pressed, sent as the screen would send them.
// Header only: each Qt test program compiles it with its own Qt Widgets.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace cocina::test {

// The wheel turned by `delta` eighths of a degree (120 a notch; negative is
// towards the user, down) over a point near the widget's top-left corner.
// Answers whether the widget took it.
inline bool turnWheel(QWidget* over, int delta) {
  QPointF at(5, 5);
  QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(over, &wheel);
  return wheel.isAccepted();
}

// The left button pressed at a point of the widget.
inline void pressLeft(QWidget* on, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), on->mapToGlobal(QPointF(at)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(on, &press);
}

}  // namespace cocina::test
