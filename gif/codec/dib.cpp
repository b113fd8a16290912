#include "gif/codec/dib.h"

#include <cstring>

#include "gif/codec/giferrors.h"
#include "platform/bytes.h"

namespace gifcodec {

namespace {

using platform::GetLE16;
using platform::GetLE32;

[[noreturn]] void RaiseInvalid() {
    throw EInvalidGraphic(strings::kInvalidBitmapId, strings::kInvalidBitmap);
}

}  // namespace

TDib::TDib(int width, int height, int bitCount)
    : width_(width < 0 ? 0 : width),
      height_(height < 0 ? 0 : height),
      bitCount_(bitCount),
      paletteSize_(bitCount <= 8 ? 1 << bitCount : 0) {
    const std::size_t header = kFileHeaderSize + kInfoHeaderSize + 4 * paletteSize_;
    const std::size_t image = Stride() * height_;
    pixelOffset_ = header;
    file_.assign(header + image, 0);
    platform::WriteBmpHeaders(
        file_.data(), {static_cast<std::uint32_t>(width_), static_cast<std::uint32_t>(height_),
                       static_cast<unsigned>(bitCount), static_cast<std::uint32_t>(paletteSize_),
                       static_cast<std::uint32_t>(image)});
}

TDib TDib::FromFileImage(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        RaiseInvalid();
    const std::uint8_t* info = bytes.data() + kFileHeaderSize;
    const std::int32_t width = static_cast<std::int32_t>(GetLE32(info + 4));
    const std::int32_t height = static_cast<std::int32_t>(GetLE32(info + 8));
    const int bits = static_cast<int>(GetLE16(info + 14));
    const std::uint32_t headerSize = GetLE32(info);
    const std::uint32_t used = GetLE32(info + 32);
    if (headerSize < kInfoHeaderSize || GetLE32(info + 16) != 0 || width < 0 || height < 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) ||
        static_cast<std::int64_t>(width) * height > (std::int64_t{1} << 28))
        RaiseInvalid();
    TDib dib(width, height, bits);
    const std::size_t colors = dib.paletteSize_ == 0 ? 0
                               : used == 0 || used > static_cast<std::uint32_t>(dib.paletteSize_)
                                   ? dib.paletteSize_
                                   : used;
    const std::size_t paletteAt = kFileHeaderSize + headerSize;
    const std::size_t pixelsAt = GetLE32(bytes.data() + 10);
    const std::size_t image = dib.Stride() * dib.height_;
    if (paletteAt + 4 * colors > bytes.size() || pixelsAt > bytes.size() ||
        bytes.size() - pixelsAt < image)
        RaiseInvalid();
    std::memcpy(dib.file_.data() + kFileHeaderSize + kInfoHeaderSize, bytes.data() + paletteAt,
                4 * colors);
    if (image != 0) std::memcpy(dib.Pixels(), bytes.data() + pixelsAt, image);
    return dib;
}

TRgbQuad TDib::PaletteEntry(int i) const {
    const std::uint8_t* p = file_.data() + kFileHeaderSize + kInfoHeaderSize + 4 * i;
    return {p[0], p[1], p[2], p[3]};
}

void TDib::SetPaletteEntry(int i, TRgbQuad entry) {
    std::uint8_t* p = file_.data() + kFileHeaderSize + kInfoHeaderSize + 4 * i;
    p[0] = entry.blue;
    p[1] = entry.green;
    p[2] = entry.red;
    p[3] = entry.reserved;
}

TColor TDib::PaletteColor(int i) const {
    const TRgbQuad q = PaletteEntry(i);
    return Rgb(q.red, q.green, q.blue);
}

unsigned TDib::PixelIndex(int x, int y) const {
    const std::uint8_t* row = ScanLine(y);
    switch (bitCount_) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
        case 8:
            return row[x];
        default:
            return 0;
    }
}

TColor TDib::PixelColor(int x, int y) const {
    if (bitCount_ <= 8) return PaletteColor(static_cast<int>(PixelIndex(x, y)));
    const std::uint8_t* p = ScanLine(y) + x * (bitCount_ / 8);
    return Rgb(p[2], p[1], p[0]);
}

}  // namespace gifcodec
