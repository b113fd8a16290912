#pragma once
#include <string_view>

#include "tools/artgen/image.h"

namespace artgen {

// A bold pixel face for the title: capitals and figures 9 rows high, lower case 7 rows
// (sitting on the same base line), strokes two pixels wide.
int TitleTextWidth(std::string_view text);
constexpr int kTitleTextHeight = 9;
// Draws text with its top-left at (x, y); colourAt(row) gives the colour of each glyph row,
// so the letters can carry a gradient.
template <typename ColourAt>
void DrawTitleText(Image& image, int x, int y, std::string_view text, ColourAt colourAt);

// A plain face 7 rows high, scaled by `scale`, for tiny labels (capitals only).
constexpr int kSmallTextHeight = 7;
int SmallTextWidth(std::string_view text, int scale);
void DrawSmallText(Image& image, int x, int y, std::string_view text, int scale, Rgb colour);

namespace detail {
// Rows of a title glyph, top first, '#' for ink; all rows of a glyph have the same width.
struct Glyph {
    const char* const* rows;
    int height;
};
Glyph TitleGlyph(char c);
}  // namespace detail

template <typename ColourAt>
void DrawTitleText(Image& image, int x, int y, std::string_view text, ColourAt colourAt) {
    for (char c : text) {
        detail::Glyph g = detail::TitleGlyph(c);
        int top = y + kTitleTextHeight - g.height;  // glyphs share the base line
        if (c == '\'') top = y;                     // apostrophe hangs from the cap line
        int w = 0;
        for (int r = 0; r < g.height; ++r) {
            std::string_view row = g.rows[r];
            w = static_cast<int>(row.size());
            for (int i = 0; i < w; ++i) {
                if (row[static_cast<std::size_t>(i)] == '#') {
                    image.Set(x + i, top + r, colourAt(top + r - y));
                }
            }
        }
        x += w + 1;
    }
}

}  // namespace artgen
