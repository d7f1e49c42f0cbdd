// The grid widget, the sound device, the property bag: the platform pieces
// on the offscreen screen.
#include <filesystem>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>

#include <cmath>

#include <gtest/gtest.h>

#include "support/qt_input.h"
#include "support/temp_dir.h"
#include "ui/flex_grid.h"
#include "ui/path_lookup.h"
#include "ui/property_bag.h"
#include "ui/qt_text_measurer.h"
#include "ui/twips.h"
#include "ui/wave_player.h"

namespace ui {
namespace {

using cocina::test::pressLeft;
using cocina::test::turnWheel;

namespace fs = std::filesystem;

FlexGridModel modelWithLines(int rows, int32_t rowHeight) {
  GridDesign d;
  d.mergeCells = MergeCells::Free;
  d.wordWrap = true;
  d.font = GridFont{"Arial", 12, false};
  d.defaultRowHeight = lineHeightTwips(d.font);
  FlexGridModel g(d);
  g.setRows(rows);
  g.setCols(2);
  g.setColWidth(0, 600);
  g.setColWidth(1, 3000);
  for (int r = 0; r < rows; ++r) g.setRowHeight(r, rowHeight);
  g.place() = {0, 0, 3600, static_cast<int32_t>(g.totalRowHeight()), true};
  return g;
}

QImage paint(FlexGrid& w) {
  w.syncFromModel();
  QImage image(w.size(), QImage::Format_RGB32);
  w.render(&image);
  return image;
}

TEST(FlexGridWidget, TextFarBelowTheRowNeverShowsEvenAcrossAMergedRun) {
  std::string hidden;
  for (int i = 0; i < 61; ++i) hidden += "\r\n";
  hidden += "Cod: 12345";
  // Ten rows of two lines each: the merged run is taller than the text's
  // 63 lines would need only if the tag were laid out across the whole run.
  int32_t twoLines = 2 * lineHeightTwips(GridFont{"Arial", 12, false});
  FlexGridModel shown = modelWithLines(40, twoLines);
  FlexGridModel plain = modelWithLines(40, twoLines);
  for (int r = 0; r < 40; ++r) {
    shown.setText(r, 1, "15 Minutos\r\n2 Cafe" + hidden);
    plain.setText(r, 1, "15 Minutos\r\n2 Cafe");
  }
  shown.setColMerge(1, true);
  plain.setColMerge(1, true);
  FlexGrid a(&shown), b(&plain);
  // Both columns merge into one run of 40 rows; the tag adds nothing seen.
  EXPECT_EQ(paint(a), paint(b));
  // Without the line breaks the tag would sit on the third line and show.
  FlexGridModel visible = modelWithLines(40, twoLines * 2);
  FlexGridModel visibleNoTag = modelWithLines(40, twoLines * 2);
  for (int r = 0; r < 40; ++r) {
    visible.setText(r, 1, "15 Minutos\r\n2 Cafe\r\nCod: 12345");
    visibleNoTag.setText(r, 1, "15 Minutos\r\n2 Cafe");
  }
  FlexGrid c(&visible), d(&visibleNoTag);
  EXPECT_NE(paint(c), paint(d));
}

TEST(FlexGridWidget, AClickMakesTheCellCurrentBeforeItIsReported) {
  FlexGridModel g = modelWithLines(3, 600);
  FlexGrid w(&g, nullptr, 4);
  w.syncFromModel();
  int seenRow = -1, seenCol = -1, seenIndex = -1;
  QObject::connect(&w, &FlexGrid::clicked, [&](int index) {
    seenRow = g.row();
    seenCol = g.col();
    seenIndex = index;
  });
  QPoint inCell(twips::toPixelsX(600 + 100), twips::toPixelsY(600 * 2 + 100));
  QPoint cell = w.cellAt(inCell);
  w.clickCell(cell.y(), cell.x());
  EXPECT_EQ(seenRow, 2);
  EXPECT_EQ(seenCol, 1);
  EXPECT_EQ(seenIndex, 4);
  EXPECT_EQ(w.cellAt(QPoint(5000, 5)), QPoint(-1, -1));
}

TEST(FlexGridWidget, AClickOnAnyRowOfAMergedRunMakesItsFirstRowCurrent) {
  FlexGridModel g = modelWithLines(4, 600);
  for (int r = 0; r < 3; ++r) g.setText(r, 1, "Sopa");
  g.setText(3, 1, "Te");
  FlexGrid w(&g);
  w.syncFromModel();
  QPointF third(twips::toPixelsX(600 + 100), twips::toPixelsY(600 * 2 + 100));
  QMouseEvent press(QEvent::MouseButtonPress, third, w.mapToGlobal(third), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &press);
  EXPECT_EQ(g.row(), 2);  // the column does not merge: the row clicked
  g.setColMerge(1, true);
  QApplication::sendEvent(&w, &press);
  EXPECT_EQ(g.row(), 0);  // one cell drawn over rows 0 to 2
  EXPECT_EQ(g.col(), 1);
  w.clickCell(3, 1);
  EXPECT_EQ(g.row(), 3);
}

TEST(FlexGridWidget, RowsThatOutgrowTheGridScrollUnderTheFixedRowAndClicksFollow) {
  FlexGridModel g = modelWithLines(41, 600);
  g.setFixedRows(1);
  for (int r = 0; r < 41; ++r) g.setText(r, 0, std::to_string(r));
  g.place().height = 600 * 10;  // the title row and nine lines
  FlexGrid w(&g);
  w.syncFromModel();
  w.show();
  QScrollBar* bar = w.verticalScrollBar();
  ASSERT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->maximum(), g.maxTopRow() - 1);
  bar->setValue(bar->maximum());
  EXPECT_EQ(g.topRow(), 32);
  // The title row stays on top; the last line is at the bottom, and a click
  // there is a click on row 40.
  EXPECT_EQ(w.cellAt(QPoint(5, twips::toPixelsY(300))), QPoint(0, 0));
  EXPECT_EQ(w.cellAt(QPoint(5, twips::toPixelsY(600 + 300))), QPoint(0, 32));
  QPoint last = w.cellAt(QPoint(5, w.height() - 3));
  EXPECT_EQ(last, QPoint(0, 40));
  pressLeft(&w, QPoint(5, w.height() - 3));
  EXPECT_EQ(g.row(), 40);
  // The wheel moves the rows while they do not fit, three a notch.
  EXPECT_TRUE(turnWheel(&w, 120));
  EXPECT_EQ(g.topRow(), 29);
  EXPECT_EQ(bar->value(), 28);
  // Rows that fit leave the wheel to the parent and show no bar.
  g.setRows(5);
  w.syncFromModel();
  EXPECT_FALSE(bar->isVisible());
  EXPECT_FALSE(turnWheel(&w, -120));
  EXPECT_EQ(w.cellAt(QPoint(5, twips::toPixelsY(600 + 300))), QPoint(0, 1));
}

TEST(FlexGridWidget, CellsPaintTheirBackgroundColourRedInTheLowByte) {
  FlexGridModel g = modelWithLines(1, 600);
  g.setRow(0);
  g.setCol(1);
  g.setCellBackColor(kRed);
  FlexGrid w(&g);
  QImage image = paint(w);
  EXPECT_EQ(image.pixelColor(twips::toPixelsX(3000), twips::toPixelsY(300)), QColor(255, 0, 0));
  EXPECT_EQ(qtColor(kGreen), QColor(0, 255, 0));
  EXPECT_EQ(qtColor(12640511), QColor(255, 224, 192));
}

// A working folder holding sonido/prhelp.wav, as the board finds it beside
// the program; the working folder is set back before the folder goes.
class SoundFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(fs::path(dir_.path()) / "sonido");
    dir_.write("sonido/prhelp.wav", "RIFF");
    old_ = fs::current_path();
    fs::current_path(dir_.path());
  }
  void TearDown() override { fs::current_path(old_); }
  cocina::test::TempDir dir_;
  fs::path old_;
};

