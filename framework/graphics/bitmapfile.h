#pragma once
// Reading and writing device-independent bitmap file images ("BM" + info header + palette
// + rows), kept apart from TBitmap so that the byte layout can be tested on its own.
#include <QImage>
#include <cstdint>
#include <vector>

#include "framework/graphics/bitmap.h"

namespace fw {

struct DibImage {
    QImage image;      // Mono for 1 bit, Indexed8 for 4 and 8 bits, RGB32 for 24, ARGB32 for 32
    int bitCount = 0;  // as stored in the file
};

// Accepts BITMAPINFOHEADER (and its longer successors) and BITMAPCOREHEADER, bottom-up
// and top-down rows, 1, 4, 8, 24 and 32 bits, BI_RGB only (BI_BITFIELDS with the standard
// 32-bit masks too). Throws EInvalidGraphic for anything it cannot read, never reads past
// the data.
DibImage ReadDibFile(const std::vector<uint8_t>& data);

// An image from rows laid out as described; table holds the palette of 1, 4 and 8 bits, padded
// with black to 2^bits entries. A 32-bit picture whose alpha bytes are all zero is opaque.
DibImage ImageFromRows(const PixelLayout& layout, const uint8_t* pixels, QList<QRgb> table);

// Writes the image's rows at the layout's bit count (1, 4, 8, 24 or 32) into rows laid out as
// described, of the image's size, and returns the palette of 1, 4 and 8 bits (2^bits entries).
QList<QRgb> ImageToRows(const QImage& image, const PixelLayout& layout, uint8_t* pixels);

// Writes a bottom-up BI_RGB file image. bitCount 1, 4 or 8 takes the image's colour table
// (an image in another format is reduced to a palette first); 24 drops alpha; 32 keeps it.
std::vector<uint8_t> WriteDibFile(const QImage& image, int bitCount);

// An Indexed8 copy with at most maxColors table entries: the image's own colours when they
// fit, otherwise a reduced palette with every pixel mapped to its nearest entry.
QImage ReduceToPalette(const QImage& image, int maxColors);

}  // namespace fw
