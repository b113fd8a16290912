#include <initializer_list>
#include <utility>

#include "tools/artgen/artwork.h"

namespace artgen {

namespace {
constexpr Rgb kSilver{192, 192, 192};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

using Pixels = std::initializer_list<std::pair<int, int>>;

Image Checkerboard() {
    Image m(kMarkSize, kMarkSize);
    for (int y = 0; y < kMarkSize; ++y)
        for (int x = 0; x < kMarkSize; ++x) m.Set(x, y, (x + y) % 2 == 0 ? kSilver : kWhite);
    return m;
}

Image Mark(Pixels black, Pixels white) {
    Image m = Checkerboard();
    for (auto [x, y] : black) m.Set(x, y, kBlack);
    for (auto [x, y] : white) m.Set(x, y, kWhite);
    return m;
}
}  // namespace

Image MakeCheckMark() {
    return Mark({{11, 6},
                 {10, 7},
                 {11, 7},
                 {5, 8},
                 {9, 8},
                 {10, 8},
                 {5, 9},
                 {6, 9},
                 {8, 9},
                 {9, 9},
                 {6, 10},
                 {7, 10},
                 {8, 10},
                 {7, 11}},
                {{12, 6}, {4, 8}});
}

Image MakeRadioMark() {
    return Mark(
        {{7, 6}, {8, 6},  {9, 6}, {6, 7}, {7, 7}, {8, 7}, {9, 7},  {10, 7}, {6, 8},  {7, 8}, {8, 8},
         {9, 8}, {10, 8}, {6, 9}, {7, 9}, {8, 9}, {9, 9}, {10, 9}, {7, 10}, {8, 10}, {9, 10}},
        {{11, 9}, {10, 10}, {7, 11}, {9, 11}});
}

}  // namespace artgen
