#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/pixelfont.h"

namespace artgen {

using namespace palette;

Image MakeTrayIcon() {
    constexpr int kSize = 32, kTop = 2, kHeight = 28;
    Image icon(kSize, kSize, {0, 0, 0});
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) icon.SetAlpha(x, y, 0);
    }
    icon.VerticalGradient(0, kTop, kSize, kHeight, kPanelTop, kPanelBottom);
    icon.Frame(0, kTop, kSize, kHeight, kBevelLight, kBevelDark);
    for (int y = kTop; y < kTop + kHeight; ++y) {
        for (int x = 0; x < kSize; ++x) icon.SetAlpha(x, y, 255);
    }
    // Rounded corners.
    for (auto [x, y] : {std::pair{0, kTop},
                        {kSize - 1, kTop},
                        {0, kTop + kHeight - 1},
                        {kSize - 1, kTop + kHeight - 1}}) {
        icon.SetAlpha(x, y, 0);
    }

    const int lx = 3, ly = kTop + 3, lw = kSize - 6, lh = kHeight - 6;
    icon.Frame(lx - 1, ly - 1, lw + 2, lh + 2, kLcdRim, kLcdRim);
    icon.Fill(lx, ly, lw, lh, kLcd);
    icon.HLine(lx, ly, lw, kLcdShade);
    icon.VLine(lx, ly, lh, kLcdShade);

    constexpr int kScale = 2;
    const int tw = SmallTextWidth("IP", kScale);
    DrawSmallText(icon, lx + (lw - tw + 1) / 2, ly + (lh - kSmallTextHeight * kScale + 1) / 2, "IP",
                  kScale, kLcdInk);
    return icon;
}

}  // namespace artgen
