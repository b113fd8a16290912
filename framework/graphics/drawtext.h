#pragma once
// Formatted text in a rectangle, as the classic DrawText call does it: alignment, line
// breaks at words, tab stops, access-key underlines, and measuring without drawing.
#include <functional>
#include <string>
#include <vector>

#include "framework/graphics/canvas.h"

namespace fw {

inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_EXPANDTABS = 0x40;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;

// Breaks a line between words so that each piece fits the width as widthOf measures it;
// a word wider than the width stands alone on its line.
void WrapWords(const std::string& line, int width,
               const std::function<int(const std::string&)>& widthOf,
               std::vector<std::string>& out);

// Draws text with the canvas's font (its colour is the text colour) inside rect, clipped
// to it unless DT_NOCLIP. Unless DT_NOPREFIX, "&x" underlines x and "&&" shows one "&".
// With DT_CALCRECT nothing is drawn: rect's right and bottom become the extent of the
// text (left and top stay). Returns the height of the text, 0 for empty text.
int DrawText(TCanvas& canvas, const std::string& text, TRect& rect, unsigned flags);

}  // namespace fw
