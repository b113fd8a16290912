#pragma once
// Reduction of 24- and 32-bit bitmaps to 8 bits per pixel with a 256-entry palette, by
// grey levels or by a histogram of the most frequent colours.
#include "gif/codec/dib.h"

namespace gifcodec {

// "Bitmap image is not valid" for a bitmap without pixels; other depths abort with
// "Function not yet implemented".
TDib ReduceToGrayscale(const TDib& source);
TDib ReduceByHistogram(const TDib& source);

}  // namespace gifcodec