TEST_F(SoundFolder, TheSoundFileIsFoundWithBackslashesAndWhateverTheCase) {
  std::optional<std::string> found = findPathIgnoringCase("Sonido\\PrHelp.WAV");
  ASSERT_TRUE(found);
  EXPECT_EQ(fs::path(*found).filename(), "prhelp.wav");
  EXPECT_FALSE(findPathIgnoringCase("Sonido\\Otro.WAV"));
  EXPECT_FALSE(findPathIgnoringCase(""));
}

TEST_F(SoundFolder, ThePlayerIsHarmlessWithoutAFileAndOpensOneThatExists) {
  WavePlayer player;
  player.command("play");  // nothing open yet
  player.setFileName("");
  player.command("open");
  EXPECT_EQ(player.openedFile(), "");
  player.setFileName("Sonido\\PrHelp.WAV");
  for (const char* c : {"stop", "close", "open", "play"}) player.command(c);
  EXPECT_NE(player.openedFile(), "");
  player.command("close");
  EXPECT_EQ(player.openedFile(), "");
  player.command("rewind");  // unknown commands do nothing
}

TEST(PropertyBag, AValueEqualToItsDefaultIsNotStored) {
  PropertyBag bag;
  bag.write("Titulo", std::string("Titulo"), std::string("Titulo"));
  bag.write("color", int32_t{16711680}, int32_t{16711680});
  EXPECT_EQ(bag.size(), 0u);
  bag.write("color", int32_t{14737632}, int32_t{16711680});
  EXPECT_TRUE(bag.contains("Color"));  // names are one whatever the case
  EXPECT_EQ(std::get<int32_t>(bag.read("COLOR", int32_t{0})), 14737632);
  EXPECT_EQ(std::get<bool>(bag.read("estado", true)), true);
  // A stored value of another type reads as the default.
  EXPECT_EQ(std::get<std::string>(bag.read("color", std::string("x"))), "x");
}

}  // namespace
}  // namespace ui
