#include <algorithm>
#include <utility>

#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/pixelfont.h"

namespace artgen {

using namespace palette;

// One design at every size: a unit of size / 16 pixels sets the margins and the letters'
// scale, so the 32-pixel tray icon and the desktop icons are the same picture.
Image MakeAppIcon(int size) {
    const int unit = std::max(1, size / 16);
    const int top = unit, height = size - 2 * unit;
    Image icon(size, size, {0, 0, 0});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) icon.SetAlpha(x, y, 0);
    }
    icon.VerticalGradient(0, top, size, height, kPanelTop, kPanelBottom);
    icon.Frame(0, top, size, height, kBevelLight, kBevelDark);
    for (int y = top; y < top + height; ++y) {
        for (int x = 0; x < size; ++x) icon.SetAlpha(x, y, 255);
    }
    // Rounded corners.
    for (auto [x, y] : {std::pair{0, top},
                        {size - 1, top},
                        {0, top + height - 1},
                        {size - 1, top + height - 1}}) {
        icon.SetAlpha(x, y, 0);
    }

    const int inset = std::max(2, 3 * unit / 2);
    const int lx = inset, ly = top + inset, lw = size - 2 * inset, lh = height - 2 * inset;
    icon.Frame(lx - 1, ly - 1, lw + 2, lh + 2, kLcdRim, kLcdRim);
    icon.Fill(lx, ly, lw, lh, kLcd);
    icon.HLine(lx, ly, lw, kLcdShade);
    icon.VLine(lx, ly, lh, kLcdShade);

    const int scale = unit;
    const int tw = SmallTextWidth("IP", scale);
    DrawSmallText(icon, lx + (lw - tw + 1) / 2, ly + (lh - kSmallTextHeight * scale + 1) / 2, "IP",
                  scale, kLcdInk);
    return icon;
}

Image MakeTrayIcon() { return MakeAppIcon(32); }

}  // namespace artgen
