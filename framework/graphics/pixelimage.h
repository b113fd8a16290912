#pragma once
// Pictures as their pixels lie in memory: the form the build gives the windows' pictures, so
// that loading a window copies rows instead of decoding a file. Form data (a 32-bit count,
// then a BMP file image) may hold a pixel image in place of the file image; the bitmap, icon
// and image-list readers of form data take either.
#include <cstdint>
#include <span>
#include <vector>

#include "framework/graphics/bitmapfile.h"

namespace fw {

// "PXIM", the image's width, height, layout, the bit count of the file it came from, its
// colour table, then its rows top-down as the toolkit keeps them.
std::vector<uint8_t> WritePixelImage(const DibImage& dib);
bool IsPixelImage(ByteView data);
// Throws EInvalidGraphic for anything WritePixelImage did not write, never reads past the
// data, and refuses palette indices the colour table does not have. A 32-bit image read
// from lifelong data (core/lifelong.h) refers to its rows there.
DibImage ReadPixelImage(ByteView data);
// A pixel image or a BMP file image, as it comes.
DibImage ReadAnyImage(ByteView data);

// Form data with its BMP file image replaced by the same picture's pixel image: a counted file
// image, or one behind a picture's class name (TPicture's form data). Anything else comes back
// unchanged.
std::vector<uint8_t> PixelFormData(const std::vector<uint8_t>& formData);

}  // namespace fw
