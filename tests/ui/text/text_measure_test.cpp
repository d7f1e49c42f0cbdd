// Twips and text measurement on the screen: Qt Gui on the offscreen
// platform, no widget, so the sanitizer build runs them too.
#include "ui/qt_text_measurer.h"

#include <cmath>

#include <gtest/gtest.h>

#include "ui/cell_text.h"
#include "ui/twips.h"

namespace ui {
namespace {

TEST(Twips, AnInchIsTheScreensLogicalDpiInPixels) {
  EXPECT_EQ(twips::toPixelsX(1440), static_cast<int>(std::lround(twips::dpiX())));
  EXPECT_EQ(twips::fromPixelsY(twips::toPixelsY(2880)), 2880);
  QRect r = twips::toPixels({1440, 0, 1440, 720, true});
  EXPECT_EQ(r.left() + r.width(), twips::toPixelsX(2880));
}

TEST(TextMeasure, WiderTextAndLargerFontsMeasureWider) {
  GridFont small{"Arial", 9.75, false}, large{"Arial", 20, false};
  EXPECT_EQ(textWidthTwips(small, ""), 0);
  EXPECT_LT(textWidthTwips(small, "Cafe"), textWidthTwips(small, "Cafe con leche"));
  EXPECT_LT(textWidthTwips(small, "Cafe"), textWidthTwips(large, "Cafe"));
  EXPECT_LT(lineHeightTwips(small), lineHeightTwips(large));
}

// A row n lines of the font high, as the board sizes it, holds n lines as
// the grid lays them out, at every size the settings may ask for; counted,
// they need no more rows than they are lines.
TEST(CellText, ARowOfNLinesOfTheFontHoldsNLinesAtEverySize) {
  for (int size = 6; size <= 72; ++size) {
    GridDesign d;
    d.wordWrap = true;
    d.font = GridFont{"Arial", static_cast<double>(size), false};
    d.defaultRowHeight = lineHeightTwips(d.font);
    FlexGridModel g(d);
    g.setCols(2);
    g.setColWidth(1, 40000);
    std::string text = "Ñandú";
    for (int n = 1; n <= 4; ++n, text += "\r\ngy Ág") {
      g.setText(0, 1, text);
      g.setRowHeight(0, n * lineHeightTwips(d.font));
      EXPECT_EQ(cellLinesNeeded(g, 0, 1), n) << size << " pt";
      EXPECT_EQ(drawnLines(g, gridEdges(g), 0, 1).size(), static_cast<size_t>(n)) << size << " pt";
    }
  }
}

}  // namespace
}  // namespace ui
