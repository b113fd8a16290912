#pragma once
#include "tools/artgen/image.h"

namespace artgen {

enum class Glyph { MinimisePressed, ClosePressed, MinimiseReleased, CloseReleased, SystemReleased };
constexpr int kGlyphWidth = 9, kGlyphHeight = 8;

Image MakeGlyph(Glyph which);
Image MakeGlyphStrip();  // all five side by side, in enum order

constexpr int kTitleWidth = 103, kTitleHeight = 14;
Image MakeTitle(bool bright);

constexpr int kIndicatorWidth = 11, kIndicatorHeight = 15, kIndicatorFrames = 6;
Image MakeIndicatorFrame(int frame);

constexpr int kSkinWidth = 165, kSkinHeight = 51;
Image MakeFullSkin();
Image MakeCompactSkin();

Image MakeTrayIcon();
// The program's icon for the desktop's icon theme, size x size pixels.
Image MakeAppIcon(int size);
constexpr int kAppIconSizes[] = {16, 32, 48, 64};

// The menus' 17 x 17 check and radio marks on a silver and white checkerboard.
constexpr int kMarkSize = 17;
Image MakeCheckMark();
Image MakeRadioMark();
constexpr int kAboutTileSize = 64;
Image MakeAboutTile();  // 25 colours

constexpr int kCursorSize = 32;
// A two-colour cursor: the AND mask (white: transparent) above the image.
Image MakeHandCursor();
// The log window's skin: title, the two command labels' wells, the close glyph and the
// frame around the text area, in the main skin's look.
constexpr int kLogSkinWidth = 142, kLogSkinHeight = 136;
Image MakeLogSkin();

}  // namespace artgen
