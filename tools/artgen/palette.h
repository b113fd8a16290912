#pragma once
#include "tools/artgen/image.h"

// The colours every picture shares, so the pieces that are drawn over the skin at run time
// (title, glyphs, indicator) match what lies beneath them.
namespace artgen::palette {

// Charcoal panel.
constexpr Rgb kPanelTop{58, 61, 66};
constexpr Rgb kPanelBottom{34, 36, 40};
constexpr Rgb kPanelFlat{44, 46, 50};
constexpr Rgb kBevelLight{118, 123, 130};
constexpr Rgb kBevelMid{80, 84, 90};
constexpr Rgb kBevelDark{10, 11, 12};
constexpr Rgb kBevelShade{22, 23, 26};

// Liquid-crystal display.
constexpr Rgb kLcd{186, 202, 158};
constexpr Rgb kLcdShade{160, 176, 134};  // inner shadow along the top and left
constexpr Rgb kLcdInk{52, 68, 50};       // dark grey-green segments
constexpr Rgb kLcdRim{14, 16, 14};

// Title strip.
constexpr Rgb kStrip{24, 26, 29};
constexpr Rgb kTitleBrightTop{236, 244, 255};
constexpr Rgb kTitleBrightBottom{140, 188, 232};
constexpr Rgb kTitleGlow{40, 72, 104};
constexpr Rgb kTitleDim{96, 100, 106};
constexpr Rgb kTitleShadow{4, 4, 6};

// Title buttons.
constexpr Rgb kButtonFace{72, 76, 82};
constexpr Rgb kButtonFacePressed{48, 51, 56};
constexpr Rgb kButtonLight{150, 156, 164};
constexpr Rgb kButtonDark{8, 8, 10};
constexpr Rgb kButtonMark{226, 230, 236};
constexpr Rgb kButtonMarkPressed{180, 186, 194};
constexpr Rgb kCloseMark{255, 170, 150};
constexpr Rgb kCloseMarkPressed{214, 130, 112};

}  // namespace artgen::palette
