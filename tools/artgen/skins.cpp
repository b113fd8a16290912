#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"

namespace artgen {

namespace {

using namespace palette;

// A bevelled charcoal panel over the given rows of the visible 164 columns.
void DrawPanel(Image& s, int top, int height) {
    const int w = kSkinWidth - 1;
    s.VerticalGradient(0, top, w, height, kPanelTop, kPanelBottom);
    s.Frame(0, top, w, height, kBevelLight, kBevelDark);
    s.Frame(1, top + 1, w - 2, height - 2, kBevelMid, kBevelShade);
}

// The pale green display with its interior at (x, y, w, h): a thin dark rim inside a
// sunken edge, and a faint shadow along the top and left of the glass.
void DrawLcd(Image& s, int x, int y, int w, int h) {
    s.Frame(x - 2, y - 2, w + 4, h + 4, kBevelShade, kBevelLight);
    s.Frame(x - 1, y - 1, w + 2, h + 2, kLcdRim, kLcdRim);
    s.Fill(x, y, w, h, kLcd);
    s.HLine(x, y, w, kLcdShade);
    s.VLine(x, y, h, kLcdShade);
}

// Speaker-like grooves: a dark line with a light one under it.
void DrawGrille(Image& s, int x, int y, int w, int rows) {
    for (int i = 0; i < rows; ++i) {
        s.HLine(x, y + 3 * i, w, kBevelDark);
        s.HLine(x, y + 3 * i + 1, w, kBevelMid);
    }
}

// The three title glyphs with the dark well behind minimise and close; top is the panel's
// first row.
void DrawGlyphs(Image& s, int top) {
    s.Fill(146, top, 18, 9, kBevelDark);
    s.Blit(MakeGlyph(Glyph::SystemReleased), 2, top + 2);
    s.Blit(MakeGlyph(Glyph::MinimiseReleased), 147, top);
    s.Blit(MakeGlyph(Glyph::CloseReleased), 155, top);
}

}  // namespace

Image MakeFullSkin() {
    Image s(kSkinWidth, kSkinHeight, kPanelFlat);
    DrawPanel(s, 0, kSkinHeight);
    s.Blit(MakeTitle(true), 18, 3);
    DrawGlyphs(s, 0);
    // The texts sit at (27, 23), (27, 32) and (78, 31), the indicator at (142, 23).
    DrawLcd(s, 24, 20, 133, 27);
    DrawGrille(s, 6, 23, 12, 8);
    return s;
}

Image MakeCompactSkin() {
    // The 51-row picture is centred in the 24-row window, which shows rows 13..36.
    constexpr int kTop = 13;
    Image s(kSkinWidth, kSkinHeight, kPanelFlat);
    DrawPanel(s, kTop, 24);
    DrawGlyphs(s, kTop);
    // A strip for the IP text, which sits at (22, 7) of the window.
    DrawLcd(s, 19, kTop + 5, 125, 14);
    DrawGrille(s, 4, kTop + 12, 11, 3);
    DrawGrille(s, 149, kTop + 12, 11, 3);
    return s;
}

}  // namespace artgen
