#pragma once
// Parses GIF87a/GIF89a bytes into a picture that has just been reset. Frames keep their
// encoded data as read; nothing is decoded here.
#include <cstdint>
#include <span>

#include "gif/codec/sharedimage.h"

namespace gifcodec {

class GifPicture;

// Frames keep slices of bytes as their encoded data rather than copies of them.
void ReadGif(GifPicture& image, const TEncodedData::Source& bytes);

}  // namespace gifcodec
