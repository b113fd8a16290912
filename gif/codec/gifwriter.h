#pragma once
// Writes a picture as GIF bytes, encoding frames that hold only a bitmap first.
#include <cstdint>
#include <vector>

namespace gifcodec {

class TGIFImageCore;

std::vector<std::uint8_t> WriteGif(TGIFImageCore& image);

}  // namespace gifcodec
