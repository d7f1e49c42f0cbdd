// Twips (1/1440 inch) to pixels and back, from the screen's logical DPI.
//
// The board is laid out in twips; a widget needs pixels. Both directions
// round to the nearest whole unit. Without a screen (no application yet) the
// conversion assumes 96 DPI, the common desktop setting.
#pragma once

#include <cstdint>

#include <QRect>

#include "ui/geometry.h"

namespace ui::twips {

inline constexpr int32_t kPerInch = 1440;

double dpiX();
double dpiY();
int toPixelsX(int64_t twips);
int toPixelsY(int64_t twips);
int32_t fromPixelsX(int pixels);
int32_t fromPixelsY(int pixels);
QRect toPixels(const TwipsRect& r);

}  // namespace ui::twips
