#include "framework/graphics/bitmapfile.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "framework/graphics/graphicsbase.h"
#include "platform/bytes.h"

namespace fw {

namespace {
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr int64_t kMaxSide = 32768;
constexpr int64_t kMaxPixels = int64_t{1} << 26;

using platform::GetLE16;
using platform::GetLE32;

[[noreturn]] void Bad() { throw EInvalidGraphic(strings::kInvalidGraphic); }

int64_t Stride(int64_t width, int bits) { return ((width * bits + 31) / 32) * 4; }

// Reduces any image to an indexed one with at most maxColors entries: its own colours when
// they fit, otherwise Qt's palette reduction, then nearest-colour mapping.
}  // namespace

QImage ReduceToPalette(const QImage& src, int maxColors) {
    if ((src.format() == QImage::Format_Indexed8 || src.format() == QImage::Format_Mono ||
         src.format() == QImage::Format_MonoLSB) &&
        src.colorCount() <= maxColors) {
        return src.convertToFormat(QImage::Format_Indexed8);
    }
    QImage rgb = src.convertToFormat(QImage::Format_RGB32);
    std::set<QRgb> seen;
    for (int y = 0; y < rgb.height() && static_cast<int>(seen.size()) <= maxColors; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            seen.insert(line[x] | 0xFF000000u);
            if (static_cast<int>(seen.size()) > maxColors) break;
        }
    }
    QList<QRgb> table;
    if (static_cast<int>(seen.size()) <= maxColors) {
        for (QRgb c : seen) table.push_back(c);
    } else {
        QImage reduced = rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        table = reduced.colorTable();
        if (table.size() > maxColors) table.resize(maxColors);
    }
    if (table.isEmpty()) table.push_back(qRgb(0, 0, 0));
    return rgb.convertToFormat(QImage::Format_Indexed8, table,
                               Qt::ThresholdDither | Qt::AvoidDither);
}

namespace {

// What the headers of a bitmap file say, checked against the file's size.
struct DibHeader {
    int64_t width = 0, height = 0;
    int bits = 0;
    uint32_t clrUsed = 0;
    size_t paletteEntry = 4;  // 3 bytes in the old 12-byte header's palette
    size_t tableAt = 0;       // where the palette starts
    bool topDown = false;
};

// Only the standard layout of 32-bit bit fields (red, green, blue in bytes 2, 1, 0) is
// accepted; the masks follow a 40-byte header or sit inside a longer one.
void CheckBitFields(const uint8_t* d, size_t size, uint32_t headerSize, DibHeader& hd) {
    const uint8_t* masks = d + 14 + 40;
    if (headerSize == 40) {
        if (hd.tableAt + 12 > size) Bad();
        masks = d + hd.tableAt;
        hd.tableAt += 12;
    }
    if (GetLE32(masks) != 0x00FF0000u || GetLE32(masks + 4) != 0x0000FF00u ||
        GetLE32(masks + 8) != 0x000000FFu)
        Bad();
}

DibHeader ReadDibHeader(const uint8_t* d, size_t size) {
    if (size < 14 + 12 || d[0] != 'B' || d[1] != 'M') Bad();
    const uint32_t headerSize = GetLE32(d + 14);
    if (headerSize < 12 || 14 + static_cast<uint64_t>(headerSize) > size) Bad();
    DibHeader hd;
    uint32_t compression = kBiRgb;
    const uint8_t* h = d + 14;
    if (headerSize == 12) {
        hd.width = GetLE16(h + 4);
        hd.height = GetLE16(h + 6);
        hd.bits = GetLE16(h + 10);
        hd.paletteEntry = 3;
    } else {
        if (headerSize < 40) Bad();
        hd.width = static_cast<int32_t>(GetLE32(h + 4));
        hd.height = static_cast<int32_t>(GetLE32(h + 8));
        hd.bits = GetLE16(h + 14);
        compression = GetLE32(h + 16);
        hd.clrUsed = GetLE32(h + 32);
        if (hd.height < 0) {
            hd.topDown = true;
            hd.height = -hd.height;
        }
    }
    if (hd.width <= 0 || hd.height <= 0 || hd.width > kMaxSide || hd.height > kMaxSide ||
        hd.width * hd.height > kMaxPixels)
        Bad();
    const int bits = hd.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) Bad();
    hd.tableAt = 14 + headerSize;
    if (compression == kBiBitfields && bits == 32)
        CheckBitFields(d, size, headerSize, hd);
    else if (compression != kBiRgb)
        Bad();
    return hd;
}

