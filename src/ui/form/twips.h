#pragma once

#include <QRect>

// Sizes in this program are given in twips (1/1440 inch); 15 twips are one
// pixel at 96 dpi. Conversion goes through the screen's logical DPI.
namespace twips {

double dpi();
int toPixels(int twips);
QRect rect(int left, int top, int width, int height);

} // namespace twips

namespace twips {
// Controls on a tab page are placed in the tab control's own coordinates, which
// include the row of tabs; the page itself begins below it.
inline constexpr int kTabStrip = 435;
inline int pageTop(int top) {
    return top - kTabStrip;
}
} // namespace twips
