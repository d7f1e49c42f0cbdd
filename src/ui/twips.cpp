// Twips and pixels through the primary screen's logical DPI.
#include "ui/twips.h"

#include <cmath>

#include <QGuiApplication>
#include <QScreen>

namespace ui::twips {

namespace {
double screenDpi(bool horizontal) {
  if (QGuiApplication::instance() == nullptr) return 96.0;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 96.0;
  double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
  return dpi > 0 ? dpi : 96.0;
}
}  // namespace

double dpiX() {
  return screenDpi(true);
}
double dpiY() {
  return screenDpi(false);
}

int toPixelsX(int64_t t) {
  return static_cast<int>(std::lround(t * dpiX() / kPerInch));
}
int toPixelsY(int64_t t) {
  return static_cast<int>(std::lround(t * dpiY() / kPerInch));
}
int32_t fromPixelsX(int p) {
  return static_cast<int32_t>(std::lround(p * kPerInch / dpiX()));
}
int32_t fromPixelsY(int p) {
  return static_cast<int32_t>(std::lround(p * kPerInch / dpiY()));
}

QRect toPixels(const TwipsRect& r) {
  // Edges are converted, not sizes, so stacked controls meet without gaps.
  int x0 = toPixelsX(r.left), y0 = toPixelsY(r.top);
  int x1 = toPixelsX(int64_t{r.left} + r.width), y1 = toPixelsY(int64_t{r.top} + r.height);
  return QRect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace ui::twips
