// A grid's font and its row height set in one step, so they never disagree.
#include "ui/text_measurer.h"

namespace ui {

void applyFont(FlexGridModel& grid, const GridFont& font, const TextMeasurer& measurer) {
  grid.setFont(font, measurer.lineHeight(font));
}

}  // namespace ui
