// Text measured on the screen, in the font a grid draws with, in twips.
//
// qtFont() turns a grid's font into the Qt font that both the painter and
// the measurement use, so a row sized from these numbers fits what the grid
// paints. QtTextMeasurer is the board's TextMeasurer on top of them. It
// needs a QGuiApplication (any platform, the offscreen one included) but no
// widget, so the board's logic can be tested with the real font without a
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

class QtTextMeasurer : public TextMeasurer {
 public:
  int32_t lineWidth(const GridFont& font, const std::string& line) const override {
    return textWidthTwips(font, line);
  }
  int32_t lineHeight(const GridFont& font) const override { return lineHeightTwips(font); }
};

// The one screen measurer; it holds no state, so it is shared by every form.
const TextMeasurer& qtTextMeasurer();

}  // namespace ui
