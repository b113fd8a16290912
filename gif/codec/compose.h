#pragma once
// Composes frame n of an animation on its logical screen the way the animator shows it:
// from the last full-screen frame that restores the background, each earlier frame drawn,
// cleared or skipped by its disposal method, then frame n on top.
#include <cstdint>
#include <vector>

#include "gif/codec/colortable.h"

namespace gifcodec {

class TGIFImageCore;

struct TComposedFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;   // top-down rows of red, green, blue
    std::vector<std::uint8_t> mask;  // 1 where the key colour lets the background through
    TColor key = clNone;
};

// windowColor stands for the window background (clWindow) used when nothing else applies.
TComposedFrame ComposeFrame(TGIFImageCore& image, int n, TColor windowColor = 0xFFFFFF);

}  // namespace gifcodec
