#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"

namespace artgen {

namespace {

using namespace palette;

void DrawMinimiseMark(Image& g, int dx, int dy, Rgb c) { g.Fill(2 + dx, 4 + dy, 5, 2, c); }

void DrawCloseMark(Image& g, int dx, int dy, Rgb c) {
    for (int i = 0; i < 5; ++i) {
        g.Set(2 + i + dx, 1 + i + dy, c);
        g.Set(6 - i + dx, 1 + i + dy, c);
    }
}

// A menu opens downwards from here.
void DrawSystemMark(Image& g, int dx, int dy, Rgb c) {
    g.HLine(2 + dx, 2 + dy, 5, c);
    g.HLine(3 + dx, 3 + dy, 3, c);
    g.Set(4 + dx, 4 + dy, c);
}

}  // namespace

Image MakeGlyph(Glyph which) {
    const bool pressed = which == Glyph::MinimisePressed || which == Glyph::ClosePressed;
    Image g(kGlyphWidth, kGlyphHeight, pressed ? kButtonFacePressed : kButtonFace);
    if (pressed) {
        g.Frame(0, 0, kGlyphWidth, kGlyphHeight, kButtonDark, kBevelMid);
    } else {
        g.Frame(0, 0, kGlyphWidth, kGlyphHeight, kButtonLight, kButtonDark);
    }
    // A pressed button's mark moves down and right with the face.
    const int d = pressed ? 1 : 0;
    switch (which) {
        case Glyph::MinimisePressed:
        case Glyph::MinimiseReleased:
            DrawMinimiseMark(g, d, d, pressed ? kButtonMarkPressed : kButtonMark);
            break;
        case Glyph::ClosePressed:
        case Glyph::CloseReleased:
            DrawCloseMark(g, d, d, pressed ? kCloseMarkPressed : kCloseMark);
            break;
        case Glyph::SystemReleased:
            DrawSystemMark(g, 0, 0, kButtonMark);
            break;
    }
    return g;
}

Image MakeGlyphStrip() {
    Image strip(kGlyphWidth * 5, kGlyphHeight);
    for (int i = 0; i < 5; ++i) strip.Blit(MakeGlyph(static_cast<Glyph>(i)), i * kGlyphWidth, 0);
    return strip;
}

}  // namespace artgen
