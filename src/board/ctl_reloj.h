// CtlReloj: the footer's clock under a title line.
//
// The time box shows the local time "hh:mm:ss" (24-hour), refreshed every
// second by Timer1, which runs from creation; CambiarEstado stops and starts
// it. Color is the time box's background, Titulo the title label's caption.
// The control keeps its own size, 2295 x 585 twips, whatever its container
// gives it. Its properties persist in the container's property bag, a value
// equal to its default not being stored. A left click on the title or on
// the control's own surface raises ClickPersonal once; a click on the time
// box, or with any other button, does not.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QTime>
#include <QWidget>

#include "ui/flex_grid_model.h"
#include "ui/property_bag.h"

class QLabel;
class QLineEdit;
class QTimer;

namespace board {

inline constexpr int32_t kRelojAncho = 2295;
inline constexpr int32_t kRelojAlto = 585;
inline constexpr ui::Color kRelojColorPorDefecto = 16711680;  // FF0000, pure blue
inline constexpr const char* kRelojTituloPorDefecto = "Titulo";

class CtlReloj : public QWidget {
  Q_OBJECT

 public:
  explicit CtlReloj(QWidget* parent = nullptr);

  bool Estado() const { return estado_; }
  void setColor(ui::Color nColor);
  ui::Color Color() const { return color_; }
  void setTitulo(const std::string& newTitulo);
  std::string Titulo() const;
  void CambiarEstado();

  void ReadProperties(const ui::PropertyBag& bag);
  void WriteProperties(ui::PropertyBag& bag) const;

  // Asks the control for a size; it answers by keeping its own (twips).
  void solicitarTamano(int32_t width, int32_t height);
  bool relojCorriendo() const;
  std::string textoHora() const;
  // Where the time of day comes from; tests set their own.
  void fijarFuenteHora(std::function<QTime()> fuente) { fuenteHora_ = std::move(fuente); }
  // One tick of Timer1.
  void Timer1_Timer();

 signals:
  void ClickPersonal();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UserControl_Resize();

  QTimer* Timer1;
  QLineEdit* txtHora;
  QLabel* LblTitulo;
  bool estado_ = true;
  ui::Color color_ = kRelojColorPorDefecto;
  std::function<QTime()> fuenteHora_;
  bool ajustando_ = false;
};

}  // namespace board
