// Painting and hit-testing of the grid control.
#include "ui/flex_grid.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include "ui/cell_text.h"
#include "ui/twips.h"

namespace ui {

QColor qtColor(Color bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

FlexGrid::FlexGrid(FlexGridModel* model, QWidget* parent, int arrayIndex)
    : QWidget(parent),
      model_(model),
      arrayIndex_(arrayIndex),
      scrollBar_(new QScrollBar(Qt::Vertical, this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  scrollBar_->hide();
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (model_ == nullptr) return;
    model_->setTopRow(std::min(model_->fixedRows(), model_->rows()) + value);
    update();
  });
}

void FlexGrid::setModel(FlexGridModel* model) {
  model_ = model;
  syncScrollBar();
  update();
}

void FlexGrid::syncFromModel() {
  if (model_ == nullptr) return;
  setGeometry(twips::toPixels(model_->place()));
  setVisible(model_->place().visible);
  syncScrollBar();
  if (model_->redraw()) update();
}

void FlexGrid::syncScrollBar() {
  const int first = model_ == nullptr ? 0 : std::min(model_->fixedRows(), model_->rows());
  if (model_ == nullptr || model_->maxTopRow() <= first) {
    scrollBar_->hide();
    return;
  }
  QSignalBlocker quiet(scrollBar_);
  scrollBar_->setRange(0, model_->maxTopRow() - first);
  scrollBar_->setValue(model_->topRow() - first);
  scrollBar_->setSingleStep(1);
  scrollBar_->setPageStep(std::max(1, model_->rows() - model_->maxTopRow()));
  int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar_);
  scrollBar_->setGeometry(width() - extent, 0, extent, height());
  scrollBar_->show();
}

void FlexGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  syncScrollBar();
}

void FlexGrid::wheelEvent(QWheelEvent* event) {
  if (!scrollBar_->isVisible()) {
    event->ignore();  // rows that fit: the wheel is the parent's
    return;
  }
  // Touchpads send small deltas: they add up to notches of 120.
  wheelRemainder_ += event->angleDelta().y();
  int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
  wheelRemainder_ -= notches * QWheelEvent::DefaultDeltasPerStep;
  scrollBar_->setValue(scrollBar_->value() - notches * QApplication::wheelScrollLines());
  event->accept();
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
