// The grid model: what the board writes, it reads back exactly.
#include "ui/flex_grid_model.h"

#include <gtest/gtest.h>

#include "ui/control_array.h"
#include "ui/text_measurer.h"

namespace ui {
namespace {

TEST(FlexGridModel, ResizingKeepsTheTextOfTheCellsThatRemain) {
  FlexGridModel g;
  g.setCols(3);
  g.setRows(2);
  g.setText(1, 2, "cafe");
  g.setRows(4);
  g.setCols(5);
  EXPECT_EQ(g.text(1, 2), "cafe");
  EXPECT_EQ(g.text(3, 4), "");
  g.setCols(2);
  EXPECT_EQ(g.text(1, 2), "");  // dropped with its column
  g.setCols(3);
  EXPECT_EQ(g.text(1, 2), "");  // and not brought back
}

TEST(FlexGridModel, IndexesOutsideTheGridReadEmptyAndWriteNothing) {
  FlexGridModel g;
  g.setRows(1);
  g.setCols(1);
  g.setText(5, 5, "x");
  g.setText(-1, 0, "x");
  EXPECT_EQ(g.text(5, 5), "");
  EXPECT_EQ(g.rows(), 1);
  g.setRow(7);
  EXPECT_EQ(g.row(), 0);
  EXPECT_EQ(g.colWidth(9), 0);
  EXPECT_EQ(g.rowHeight(-2), 0);
}

TEST(FlexGridModel, CellFormatsApplyToTheCurrentCellAndReadBackExactly) {
  FlexGridModel g;
  g.setRows(2);
  g.setCols(2);
  g.setRow(1);
  g.setCol(1);
  g.setCellBackColor(255);
  g.setCellAlignment(Alignment::CenterCenter);
  g.setCellFontBold(true);
  EXPECT_EQ(g.backColorAt(1, 1), 255u);
  EXPECT_EQ(g.backColorAt(0, 0), kWhite);
  g.setRow(0);
  g.setCol(0);
  g.setCellBackColor(254);
  EXPECT_EQ(g.cellBackColor(), 254u);
  EXPECT_EQ(g.alignmentAt(1, 1), Alignment::CenterCenter);
  EXPECT_TRUE(g.boldAt(1, 1));
  EXPECT_FALSE(g.boldAt(0, 0));
}

TEST(FlexGridModel, AddItemSplitsAtTabsIntoTheColumns) {
  FlexGridModel g;
  g.setRows(1);
  g.setCols(3);
  g.addItem("10\t-2\tCafe\textra");
  g.addItem("9");
  ASSERT_EQ(g.rows(), 3);
  EXPECT_EQ(g.text(1, 0), "10");
  EXPECT_EQ(g.text(1, 1), "-2");
  EXPECT_EQ(g.text(1, 2), "Cafe");
  EXPECT_EQ(g.text(2, 0), "9");
  EXPECT_EQ(g.text(2, 1), "");
}

TEST(FlexGridModel, ClearEmptiesCellsAndFormatsButKeepsTheShape) {
  FlexGridModel g;
  g.setRows(2);
  g.setCols(2);
  g.setColWidth(1, 3000);
  g.setText(1, 1, "x");
  g.setRow(1);
  g.setCol(1);
  g.setCellBackColor(kRed);
  g.clear();
  EXPECT_EQ(g.rows(), 2);
  EXPECT_EQ(g.text(1, 1), "");
  EXPECT_EQ(g.backColorAt(1, 1), kWhite);
  EXPECT_EQ(g.colWidth(1), 3000);
}

TEST(FlexGridModel, RowsHaveTheFontsHeightUnlessSetAndNeverLessThanTheMinimum) {
  GridDesign d;
  d.defaultRowHeight = 300;
  FlexGridModel g(d);
  g.setRows(3);
  g.setRowHeight(1, 900);
  EXPECT_EQ(g.rowHeight(0), 300);
  EXPECT_EQ(g.rowHeight(1), 900);
  g.setRowHeightMin(600);
  EXPECT_EQ(g.rowHeight(0), 600);
  EXPECT_EQ(g.rowHeight(1), 900);
  EXPECT_EQ(g.totalRowHeight(), 600 + 900 + 600);
}

// Measures a line as 20 twips a point, whatever the text.
class PointsMeasurer : public TextMeasurer {
 public:
  int32_t cellLines(const FlexGridModel&, int32_t, int32_t) const override { return 1; }
  int32_t lineHeight(const GridFont& font) const override {
    return static_cast<int32_t>(font.size * 20);
  }
};

TEST(FlexGridModel, AnAppliedFontBringsItsMeasuredLineButNeverARowUnderOneTwip) {
  PointsMeasurer measurer;
  FlexGridModel g(GridDesign{});
  g.setRows(2);
  g.setRowHeight(1, 900);
  applyFont(g, GridFont{"Arial", 12, true}, measurer);
  EXPECT_EQ(g.font().size, 12);
  EXPECT_TRUE(g.font().bold);
  EXPECT_EQ(g.rowHeight(0), 240);
  EXPECT_EQ(g.rowHeight(1), 900);  // a height set by hand stays
  applyFont(g, GridFont{"Arial", 0, false}, measurer);
  EXPECT_EQ(g.rowHeight(0), 1);
}

TEST(FlexGridModel, EqualCellsOfAMergeableColumnFormOneRun) {
  GridDesign d;
  d.mergeCells = MergeCells::Free;
  FlexGridModel g(d);
  g.setRows(4);
  g.setCols(2);
  for (int r = 0; r < 3; ++r) g.setText(r, 1, "A");
  g.setText(3, 1, "B");
  EXPECT_EQ(g.mergeRunLength(0, 1), 1);  // not mergeable yet
  g.setColMerge(1, true);
  EXPECT_EQ(g.mergeRunLength(0, 1), 3);
  EXPECT_EQ(g.mergeRunStart(2, 1), 0);
  EXPECT_EQ(g.mergeRunLength(3, 1), 1);
  g.setMergeCells(MergeCells::Never);
  EXPECT_EQ(g.mergeRunLength(0, 1), 1);
}

TEST(FlexGridModel, TheTopRowStaysUnderTheFixedRowsAndStopsWhereTheLastRowShows) {
  GridDesign d;
  d.fixedRows = 1;
  d.defaultRowHeight = 300;
  FlexGridModel g(d);
  g.setCols(2);
  g.setRows(41);                            // a title row and 40 lines
  g.place() = {0, 0, 3000, 300 + 9 * 300};  // room for 9 lines under the title
  EXPECT_TRUE(g.scrolls());
  EXPECT_EQ(g.topRow(), 1);      // never a fixed row
  EXPECT_EQ(g.maxTopRow(), 32);  // rows 32 to 40 fill the room
  g.setTopRow(1000);
  EXPECT_EQ(g.topRow(), 32);
  g.setRowHeight(40, 900);  // a taller last line needs two rows fewer
  EXPECT_EQ(g.maxTopRow(), 34);
  // Rebuilt with fewer rows, the list stays as far down as they reach, and
  // goes back down when they come back.
  g.setTopRow(20);
  g.setRows(10);
  EXPECT_EQ(g.topRow(), 1);  // nine lines fit: no scrolling
  EXPECT_FALSE(g.scrolls());
  g.setRows(41);
  EXPECT_EQ(g.topRow(), 20);
  g.setScrollBars(ScrollBars::None);
  EXPECT_FALSE(g.scrolls());
  EXPECT_EQ(g.topRow(), 1);
  // One row taller than the room below the title is the top row alone.
  g.setScrollBars(ScrollBars::Vertical);
  g.setRows(3);
  g.setRowHeight(2, 5000);
  EXPECT_EQ(g.maxTopRow(), 2);
}

TEST(ControlArray, NewElementsCopyElementZerosDesignAndFontButNotItsText) {
  GridDesign d;
  d.font = GridFont{"Arial", 14, false};
  ControlArray<FlexGridModel> grids(FlexGridModel(d),
                                    [](const FlexGridModel& g) { return g.designCopy(); });
  grids[0].setText(0, 0, "Mesa");
  grids[0].setFont(GridFont{"Arial", 16, true}, 400);
  ASSERT_TRUE(grids.load(1));
  EXPECT_EQ(grids.count(), 2);
  EXPECT_EQ(grids[1].font().size, 16);
  EXPECT_TRUE(grids[1].font().bold);
  EXPECT_EQ(grids[1].rowHeight(0), 400);
  EXPECT_EQ(grids[1].text(0, 0), "");
  EXPECT_FALSE(grids[1].place().visible);
  EXPECT_FALSE(grids.load(1));  // already loaded
}

TEST(ControlArray, UnloadingLeavesElementZeroAndCountsWhatRemains) {
  ControlArray<int> a(7, [](const int& v) { return v; });
  a.load(1);
  a.load(2);
  a.load(3);
  EXPECT_FALSE(a.unload(0));
  EXPECT_TRUE(a.unload(1));
  EXPECT_EQ(a.count(), 3);
  EXPECT_FALSE(a.loaded(1));
  EXPECT_THROW(a[1], std::out_of_range);
  EXPECT_TRUE(a.unload(2));
  EXPECT_TRUE(a.unload(3));
  EXPECT_EQ(a.count(), 1);
  EXPECT_EQ(a.upperBound(), 1);
  EXPECT_EQ(a[0], 7);
}

}  // namespace
}  // namespace ui
