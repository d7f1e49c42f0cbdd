// Text measured in the font a grid draws with, in twips.
//
// The board sizes its rows by counting the lines a cell needs, so the
// measurement must use the very font the grid paints with: qtFont() turns the
// grid's font into the Qt font both the painter and the measurement use.
#pragma once

#include <cstdint>
#include <string>

#include <QFont>

#include "ui/flex_grid_model.h"

namespace ui {

QFont qtFont(const GridFont& font);
// Width of one line of text (no line breaks in it), in twips.
int32_t textWidthTwips(const GridFont& font, const std::string& line);
// The height a grid row needs for one line of text in this font, in twips,
// with the small margin the grid keeps above and below the text.
int32_t lineHeightTwips(const GridFont& font);
// Sets a grid's font together with the default row height that goes with it.
void applyFont(FlexGridModel& grid, const GridFont& font);

}  // namespace ui