// The palette of a 1-, 4- or 8-bit file; a short one is padded with black so that every
// index has a colour. Leaves tableAt just past it.
QList<QRgb> ReadDibPalette(const uint8_t* d, size_t size, DibHeader& hd) {
    QList<QRgb> table;
    const uint32_t full = 1u << hd.bits;
    uint32_t count = hd.clrUsed == 0 || hd.clrUsed > full ? full : hd.clrUsed;
    if (hd.tableAt + static_cast<uint64_t>(count) * hd.paletteEntry > size) Bad();
    for (uint32_t i = 0; i < full; ++i) {
        if (i < count) {
            const uint8_t* e = d + hd.tableAt + i * hd.paletteEntry;
            table.push_back(qRgb(e[2], e[1], e[0]));
        } else {
            table.push_back(qRgb(0, 0, 0));
        }
    }
    hd.tableAt += count * hd.paletteEntry;
    return table;
}

// One stored row into one scan line; returns whether a 32-bit row had any alpha.
bool ConvertDibRow(const uint8_t* src, uint8_t* dst, int w, int bits) {
    bool anyAlpha = false;
    switch (bits) {
        case 1:
            std::memcpy(dst, src, static_cast<size_t>((w + 7) / 8));
            break;
        case 4:
            for (int x = 0; x < w; ++x) dst[x] = (x & 1) ? (src[x / 2] & 0x0F) : (src[x / 2] >> 4);
            break;
        case 8:
            std::memcpy(dst, src, static_cast<size_t>(w));
            break;
        case 24: {
            QRgb* line = reinterpret_cast<QRgb*>(dst);
            for (int x = 0; x < w; ++x) line[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            break;
        }
        default: {
            QRgb* line = reinterpret_cast<QRgb*>(dst);
            for (int x = 0; x < w; ++x) {
                line[x] = qRgba(src[4 * x + 2], src[4 * x + 1], src[4 * x], src[4 * x + 3]);
                anyAlpha = anyAlpha || src[4 * x + 3] != 0;
            }
            break;
        }
    }
    return anyAlpha;
}

}  // namespace

DibImage ReadDibFile(const std::vector<uint8_t>& data) {
    const size_t size = data.size();
    const uint8_t* d = data.data();
    DibHeader hd = ReadDibHeader(d, size);
    const int bits = hd.bits;
    QList<QRgb> table;
    if (bits <= 8) table = ReadDibPalette(d, size, hd);

    const int64_t stride = Stride(hd.width, bits);
    uint64_t pixelsAt = GetLE32(d + 10);
    // Some writers leave the offset at 0; the pixels then follow the palette.
    if (pixelsAt == 0) pixelsAt = hd.tableAt;
    if (pixelsAt < 14 + static_cast<uint64_t>(GetLE32(d + 14)) ||
        pixelsAt + static_cast<uint64_t>(stride * hd.height) > size)
        Bad();

    const PixelLayout layout{static_cast<int>(hd.width), static_cast<int>(hd.height), bits,
                             static_cast<size_t>(stride), !hd.topDown};
    return ImageFromRows(layout, d + pixelsAt, std::move(table));
}

DibImage ImageFromRows(const PixelLayout& layout, const uint8_t* pixels, QList<QRgb> table) {
    const int bits = layout.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) Bad();
    const int w = layout.width, ht = layout.height;
    if (w <= 0 || ht <= 0 || w > kMaxSide || ht > kMaxSide ||
        static_cast<int64_t>(w) * ht > kMaxPixels ||
        layout.stride < static_cast<size_t>(Stride(w, bits)))
        Bad();
    DibImage out;
    out.bitCount = bits;
    QImage::Format fmt = bits == 1    ? QImage::Format_Mono
                         : bits <= 8  ? QImage::Format_Indexed8
                         : bits == 24 ? QImage::Format_RGB32
                                      : QImage::Format_ARGB32;
    QImage img(w, ht, fmt);
    if (img.isNull()) Bad();
    if (bits <= 8) {
        table.resize(1 << bits, qRgb(0, 0, 0));
        img.setColorTable(table);
    }
    bool anyAlpha = false;
    for (int y = 0; y < ht; ++y) {
        const size_t row = static_cast<size_t>(layout.bottomUp ? ht - 1 - y : y);
        anyAlpha |= ConvertDibRow(pixels + layout.stride * row, img.scanLine(y), w, bits);
    }
    // A 32-bit image whose alpha bytes are all zero was written without alpha: opaque.
    if (bits == 32 && !anyAlpha) {
        for (int y = 0; y < ht; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < w; ++x) line[x] |= 0xFF000000u;
        }
    }
    out.image = std::move(img);
    return out;
}

