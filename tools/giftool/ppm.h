#pragma once
// Binary PPM (P6) pictures as 24-bit bitmaps.
#include <string>

#include "gif/codec/compose.h"
#include "gif/codec/dib.h"

namespace giftool {

// Throws std::runtime_error naming the file when it is not a P6 picture with maxval <= 255.
gifcodec::TDib ReadPpm(const std::string& path);
void WritePpm(const std::string& path, const gifcodec::TComposedFrame& frame);

}  // namespace giftool
