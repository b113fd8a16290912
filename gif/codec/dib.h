#pragma once
// A device-independent bitmap held as its file image: file header, 40-byte information
// header, palette (1, 4 and 8 bits) and bottom-up rows padded to 4 bytes. The decoder
// writes straight into the rows; the picture class hands the bytes to its bitmap type.
#include <cstdint>
#include <span>
#include <vector>

#include "gif/codec/colortable.h"
#include "platform/bytes.h"

namespace gifcodec {

struct TRgbQuad {
    std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};

class TDib {
  public:
    static constexpr std::size_t kFileHeaderSize = platform::kBmpFileHeaderSize;
    static constexpr std::size_t kInfoHeaderSize = platform::kBmpInfoHeaderSize;

    TDib() = default;
    // Zeroed rows; bit count 1, 4 or 8 gets a zeroed palette of 2^bits entries.
    TDib(int width, int height, int bitCount);
    // Reads a file image with an uncompressed information header ("Bitmap image is not valid").
    static TDib FromFileImage(std::span<const std::uint8_t> bytes);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitCount() const { return bitCount_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool value) { monochrome_ = value; }
    std::size_t Stride() const { return StrideFor(width_, bitCount_); }
    static std::size_t StrideFor(int width, int bitCount) {
        return ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    }

    int PaletteSize() const { return paletteSize_; }
    TRgbQuad PaletteEntry(int i) const;
    void SetPaletteEntry(int i, TRgbQuad entry);
    TColor PaletteColor(int i) const;

    std::uint8_t* Pixels() { return file_.data() + pixelOffset_; }
    const std::uint8_t* Pixels() const { return file_.data() + pixelOffset_; }
    // Row y counted from the top of the image (the last row of the block).
    std::uint8_t* ScanLine(int y) { return Pixels() + (height_ - 1 - y) * Stride(); }
    const std::uint8_t* ScanLine(int y) const { return Pixels() + (height_ - 1 - y) * Stride(); }
    // Colour index at (x, y) for paletted rows.
    unsigned PixelIndex(int x, int y) const;
    // RGB colour at (x, y), top-down coordinates.
    TColor PixelColor(int x, int y) const;

    const std::vector<std::uint8_t>& FileImage() const { return file_; }

  private:
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    int paletteSize_ = 0;
    bool monochrome_ = false;
    std::size_t pixelOffset_ = 0;
    std::vector<std::uint8_t> file_;
};

}  // namespace gifcodec
