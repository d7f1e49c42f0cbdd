// Cell text laid out with QTextLayout, in the grid's font and column width.
#include "ui/cell_text.h"

#include <QFontMetricsF>
#include <QStringList>
#include <QTextLayout>

#include "ui/qt_text_measurer.h"
#include "ui/twips.h"

namespace ui {

namespace {

// The text of a cell as paragraphs: CR LF (or a lone LF or CR) ends one.
QStringList paragraphs(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s.split(QChar('\n'));
}

}  // namespace

GridEdges gridEdges(const FlexGridModel& grid) {
  GridEdges edges{{0}, {0}};
  int64_t sum = 0;
  for (int32_t c = 0; c < grid.cols(); ++c) {
    sum += grid.colWidth(c);
    edges.x.push_back(twips::toPixelsX(sum));
  }
  // Rows scrolled out above the top row take no height: they are neither
  // drawn nor hit by a click, and the fixed rows stay above the rest.
  const int32_t fixed = grid.fixedRows(), top = grid.topRow();
  sum = 0;
  for (int32_t r = 0; r < grid.rows(); ++r) {
    if (r < fixed || r >= top) sum += grid.rowHeight(r);
    edges.y.push_back(twips::toPixelsY(sum));
  }
  return edges;
}

QFont cellFont(const FlexGridModel& grid, int32_t row, int32_t col) {
  QFont font = qtFont(grid.font());
  font.setBold(grid.boldAt(row, col));
  return font;
}

double cellTextWidth(const GridEdges& edges, int32_t col) {
  if (col < 0 || static_cast<size_t>(col) + 1 >= edges.x.size()) return 0;
  return edges.x[col + 1] - edges.x[col] - 2 * kCellTextMarginPixels;
}

std::vector<CellLine> layoutCellText(const std::string& text, const QFont& font, double width,
                                     bool wrap, double room) {
  std::vector<CellLine> lines;
  QFontMetricsF metrics(font);
  double used = 0;
  for (const QString& para : paragraphs(text)) {
    if (!wrap || width <= 0 || para.isEmpty()) {
      if (used + metrics.height() > room) break;
      lines.push_back({para, metrics.height()});
      used += metrics.height();
      continue;
    }
    QTextLayout layout(para, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    bool full = false;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      if (used + line.height() > room) {
        full = true;
        break;
      }
      lines.push_back({para.mid(line.textStart(), line.textLength()), line.height()});
      used += line.height();
    }
    layout.endLayout();
    if (full) break;
  }
  return lines;
}

std::vector<CellLine> drawnLines(const FlexGridModel& grid, const GridEdges& edges, int32_t row,
                                 int32_t col) {
  if (row < 0 || col < 0 || static_cast<size_t>(row) + 1 >= edges.y.size()) return {};
  double room = edges.y[row + 1] - edges.y[row] - 2 * kCellTextMarginPixels;
  std::vector<CellLine> lines = layoutCellText(grid.text(row, col), cellFont(grid, row, col),
                                               cellTextWidth(edges, col), grid.wordWrap(), room);
  while (!lines.empty() && lines.back().text.trimmed().isEmpty()) lines.pop_back();
  return lines;
}

}  // namespace ui
