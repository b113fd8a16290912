#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/pixelfont.h"

namespace artgen {

using namespace palette;

// The skin is drawn one pixel in from the window's corner, so a window point (x, y) shows
// skin pixel (x - 1, y - 1): the labels "Add" and "Clear" sit over (75, 2) and (99, 2), the
// close glyph over (130, 1) and the text area over (9, 18, 129, 111).
Image MakeLogSkin() {
    constexpr int w = kLogSkinWidth, h = kLogSkinHeight;
    Image s(w, h, kPanelFlat);
    s.VerticalGradient(0, 0, w, h, kPanelTop, kPanelBottom);
    s.Frame(0, 0, w, h, kBevelLight, kBevelDark);
    s.Frame(1, 1, w - 2, h - 2, kBevelMid, kBevelShade);

    // Title: a recessed strip with the name in the main title's bright lettering.
    constexpr int tx = 3, ty = 2, tw = 68, th = 13;
    s.Fill(tx, ty, tw, th, kStrip);
    s.Frame(tx, ty, tw, th, kBevelDark, kBevelMid);
    const char* text = "IP LOG";
    const int x = tx + (tw - TitleTextWidth(text)) / 2;
    const int y = ty + (th - kTitleTextHeight) / 2;
    DrawTitleText(s, x + 1, y + 1, text, [](int) { return kTitleShadow; });
    DrawTitleText(s, x, y, text, [](int row) {
        return Mix(kTitleBrightTop, kTitleBrightBottom, row / (kTitleTextHeight - 1.0));
    });

    // Dark wells behind the silver command labels and the close glyph.
    for (auto [lx, lw] : {std::pair{73, 21}, {97, 28}}) {
        s.Fill(lx, 1, lw, 13, kStrip);
        s.Frame(lx, 1, lw, 13, kBevelDark, kBevelMid);
    }
    s.Fill(129, 0, 11, 10, kBevelDark);
    s.Blit(MakeGlyph(Glyph::MinimiseReleased), 130, 1);

    // The text area: a sunken edge and a dark rim around the memo's green.
    constexpr int ax = 9, ay = 18, aw = 129, ah = 111;
    s.Frame(ax - 2, ay - 2, aw + 4, ah + 4, kBevelShade, kBevelLight);
    s.Frame(ax - 1, ay - 1, aw + 2, ah + 2, kLcdRim, kLcdRim);
    s.Fill(ax, ay, aw, ah, Rgb{196, 225, 208});

    // A groove along the foot, as on the main skin.
    s.HLine(8, 132, w - 16, kBevelDark);
    s.HLine(8, 133, w - 16, kBevelMid);
    return s;
}

}  // namespace artgen
