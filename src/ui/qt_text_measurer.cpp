// Measurements through QFontMetricsF, converted to twips with the screen DPI.
#include "ui/qt_text_measurer.h"

#include <cmath>

#include <QFontMetricsF>
#include <QString>

#include "ui/twips.h"

namespace ui {

namespace {
// Pixels the grid keeps between a row's edge and its text, top and bottom.
constexpr int kRowMarginPixels = 2;
}  // namespace

QFont qtFont(const GridFont& font) {
  QFont f(QString::fromStdString(font.name));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(font.size > 0 ? font.size : 9.75);
  f.setBold(font.bold);
  return f;
}

int32_t textWidthTwips(const GridFont& font, const std::string& line) {
  QFontMetricsF metrics(qtFont(font));
  double px = metrics.horizontalAdvance(QString::fromStdString(line));
  return static_cast<int32_t>(std::lround(px * twips::kPerInch / twips::dpiX()));
}

int32_t lineHeightTwips(const GridFont& font) {
  QFontMetricsF metrics(qtFont(font));
  double px = std::ceil(metrics.height()) + 2 * kRowMarginPixels;
  return static_cast<int32_t>(std::lround(px * twips::kPerInch / twips::dpiY()));
}

const TextMeasurer& qtTextMeasurer() {
  static const QtTextMeasurer measurer;
  return measurer;
}

}  // namespace ui
