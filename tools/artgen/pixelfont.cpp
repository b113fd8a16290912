#include "tools/artgen/pixelfont.h"

#include <cstring>

namespace artgen {

namespace detail {

namespace {
const char* const kR[] = {"######.", "##...##", "##...##", "##...##", "######.",
                          "##.##..", "##..##.", "##...##", "##...##"};
const char* const kE[] = {".#####.", "##...##", "##...##", "#######",
                          "##.....", "##...##", ".#####."};
const char* const kZ[] = {"#######", "....##.", "...##..", "..##...",
                          ".##....", "##.....", "#######"};
const char* const kA[] = {".#####.", ".....##", ".######", "##...##",
                          "##...##", "##..###", ".###.##"};
const char* const kO[] = {".#####.", "##...##", "##...##", "##...##",
                          "##...##", "##...##", ".#####."};
const char* const k9[] = {".#####.", "##...##", "##...##", "##...##", ".######",
                          ".....##", ".....##", "##...##", ".#####."};
const char* const k8[] = {".#####.", "##...##", "##...##", "##...##", ".#####.",
                          "##...##", "##...##", "##...##", ".#####."};
const char* const kI[] = {"##", "##", "##", "##", "##", "##", "##", "##", "##"};
const char* const kP[] = {"######.", "##...##", "##...##", "##...##", "######.",
                          "##.....", "##.....", "##.....", "##....."};
const char* const kL[] = {"##.....", "##.....", "##.....", "##.....", "##.....",
                          "##.....", "##.....", "##.....", "#######"};
const char* const kCapO[] = {".#####.", "##...##", "##...##", "##...##", "##...##",
                             "##...##", "##...##", "##...##", ".#####."};
const char* const kG[] = {".#####.", "##...##", "##.....", "##.....", "##..###",
                          "##...##", "##...##", "##...##", ".######"};
const char* const kQuote[] = {"##", "##", ".#", "#."};
const char* const kSpace[] = {"..."};
}  // namespace

Glyph TitleGlyph(char c) {
    switch (c) {
        case 'R':
            return {kR, 9};
        case 'e':
            return {kE, 7};
        case 'z':
            return {kZ, 7};
        case 'a':
            return {kA, 7};
        case 'o':
            return {kO, 7};
        case '9':
            return {k9, 9};
        case '8':
            return {k8, 9};
        case '\'':
            return {kQuote, 4};
        case 'I':
            return {kI, 9};
        case 'P':
            return {kP, 9};
        case 'L':
            return {kL, 9};
        case 'O':
            return {kCapO, 9};
        case 'G':
            return {kG, 9};
        default:
            return {kSpace, 1};
    }
}

}  // namespace detail

int TitleTextWidth(std::string_view text) {
    int w = 0;
    for (char c : text) w += static_cast<int>(std::strlen(detail::TitleGlyph(c).rows[0])) + 1;
    return text.empty() ? 0 : w - 1;
}

namespace {
// 7 rows high, one string per row; capitals only.
const char* const kSmallI[] = {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"};
const char* const kSmallP[] = {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."};
const char* const kSmallSpace[] = {"..", "..", "..", "..", "..", "..", ".."};

const char* const* SmallGlyph(char c) {
    switch (c) {
        case 'I':
            return kSmallI;
        case 'P':
            return kSmallP;
        default:
            return kSmallSpace;
    }
}
}  // namespace

int SmallTextWidth(std::string_view text, int scale) {
    int w = 0;
    for (char c : text) w += (static_cast<int>(std::strlen(SmallGlyph(c)[0])) + 1) * scale;
    return text.empty() ? 0 : w - scale;
}

void DrawSmallText(Image& image, int x, int y, std::string_view text, int scale, Rgb colour) {
    for (char c : text) {
        const char* const* g = SmallGlyph(c);
        const int w = static_cast<int>(std::strlen(g[0]));
        for (int r = 0; r < kSmallTextHeight; ++r) {
            for (int i = 0; i < w; ++i) {
                if (g[r][i] == '#') image.Fill(x + i * scale, y + r * scale, scale, scale, colour);
            }
        }
        x += (w + 1) * scale;
    }
}

}  // namespace artgen
