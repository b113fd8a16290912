#pragma once
// Parses GIF87a/GIF89a bytes into a picture that has just been reset. Frames keep their
// encoded data as read; nothing is decoded here.
#include <cstdint>
#include <span>

namespace gifcodec {

class TGIFImageCore;

void ReadGif(TGIFImageCore& image, std::span<const std::uint8_t> bytes);

}  // namespace gifcodec
