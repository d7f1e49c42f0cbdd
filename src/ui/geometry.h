// Where a control stands on its form, in twips (1/1440 inch).
//
// Every length on the board is kept in twips, the unit the layout is worked
// out in, so that sums of row heights and button widths stay exact; only the
// widgets turn them into pixels, at the last moment, with the screen's
// logical DPI (twips.h).
#pragma once

#include <cstdint>

namespace ui {

struct TwipsRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool visible = true;
};

}  // namespace ui
