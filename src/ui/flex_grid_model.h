// The state of one grid control: cells, their formats, row heights and column
// widths in twips, the current cell, and the design settings a grid array
// copies into every element it loads.
//
// The model holds everything the board reads back (the text of a cell stays
// whole, however far below the visible part its lines go; a cell's background
// colour reads back exactly as set) and knows nothing of drawing, so the
// board's logic is tested without a display. Indexes are 0-based; an index
// outside the grid reads as an empty cell and writing to it does nothing, so
// a stale index never corrupts a grid.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/geometry.h"

namespace ui {

// Colours are 24-bit numbers with red in the low byte: 255 red, 65280 green,
// 16777215 white, as the point of sale's platform writes them.
using Color = uint32_t;
inline constexpr Color kRed = 255;
inline constexpr Color kGreen = 65280;
inline constexpr Color kWhite = 16777215;
inline constexpr Color kLightGrey = 14737632;   // E0E0E0
inline constexpr Color kButtonFace = 15790320;  // F0F0F0

enum class Alignment : int {
  LeftTop = 0,
  LeftCenter = 1,
  LeftBottom = 2,
  CenterTop = 3,
  CenterCenter = 4,
  CenterBottom = 5,
  RightTop = 6,
  RightCenter = 7,
  RightBottom = 8,
  General = 9,  // left-centre for text
};

// Whether a cell-format setting applies to the current cell only or to the
// whole selection; the grid selects one cell at a time, so both reach the
// current cell.
enum class FillStyle : int { Single = 0, Repeat = 1 };
enum class MergeCells : int {
  Never = 0,
  Free = 1,
  RestrictRows = 2,
  RestrictColumns = 3,
  RestrictAll = 4
};
enum class UserResizing : int { None = 0, Columns = 1, Rows = 2, Both = 3 };
// Whether the grid scrolls its rows when they outgrow its height. The
// columns are laid out to the grid's width by their owners, so no grid here
// scrolls sideways.
enum class ScrollBars : int { None = 0, Vertical = 2 };

struct GridFont {
  std::string name = "Arial";
  double size = 9.75;
  bool bold = false;
};

// The settings an element of a grid array starts with: the design of
// element 0 and its font.
struct GridDesign {
  int32_t rows = 1;
  int32_t cols = 1;
  int32_t fixedRows = 0;
  int32_t fixedCols = 0;
  MergeCells mergeCells = MergeCells::Never;
  bool wordWrap = false;
  UserResizing userResizing = UserResizing::None;
  ScrollBars scrollBars = ScrollBars::Vertical;
  Color backColor = kWhite;
  Color backColorFixed = kButtonFace;
  Color gridColor = 12632256;  // C0C0C0
  GridFont font;
  int32_t defaultRowHeight = 240;  // one line of the font, see applyFont()
  int32_t defaultColWidth = 960;
};

class FlexGridModel {
 public:
  explicit FlexGridModel(GridDesign design = {});

  const GridDesign& design() const { return design_; }
  // A new grid with this grid's design settings and font, no text.
  FlexGridModel designCopy() const;

  // Place on the form. Visible is the control's own flag.
  TwipsRect& place() { return place_; }
  const TwipsRect& place() const { return place_; }

  int32_t rows() const { return static_cast<int32_t>(cells_.size()); }
  int32_t cols() const { return cols_; }
  // Adds empty rows or columns at the end or drops them from the end;
  // existing cells keep their text. Negative counts are taken as 0.
  void setRows(int32_t n);
  void setCols(int32_t n);

  int32_t fixedRows() const { return design_.fixedRows; }
  int32_t fixedCols() const { return design_.fixedCols; }
  void setFixedRows(int32_t n) { design_.fixedRows = n < 0 ? 0 : n; }
  void setFixedCols(int32_t n) { design_.fixedCols = n < 0 ? 0 : n; }

  const std::string& text(int32_t row, int32_t col) const;
  void setText(int32_t row, int32_t col, std::string text);

  // The current cell, to which the cell-format operations apply. Setting an
  // index outside the grid leaves the current cell as it was.
  int32_t row() const { return row_; }
  int32_t col() const { return col_; }
  void setRow(int32_t r);
  void setCol(int32_t c);

  FillStyle fillStyle() const { return fillStyle_; }
  void setFillStyle(FillStyle f) { fillStyle_ = f; }

  // Format of the current cell.
  Color cellBackColor() const { return backColorAt(row_, col_); }
  void setCellBackColor(Color c);
  Alignment cellAlignment() const { return alignmentAt(row_, col_); }
  void setCellAlignment(Alignment a);
  bool cellFontBold() const { return boldAt(row_, col_); }
  void setCellFontBold(bool bold);

