// The grid control on the screen: draws a FlexGridModel and forwards clicks.
//
// The widget keeps no state of its own beyond the model it shows (owned by
// the caller, who keeps it alive while the widget exists). Drawing rules:
// - colours, widths and heights come from the model, twips turned to pixels;
// - a column of width 0 is not drawn (its text stays in the model);
// - adjacent equal cells of a mergeable column are drawn as one cell;
// - a cell draws only the lines of its text that fit its own row, whole
//   lines only, so text pushed far below by line breaks (the board's hidden
//   tag of each line) never shows, not even in a merged run of rows;
// - a cell's text is laid out by ui/cell_text.h, the layout by which the
//   board counts the lines a row must hold;
// - the fixed rows stay at the top; below them the rows run from the
//   model's top row on, and a vertical scroll bar (and the wheel over the
//   grid) moves the top row when the rows do not fit the grid's height. A
//   grid whose rows fit leaves the wheel to its parent.
// A click first makes the clicked cell the model's current cell, then emits
// clicked(index) with the grid's index in its control array (-1 outside one).
// A merged run is one cell: a click on any of its rows makes the run's first
// row current, the row whose text and colour the run shows.
#pragma once

#include <QWidget>

#include "ui/flex_grid_model.h"

class QScrollBar;

namespace ui {

QColor qtColor(Color bgr);

class FlexGrid : public QWidget {
  Q_OBJECT

 public:
  explicit FlexGrid(FlexGridModel* model, QWidget* parent = nullptr, int arrayIndex = -1);

  FlexGridModel* model() const { return model_; }
  void setModel(FlexGridModel* model);
  int arrayIndex() const { return arrayIndex_; }

  // Moves and sizes the widget to the model's place (twips), shows or hides
  // it, sets the scroll bar to the model's rows and top row, and repaints
  // when the model's redraw is on.
  void syncFromModel();
  // The vertical scroll bar; hidden while the rows fit.
  QScrollBar* verticalScrollBar() const { return scrollBar_; }

  // The cell under a point of the widget (column, row), or {-1, -1} outside
  // the cells.
  QPoint cellAt(QPoint pixel) const;
  // Simulates the user's click on a cell: current cell first (the first row
  // of its merged run), then clicked().
  void clickCell(int row, int col);

 signals:
  void clicked(int arrayIndex);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void syncScrollBar();

  FlexGridModel* model_;
  int arrayIndex_;
  QScrollBar* scrollBar_;
  int wheelRemainder_ = 0;  // eighths of a degree not yet a whole notch
};

}  // namespace ui
