#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/pixelfont.h"

namespace artgen {

using namespace palette;

Image MakeTitle(bool bright) {
    Image t(kTitleWidth, kTitleHeight, kStrip);
    // A recessed strip: dark above and left, a faint highlight below and right.
    t.Frame(0, 0, kTitleWidth, kTitleHeight, kBevelDark, kBevelMid);

    const char* text = "Rezazo '98";
    const int w = TitleTextWidth(text);
    const int x = (kTitleWidth - w) / 2;
    const int y = (kTitleHeight - kTitleTextHeight) / 2;

    // Engraved rules either side of the name.
    const Rgb rule = bright ? kTitleGlow : Mix(kStrip, kTitleDim, 0.35);
    t.HLine(4, 6, x - 8, rule);
    t.HLine(x + w + 5, 6, kTitleWidth - (x + w + 5) - 4, rule);
    t.HLine(4, 7, x - 8, kBevelDark);
    t.HLine(x + w + 5, 7, kTitleWidth - (x + w + 5) - 4, kBevelDark);

    DrawTitleText(t, x + 1, y + 1, text, [](int) { return kTitleShadow; });
    if (bright) {
        DrawTitleText(t, x, y, text, [](int row) {
            return Mix(kTitleBrightTop, kTitleBrightBottom, row / (kTitleTextHeight - 1.0));
        });
    } else {
        DrawTitleText(t, x, y, text, [](int) { return kTitleDim; });
    }
    return t;
}

}  // namespace artgen
