// The grid model: cells and formats in plain vectors, every index checked.
#include "ui/flex_grid_model.h"

#include <algorithm>

namespace ui {

namespace {
const std::string kEmpty;
}

FlexGridModel::FlexGridModel(GridDesign design) : design_(std::move(design)) {
  setCols(design_.cols);
  setRows(design_.rows);
}

FlexGridModel FlexGridModel::designCopy() const {
  FlexGridModel copy(design_);
  copy.place_ = place_;
  copy.place_.visible = false;  // a loaded element starts hidden until shown
  copy.rowHeightMin_ = rowHeightMin_;
  return copy;
}

bool FlexGridModel::inside(int32_t row, int32_t col) const {
  return row >= 0 && col >= 0 && row < rows() && col < cols_;
}

void FlexGridModel::setRows(int32_t n) {
  n = std::max<int32_t>(n, 0);
  cells_.resize(static_cast<size_t>(n), std::vector<Cell>(static_cast<size_t>(cols_)));
  rowHeights_.resize(static_cast<size_t>(n));
  if (row_ >= n) row_ = n > 0 ? n - 1 : 0;
}

void FlexGridModel::setCols(int32_t n) {
  n = std::max<int32_t>(n, 0);
  cols_ = n;
  for (auto& r : cells_) r.resize(static_cast<size_t>(n));
  colWidths_.resize(static_cast<size_t>(n), -1);
  colMerge_.resize(static_cast<size_t>(n), false);
  if (col_ >= n) col_ = n > 0 ? n - 1 : 0;
}

const std::string& FlexGridModel::text(int32_t row, int32_t col) const {
  return inside(row, col) ? cells_[row][col].text : kEmpty;
}

void FlexGridModel::setText(int32_t row, int32_t col, std::string text) {
  if (inside(row, col)) cells_[row][col].text = std::move(text);
}

void FlexGridModel::setRow(int32_t r) {
  if (r >= 0 && r < rows()) row_ = r;
}

void FlexGridModel::setCol(int32_t c) {
  if (c >= 0 && c < cols_) col_ = c;
}

FlexGridModel::Cell* FlexGridModel::current() {
  return inside(row_, col_) ? &cells_[row_][col_] : nullptr;
}

void FlexGridModel::setCellBackColor(Color c) {
  if (Cell* cell = current()) cell->backColor = c;
}

void FlexGridModel::setCellAlignment(Alignment a) {
  if (Cell* cell = current()) cell->alignment = a;
}

void FlexGridModel::setCellFontBold(bool bold) {
  if (Cell* cell = current()) cell->bold = bold;
}

bool FlexGridModel::isFixed(int32_t row, int32_t col) const {
  return row < design_.fixedRows || col < design_.fixedCols;
}

Color FlexGridModel::backColorAt(int32_t row, int32_t col) const {
  if (inside(row, col) && cells_[row][col].backColor) return *cells_[row][col].backColor;
  return isFixed(row, col) ? design_.backColorFixed : design_.backColor;
}

Alignment FlexGridModel::alignmentAt(int32_t row, int32_t col) const {
  if (inside(row, col) && cells_[row][col].alignment) return *cells_[row][col].alignment;
  return Alignment::General;
}

bool FlexGridModel::boldAt(int32_t row, int32_t col) const {
  if (inside(row, col) && cells_[row][col].bold) return *cells_[row][col].bold;
  return design_.font.bold;
}

int32_t FlexGridModel::colWidth(int32_t col) const {
  if (col < 0 || col >= cols_) return 0;
  return colWidths_[col] < 0 ? design_.defaultColWidth : colWidths_[col];
}

void FlexGridModel::setColWidth(int32_t col, int32_t twips) {
  if (col >= 0 && col < cols_) colWidths_[col] = std::max<int32_t>(twips, 0);
}

int32_t FlexGridModel::rowHeight(int32_t row) const {
  if (row < 0 || row >= rows()) return 0;
  int32_t h = rowHeights_[row].value_or(design_.defaultRowHeight);
  return std::max(h, rowHeightMin_);
}

void FlexGridModel::setRowHeight(int32_t row, int32_t twips) {
  if (row >= 0 && row < rows()) rowHeights_[row] = std::max<int32_t>(twips, 0);
}

int64_t FlexGridModel::totalRowHeight() const {
  int64_t sum = 0;
  for (int32_t r = 0; r < rows(); ++r) sum += rowHeight(r);
  return sum;
}

int64_t FlexGridModel::totalColWidth() const {
  int64_t sum = 0;
  for (int32_t c = 0; c < cols_; ++c) sum += colWidth(c);
  return sum;
}

int32_t FlexGridModel::topRow() const {
  return std::clamp(topRow_, design_.fixedRows, std::max(maxTopRow(), design_.fixedRows));
}

int32_t FlexGridModel::maxTopRow() const {
  const int32_t first = std::min(design_.fixedRows, rows());
  if (!scrolls()) return first;
  int64_t room = place_.height;
  for (int32_t r = 0; r < first; ++r) room -= rowHeight(r);
  int32_t top = rows() - 1;
  int64_t used = rowHeight(top);
  while (top - 1 >= first && used + rowHeight(top - 1) <= room) {
    --top;
    used += rowHeight(top);
  }
  return top;
}

bool FlexGridModel::scrolls() const {
  return design_.scrollBars == ScrollBars::Vertical && rows() > design_.fixedRows &&
         totalRowHeight() > place_.height;
}

bool FlexGridModel::colMerge(int32_t col) const {
  return col >= 0 && col < cols_ && colMerge_[col];
}

void FlexGridModel::setColMerge(int32_t col, bool merge) {
  if (col >= 0 && col < cols_) colMerge_[col] = merge;
}

int32_t FlexGridModel::mergeRunStart(int32_t row, int32_t col) const {
  if (design_.mergeCells == MergeCells::Never || !colMerge(col) || !inside(row, col)) return row;
  const std::string& t = cells_[row][col].text;
  if (t.empty()) return row;
  while (row > 0 && cells_[row - 1][col].text == t) --row;
  return row;
}

int32_t FlexGridModel::mergeRunLength(int32_t startRow, int32_t col) const {
  if (design_.mergeCells == MergeCells::Never || !colMerge(col) || !inside(startRow, col)) return 1;
  const std::string& t = cells_[startRow][col].text;
  if (t.empty()) return 1;
  int32_t n = 1;
  while (startRow + n < rows() && cells_[startRow + n][col].text == t) ++n;
  return n;
}

void FlexGridModel::setFont(GridFont font, int32_t defaultRowHeight) {
  design_.font = std::move(font);
  design_.defaultRowHeight = std::max<int32_t>(defaultRowHeight, 1);
}

void FlexGridModel::addItem(const std::string& tabSeparated) {
  setRows(rows() + 1);
  int32_t r = rows() - 1;
  int32_t c = 0;
  size_t start = 0;
  while (c < cols_) {
    size_t tab = tabSeparated.find('\t', start);
    setText(r, c,
            tabSeparated.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
    ++c;
  }
}

void FlexGridModel::clear() {
  for (auto& r : cells_) std::fill(r.begin(), r.end(), Cell{});
}

}  // namespace ui
