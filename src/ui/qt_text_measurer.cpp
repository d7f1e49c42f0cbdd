// Measurements through QFontMetricsF, converted to twips with the screen DPI.
#include "ui/qt_text_measurer.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QString>

#include "ui/cell_text.h"
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

int32_t cellLinesNeeded(const FlexGridModel& grid, int32_t row, int32_t col) {
  const std::string& text = grid.text(row, col);
  if (text.empty()) return 0;
  GridEdges edges = gridEdges(grid);
  std::vector<CellLine> lines =
      layoutCellText(text, cellFont(grid, row, col), cellTextWidth(edges, col), grid.wordWrap());
  double height = 0;
  for (const CellLine& l : lines) height += l.height;
  // A row of n lines spans n * lineHeightTwips in twips, but its edges are
  // rounded to pixels where they fall, so it may come out a pixel short; and
  // a line in a fallback font may stand taller than one of the grid's font.
  // Lines are added until even the shortest such row holds them all.
  const int64_t one = lineHeightTwips(grid.font());
  int64_t n = static_cast<int64_t>(lines.size());
  auto room = [&](int64_t count) {
    return std::floor(static_cast<double>(count * one) * twips::dpiY() / twips::kPerInch) -
           2 * kCellTextMarginPixels;
  };
  while (room(n) < height) ++n;
  return static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX));
}

const TextMeasurer& qtTextMeasurer() {
  static const QtTextMeasurer measurer;
  return measurer;
}

}  // namespace ui
