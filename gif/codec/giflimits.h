#pragma once
// Bounds that keep damaged or hostile pictures from taking unbounded memory or time.
#include <cstdint>

namespace gifcodec {

// Largest frame or logical screen that is decoded or composed (pixels).
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;
// Most frames one picture may hold.
inline constexpr int kMaxFrames = 16384;

}  // namespace gifcodec
