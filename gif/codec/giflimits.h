#pragma once
// Bounds that keep damaged or hostile pictures from taking unbounded memory or time.
#include <cstdint>

namespace gifcodec {

// Largest frame or logical screen that is decoded or composed (pixels).
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;
// Largest sum of the frames' pixels that one picture may hold once every frame is decoded:
// about what one 16384 x 16384 picture needs.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 28;
// Most frames one picture may hold.
inline constexpr int kMaxFrames = 16384;
// Bytes per logical-screen pixel of a composed frame (red, green, blue and the mask).
inline constexpr std::int64_t kCanvasBytesPerPixel = 4;
// All that one file can make us hold, in bytes: its decoded frames, the canvas they are
// composed on and the extension blocks kept with them (with their bookkeeping).
inline constexpr std::int64_t kMaxPictureBytes =
    kMaxPicturePixels + kCanvasBytesPerPixel * kMaxPixels;

}  // namespace gifcodec
