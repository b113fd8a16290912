#pragma once
#include <string>

#include "tools/artgen/image.h"

namespace artgen {

// Uncompressed bottom-up BMP with a BITMAPINFOHEADER, 24 bits per pixel.
std::string EncodeBmp24(const Image& image);
// 4 bits per pixel over the classic 16-colour palette; throws for any other colour.
std::string EncodeBmp4(const Image& image);
// The same with 32 bits per pixel, BGRA with the image's alpha (BI_RGB).
std::string EncodeBmp32(const Image& image);
// With a colour table of the colours used, in order of first use (1, 4 or 8 bits per
// pixel); throws std::runtime_error when they do not fit.
std::string EncodeBmpIndexed(const Image& image, int bits);
// PNG, 8-bit RGBA, with stored (uncompressed) deflate blocks: small pictures need no
// compressor, and any PNG reader takes them.
std::string EncodePng(const Image& image);
// Binary PPM (P6), alpha dropped.
std::string EncodePpm(const Image& image);

// Throws std::runtime_error when the file cannot be written.
void SaveFile(const std::string& path, const std::string& bytes);

}  // namespace artgen
