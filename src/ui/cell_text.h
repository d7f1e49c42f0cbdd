// A grid cell's text laid out in lines: the one layout by which the grid
// draws a cell and the board counts the lines a row must hold.
//
// The board sizes a row from the number of lines its cells need, and the
// grid draws in a row only the lines that fit it whole. Were the two to wrap
// differently, the last line of a cell (often a detail such as an allergy)
// would go undrawn without a trace. So both lay text out here, with the same
// font, the same width (the column between its edges as drawn, less the
// margins) and the same break rules: at word boundaries, and inside a word
// only when the word alone is wider than the column, so a long word wraps
// instead of being cut.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <QFont>
#include <QString>

#include "ui/flex_grid_model.h"

namespace ui {

// Pixels between a cell's edges and its text, on each side.
inline constexpr int kCellTextMarginPixels = 2;

// A grid's edges in pixels, from its left and top. Each edge is its offset
// in twips rounded, not each width, so columns and stacked rows meet without
// gaps; a column's width in pixels therefore depends on where it starts.
struct GridEdges {
  std::vector<int> x;  // cols() + 1 edges, the first 0
  std::vector<int> y;  // rows() + 1 edges, the first 0
};
GridEdges gridEdges(const FlexGridModel& grid);

// The font cell (row, col) draws in: the grid's font, bold as the cell is.
QFont cellFont(const FlexGridModel& grid, int32_t row, int32_t col);

// The width in pixels the text of column `col` is wrapped to.
double cellTextWidth(const GridEdges& edges, int32_t col);

// One line of a cell as drawn, with its height in pixels.
struct CellLine {
  QString text;
  double height;
};

// `text` in lines: CR LF (or a lone CR or LF) ends a paragraph, and each
// paragraph is wrapped to `width` pixels when `wrap` is on and the width is
// positive. Stops before the first line that would take the lines' heights
// past `room` pixels, so every line returned fits whole.
std::vector<CellLine> layoutCellText(const std::string& text, const QFont& font, double width,
                                     bool wrap,
                                     double room = std::numeric_limits<double>::infinity());

// What the grid draws in the cell (row, col), `row` being the first row of
// its merged run: the lines that fit that row whole, trailing blank lines
// left out (text pushed below the visible lines never shows, and vertical
// centring sees only what does).
std::vector<CellLine> drawnLines(const FlexGridModel& grid, const GridEdges& edges, int32_t row,
                                 int32_t col);

}  // namespace ui
