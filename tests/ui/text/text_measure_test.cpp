// Twips and text measurement on the screen: Qt Gui on the offscreen
// platform, no widget, so the sanitizer build runs them too.
#include "ui/qt_text_measurer.h"

#include <cmath>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace ui