QList<QRgb> ImageToRows(const QImage& image, const PixelLayout& layout, uint8_t* pixels) {
    const int bitCount = layout.bitCount;
    if (image.isNull()) Bad();
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) Bad();
    const int w = image.width(), h = image.height();
    if (layout.width != w || layout.height != h ||
        layout.stride < static_cast<size_t>(Stride(w, bitCount)))
        Bad();
    QImage src;
    QList<QRgb> table;
    if (bitCount <= 8) {
        src = ReduceToPalette(image, 1 << bitCount);
        table = src.colorTable();
        table.resize(1 << bitCount, qRgb(0, 0, 0));
    } else {
        src = image.convertToFormat(QImage::Format_ARGB32);
    }
    for (int y = 0; y < h; ++y) {
        uint8_t* dst =
            pixels + layout.stride * static_cast<size_t>(layout.bottomUp ? h - 1 - y : y);
        std::memset(dst, 0, layout.stride);
        const uint8_t* line = src.constScanLine(y);
        switch (bitCount) {
            case 1:
                for (int x = 0; x < w; ++x)
                    if (line[x] & 1) dst[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                break;
            case 4:
                for (int x = 0; x < w; ++x)
                    dst[x / 2] |= static_cast<uint8_t>((line[x] & 0x0F) << ((x & 1) ? 0 : 4));
                break;
            case 8:
                std::memcpy(dst, line, static_cast<size_t>(w));
                break;
            case 24: {
                const QRgb* px = reinterpret_cast<const QRgb*>(line);
                for (int x = 0; x < w; ++x) {
                    dst[3 * x] = static_cast<uint8_t>(qBlue(px[x]));
                    dst[3 * x + 1] = static_cast<uint8_t>(qGreen(px[x]));
                    dst[3 * x + 2] = static_cast<uint8_t>(qRed(px[x]));
                }
                break;
            }
            default: {
                const QRgb* px = reinterpret_cast<const QRgb*>(line);
                for (int x = 0; x < w; ++x) {
                    dst[4 * x] = static_cast<uint8_t>(qBlue(px[x]));
                    dst[4 * x + 1] = static_cast<uint8_t>(qGreen(px[x]));
                    dst[4 * x + 2] = static_cast<uint8_t>(qRed(px[x]));
                    dst[4 * x + 3] = static_cast<uint8_t>(qAlpha(px[x]));
                }
                break;
            }
        }
    }
    return table;
}

std::vector<uint8_t> WriteDibFile(const QImage& image, int bitCount) {
    if (image.isNull()) Bad();
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) Bad();
    const int w = image.width(), h = image.height();
    const uint32_t paletteBytes = bitCount <= 8 ? 4u << bitCount : 0;
    const uint32_t stride = static_cast<uint32_t>(Stride(w, bitCount));
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(h);
    const uint32_t offBits = 14 + 40 + paletteBytes;

    std::vector<uint8_t> out(offBits + pixelBytes, 0);
    const QList<QRgb> table =
        ImageToRows(image, {w, h, bitCount, stride, true}, out.data() + offBits);
    platform::WriteBmpHeaders(out.data(), {static_cast<uint32_t>(w), static_cast<uint32_t>(h),
                                           static_cast<unsigned>(bitCount),
                                           static_cast<uint32_t>(table.size()), pixelBytes});
    uint8_t* entry = out.data() + platform::kBmpHeadersSize;
    for (QRgb c : table) {
        *entry++ = static_cast<uint8_t>(qBlue(c));
        *entry++ = static_cast<uint8_t>(qGreen(c));
        *entry++ = static_cast<uint8_t>(qRed(c));
        *entry++ = 0;
    }
    return out;
}

}  // namespace fw
