#pragma once
// The same work done with giflib: encode a case's frames, decode a whole file.
#include <cstdint>
#include <vector>

#include "bench/gifbench/images.h"

namespace gifbench {

std::vector<std::uint8_t> GiflibEncode(const Case& c);

// The pixels decoded and, when kept, each frame's indices, top row first.
struct Decoded {
    std::size_t pixels = 0;
    std::vector<std::vector<std::uint8_t>> frames;
};
Decoded GiflibDecode(const std::vector<std::uint8_t>& gif, bool keep = false);

}  // namespace gifbench
