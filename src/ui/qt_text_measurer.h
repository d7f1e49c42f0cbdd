// Text measured on the screen, in the font a grid draws with, in twips.
//
// qtFont() turns a grid's font into the Qt font that both the painter and
// the measurement use, and a cell's lines are counted through the grid's own
// layout (ui/cell_text.h), so a row sized from these numbers shows every line
// the grid paints. QtTextMeasurer is the board's TextMeasurer on top of them.
// It needs a QGuiApplication (any platform, the offscreen one included) but
// no widget, so the board's logic can be tested with the real font without a
// display.
#pragma once

#include <cstdint>
#include <string>

#include <QFont>

#include "ui/text_measurer.h"

namespace ui {

QFont qtFont(const GridFont& font);
// Width of one line of text (no line breaks in it), in twips.
int32_t textWidthTwips(const GridFont& font, const std::string& line);
// The height a grid row needs for one line of text in this font, in twips,
// with the small margin the grid keeps above and below the text.
int32_t lineHeightTwips(const GridFont& font);
// The lines of lineHeightTwips(grid.font()) that cell (row, col) needs for
// every line the grid lays out in it to be drawn whole (TextMeasurer).
int32_t cellLinesNeeded(const FlexGridModel& grid, int32_t row, int32_t col);

class QtTextMeasurer : public TextMeasurer {
 public:
  int32_t cellLines(const FlexGridModel& grid, int32_t row, int32_t col) const override {
    return cellLinesNeeded(grid, row, col);
  }
  int32_t lineHeight(const GridFont& font) const override { return lineHeightTwips(font); }
};

// The one screen measurer; it holds no state, so it is shared by every form.
const TextMeasurer& qtTextMeasurer();

}  // namespace ui
