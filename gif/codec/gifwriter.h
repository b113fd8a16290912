#pragma once
// Writes a picture as GIF bytes, encoding frames that hold only a bitmap first.
#include <cstdint>
#include <vector>

namespace gifcodec {

class GifPicture;

std::vector<std::uint8_t> WriteGif(GifPicture& image);

}  // namespace gifcodec
