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

}  // namespace gifcodec
