#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"

namespace artgen {

Image MakeIndicatorFrame(int frame) {
    // Bars shown per frame; the top bars go dark first and come back last.
    static constexpr int kShown[kIndicatorFrames] = {4, 3, 2, 1, 2, 3};
    static constexpr int kLength[4] = {9, 7, 5, 3};
    Image f(kIndicatorWidth, kIndicatorHeight, palette::kLcd);
    const int shown = kShown[((frame % kIndicatorFrames) + kIndicatorFrames) % kIndicatorFrames];
    for (int bar = 4 - shown; bar < 4; ++bar) {
        f.Fill(kIndicatorWidth - kLength[bar], bar * 4, kLength[bar], 3, palette::kLcdInk);
    }
    return f;
}

}  // namespace artgen
