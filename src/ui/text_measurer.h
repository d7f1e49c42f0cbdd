// How much room text needs in a grid, in lines of the grid's font.
//
// The board sizes its rows by counting the lines a cell needs, and a grid's
// default row height is one line of its font, so both must be measured the
// very way the grid draws: the same font, the same column width, the same
// wrapping. TextMeasurer is that measurement as the board's logic sees it:
// no display and no toolkit behind the interface, so the logic is built and
// tested without one. The screen's measurer is ui/qt_text_measurer.h.
#pragma once

#include <cstdint>

#include "ui/flex_grid_model.h"

namespace ui {

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // The lines of the grid's font that the text of cell (row, col) needs to
  // be drawn whole in its column: a row that many times lineHeight(grid.font())
  // high shows every line of it. One line per paragraph (CR LF ends one) plus
  // one for each wrap; 0 for an empty cell.
  virtual int32_t cellLines(const FlexGridModel& grid, int32_t row, int32_t col) const = 0;
  // The height a grid row needs for one line of text in this font, in
  // twips, with the small margin the grid keeps above and below the text.
  virtual int32_t lineHeight(const GridFont& font) const = 0;
};

// Sets a grid's font together with the default row height that goes with it.
void applyFont(FlexGridModel& grid, const GridFont& font, const TextMeasurer& measurer);

}  // namespace ui
