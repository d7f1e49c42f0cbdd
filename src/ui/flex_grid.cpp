// Painting and hit-testing of the grid control.
#include "ui/flex_grid.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/cell_text.h"
#include "ui/twips.h"

namespace ui {

QColor qtColor(Color bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

FlexGrid::FlexGrid(FlexGridModel* model, QWidget* parent, int arrayIndex)
    : QWidget(parent), model_(model), arrayIndex_(arrayIndex) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FlexGrid::setModel(FlexGridModel* model) {
  model_ = model;
  update();
}

void FlexGrid::syncFromModel() {
  if (model_ == nullptr) return;
  setGeometry(twips::toPixels(model_->place()));
  setVisible(model_->place().visible);
  if (model_->redraw()) update();
}

QPoint FlexGrid::cellAt(QPoint p) const {
  if (model_ == nullptr) return {-1, -1};
  GridEdges edges = gridEdges(*model_);
  const std::vector<int>&cx = edges.x, &ry = edges.y;
  int col = -1, row = -1;
  for (size_t c = 0; c + 1 < cx.size(); ++c)
    if (p.x() >= cx[c] && p.x() < cx[c + 1]) col = static_cast<int>(c);
  for (size_t r = 0; r + 1 < ry.size(); ++r)
    if (p.y() >= ry[r] && p.y() < ry[r + 1]) row = static_cast<int>(r);
  if (row < 0 || col < 0) return {-1, -1};
  return {col, row};
}

void FlexGrid::clickCell(int row, int col) {
  if (model_ == nullptr) return;
  // A merged run is drawn as one cell, in the text and colour of its first
  // row: a click anywhere on it is a click on that cell.
  model_->setCol(col);
  model_->setRow(model_->mergeRunStart(row, col));
  emit clicked(arrayIndex_);
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint cell = cellAt(event->position().toPoint());
  if (cell.x() < 0) return;
  clickCell(cell.y(), cell.x());
}

void FlexGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (model_ == nullptr) return;
  const FlexGridModel& m = *model_;
  painter.fillRect(rect(), qtColor(m.backColor()));
  GridEdges edges = gridEdges(m);
  const std::vector<int>&cx = edges.x, &ry = edges.y;
  QColor lines = qtColor(m.gridColor());

  for (int32_t c = 0; c < m.cols(); ++c) {
    if (cx[c + 1] <= cx[c]) continue;  // hidden column
    for (int32_t r = 0; r < m.rows();) {
      int32_t run = m.mergeRunLength(r, c);
      QRect cell(cx[c], ry[r], cx[c + 1] - cx[c], ry[r + run] - ry[r]);
      if (cell.intersects(rect())) {
        painter.fillRect(cell, qtColor(m.backColorAt(r, c)));
        painter.setFont(cellFont(m, r, c));
        painter.setPen(Qt::black);
        // Only what fits the run's first row is drawn: rows are sized to the
        // visible text, so anything below that is meant to stay unseen.
        std::vector<CellLine> shown = drawnLines(m, edges, r, c);
        double width = cellTextWidth(edges, c);
        double textHeight = 0;
        for (const auto& l : shown) textHeight += l.height;
        int align = static_cast<int>(m.alignmentAt(r, c));
        if (align == static_cast<int>(Alignment::General)) align = 1;
        int vertical = align % 3;    // 0 top, 1 centre, 2 bottom
        int horizontal = align / 3;  // 0 left, 1 centre, 2 right
        double y = cell.top() + kCellTextMarginPixels;
        double inner = cell.height() - 2 * kCellTextMarginPixels;
        if (vertical == 1) y += (inner - textHeight) / 2;
        if (vertical == 2) y += inner - textHeight;
        painter.save();
        painter.setClipRect(cell.adjusted(1, 1, -1, -1));
        Qt::Alignment h = horizontal == 0   ? Qt::AlignLeft
                          : horizontal == 1 ? Qt::AlignHCenter
                                            : Qt::AlignRight;
        for (const auto& l : shown) {
          QRectF lineRect(cell.left() + kCellTextMarginPixels, y, width, l.height);
          painter.drawText(lineRect, h | Qt::AlignVCenter | Qt::TextSingleLine, l.text);
          y += l.height;
        }
        painter.restore();
        painter.setPen(lines);
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
      }
      r += run;
    }
  }
}

}  // namespace ui
