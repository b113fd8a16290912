#pragma once
// The same work done with giflib: encode paletted frames, decode a whole file.
#include <cstdint>
#include <vector>

#include "gif/codec/dib.h"

namespace gifbench {

std::vector<std::uint8_t> GiflibEncode(const std::vector<gifcodec::TDib>& frames);
// Returns the number of pixels decoded.
std::size_t GiflibDecode(const std::vector<std::uint8_t>& gif);

}  // namespace gifbench