  // Format of any cell, for drawing: a cell without a colour of its own has
  // the grid's (or the fixed cells') background.
  Color backColorAt(int32_t row, int32_t col) const;
  Alignment alignmentAt(int32_t row, int32_t col) const;
  bool boldAt(int32_t row, int32_t col) const;
  bool isFixed(int32_t row, int32_t col) const;

  // Twips. A row without a height of its own has the default height of the
  // font; no row is lower than the minimum row height.
  int32_t colWidth(int32_t col) const;
  void setColWidth(int32_t col, int32_t twips);
  int32_t rowHeight(int32_t row) const;
  void setRowHeight(int32_t row, int32_t twips);
  int32_t rowHeightMin() const { return rowHeightMin_; }
  void setRowHeightMin(int32_t twips) { rowHeightMin_ = twips < 0 ? 0 : twips; }
  int64_t totalRowHeight() const;
  int64_t totalColWidth() const;

  // Scrolling. The fixed rows always stay at the top; below them the rows
  // are shown from the top row on. The top row is kept as set and read back
  // within what the grid's place allows: from the first row under the fixed
  // ones down to the lowest top row that still shows the last row whole, so
  // rebuilding the rows keeps the staff where they were, as far as the rows
  // still reach.
  ScrollBars scrollBars() const { return design_.scrollBars; }
  void setScrollBars(ScrollBars s) { design_.scrollBars = s; }
  int32_t topRow() const;
  void setTopRow(int32_t row) { topRow_ = row; }
  // The lowest top row: the highest row from which the rows down to the
  // last fit the room under the fixed rows, so the last row shows whole
  // (a last row taller than that room is the top row alone). The first
  // row under the fixed ones when everything fits.
  int32_t maxTopRow() const;
  // True when the grid scrolls and its rows do not all fit its height.
  bool scrolls() const;

  bool colMerge(int32_t col) const;
  void setColMerge(int32_t col, bool merge);
  MergeCells mergeCells() const { return design_.mergeCells; }
  void setMergeCells(MergeCells m) { design_.mergeCells = m; }
  // The first row of the run of equal cells that (row, col) is drawn in, and
  // the number of rows of that run: 1 when the column does not merge.
  int32_t mergeRunStart(int32_t row, int32_t col) const;
  int32_t mergeRunLength(int32_t startRow, int32_t col) const;

  bool wordWrap() const { return design_.wordWrap; }
  void setWordWrap(bool w) { design_.wordWrap = w; }
  UserResizing userResizing() const { return design_.userResizing; }
  void setUserResizing(UserResizing u) { design_.userResizing = u; }
  Color backColor() const { return design_.backColor; }
  void setBackColor(Color c) { design_.backColor = c; }
  Color backColorFixed() const { return design_.backColorFixed; }
  void setBackColorFixed(Color c) { design_.backColorFixed = c; }
  Color gridColor() const { return design_.gridColor; }
  void setGridColor(Color c) { design_.gridColor = c; }

  const GridFont& font() const { return design_.font; }
  // The font and the default row height that goes with it (one line of
  // text, worked out by whoever knows the screen: see ui/text_measurer.h).
  void setFont(GridFont font, int32_t defaultRowHeight);

  // Appends one row; the text holds one value per column separated by tabs.
  // Values beyond the last column are dropped.
  void addItem(const std::string& tabSeparated);
  // Empties every cell and every cell format; rows, columns and sizes stay.
  void clear();

  // While redraw is off the widget does not repaint; turning it on repaints.
  bool redraw() const { return redraw_; }
  void setRedraw(bool on) { redraw_ = on; }

 private:
  struct Cell {
    std::string text;
    std::optional<Color> backColor;
    std::optional<Alignment> alignment;
    std::optional<bool> bold;
  };
  bool inside(int32_t row, int32_t col) const;
  Cell* current();

  GridDesign design_;
  TwipsRect place_;
  int32_t cols_ = 0;
  std::vector<std::vector<Cell>> cells_;
  std::vector<std::optional<int32_t>> rowHeights_;
  std::vector<int32_t> colWidths_;
  std::vector<bool> colMerge_;
  int32_t row_ = 0;
  int32_t col_ = 0;
  FillStyle fillStyle_ = FillStyle::Single;
  int32_t rowHeightMin_ = 0;
  int32_t topRow_ = 0;
  bool redraw_ = true;
};

}  // namespace ui
