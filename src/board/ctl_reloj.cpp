// The clock control's widgets: a title label above a bold time box.
#include "board/ctl_reloj.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include "ui/flex_grid.h"
#include "ui/twips.h"

namespace board {

CtlReloj::CtlReloj(QWidget* parent) : QWidget(parent) {
  fuenteHora_ = [] { return QTime::currentTime(); };
  LblTitulo = new QLabel(QString::fromUtf8(kRelojTituloPorDefecto), this);
  LblTitulo->installEventFilter(this);
  txtHora = new QLineEdit(this);
  txtHora->setReadOnly(true);
  txtHora->setAlignment(Qt::AlignCenter);
  txtHora->setFrame(false);
  QFont font("MS Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(18);
  font.setBold(true);
  txtHora->setFont(font);
  setColor(kRelojColorPorDefecto);
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &CtlReloj::Timer1_Timer);
  Timer1->start();
  Timer1_Timer();
  UserControl_Resize();
}

void CtlReloj::setColor(ui::Color nColor) {
  color_ = nColor;
  QPalette p = txtHora->palette();
  p.setColor(QPalette::Base, ui::qtColor(nColor));
  txtHora->setPalette(p);
  txtHora->setAutoFillBackground(true);
}

void CtlReloj::setTitulo(const std::string& newTitulo) {
  LblTitulo->setText(QString::fromStdString(newTitulo));
}

std::string CtlReloj::Titulo() const {
  return LblTitulo->text().toStdString();
}

void CtlReloj::CambiarEstado() {
  if (Timer1->isActive()) {
    Timer1->stop();
  } else {
    Timer1->start();
  }
  estado_ = Timer1->isActive();
}

bool CtlReloj::relojCorriendo() const {
  return Timer1->isActive();
}
std::string CtlReloj::textoHora() const {
  return txtHora->text().toStdString();
}

void CtlReloj::Timer1_Timer() {
  txtHora->setText(fuenteHora_().toString(QStringLiteral("HH:mm:ss")));
}

void CtlReloj::ReadProperties(const ui::PropertyBag& bag) {
  setTitulo(std::get<std::string>(bag.read("Titulo", std::string(kRelojTituloPorDefecto))));
  setColor(static_cast<ui::Color>(
      std::get<int32_t>(bag.read("color", static_cast<int32_t>(kRelojColorPorDefecto)))));
  estado_ = std::get<bool>(bag.read("estado", true));
}

void CtlReloj::WriteProperties(ui::PropertyBag& bag) const {
  bag.write("Titulo", Titulo(), std::string(kRelojTituloPorDefecto));
  bag.write("color", static_cast<int32_t>(color_), static_cast<int32_t>(kRelojColorPorDefecto));
  bag.write("estado", estado_, true);
}

void CtlReloj::solicitarTamano(int32_t width, int32_t height) {
  resize(ui::twips::toPixelsX(width), ui::twips::toPixelsY(height));
  UserControl_Resize();  // a hidden control gets its resize event only when shown
}

void CtlReloj::UserControl_Resize() {
  if (ajustando_) return;
  ajustando_ = true;
  resize(ui::twips::toPixelsX(kRelojAncho), ui::twips::toPixelsY(kRelojAlto));
  // Title on the upper third, the time box below it.
  int w = width(), h = height();
  int titulo = h / 3;
  LblTitulo->setGeometry(0, 0, w, titulo);
  txtHora->setGeometry(0, titulo, w, h - titulo);
  ajustando_ = false;
}

void CtlReloj::resizeEvent(QResizeEvent*) {
  UserControl_Resize();
}

void CtlReloj::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit ClickPersonal();
}

// A left press on the title raises the click here and stops there: the label
// would otherwise pass the press up to mousePressEvent, raising it twice. Any
// other press goes on its way, and mousePressEvent ignores it.
bool CtlReloj::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LblTitulo && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    emit ClickPersonal();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace board
