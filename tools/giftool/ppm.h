#pragma once
// Binary PPM (P6) pictures as 24-bit bitmaps.
#include <string>

#include "gif/codec/compose.h"
#include "gif/codec/dib.h"

namespace giftool {

// Any binary PPM (maxval 1 to 65535), scaled to 8 bits per sample; throws std::runtime_error
// naming the file when it is not one.
gifcodec::TDib ReadPpm(const std::string& path);
void WritePpm(const std::string& path, const gifcodec::TComposedFrame& frame);

}  // namespace giftool
