// How much room text needs in a grid's font, in twips.
//
// The board sizes its rows by counting the lines a cell needs, and a grid's
// default row height is one line of its font, so both must be measured in
// the very font the grid paints with. TextMeasurer is that measurement as
// the board's logic sees it: no display and no toolkit behind the interface,
// so the logic is built and tested without one. The screen's measurer
// (QFontMetrics) is ui/qt_text_measurer.h.
#pragma once

#include <cstdint>
#include <string>

#include "ui/flex_grid_model.h"

namespace ui {

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Width of one line of text (no line breaks in it), in twips; 0 for "".
  virtual int32_t lineWidth(const GridFont& font, const std::string& line) const = 0;
  // The height a grid row needs for one line of text in this font, in
  // twips, with the small margin the grid keeps above and below the text.
  virtual int32_t lineHeight(const GridFont& font) const = 0;
};

// Sets a grid's font together with the default row height that goes with it.
void applyFont(FlexGridModel& grid, const GridFont& font, const TextMeasurer& measurer);

}  // namespace ui
