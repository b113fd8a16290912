#pragma once
// A bitmap: a toolkit image with a canvas, a pixel format, a transparent colour, and the
// BMP file format.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/inplace.h"
#include "framework/graphics/graphicsbase.h"

namespace fw {

// The toolkit's image; complete only inside the framework (qtgraphics.h), where it is a
// QImage.
struct TToolkitImage;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// How rows of raw pixels lie in memory, for handing pixels to and from other modules without
// a file format in between: 1, 4 or 8 bits per pixel are palette indices (the leftmost pixel
// in the high bits), 24 are blue, green, red and 32 blue, green, red, alpha. Rows are stride
// bytes apart; with bottomUp the first row in memory is the picture's last.
struct PixelLayout {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::size_t stride = 0;
    bool bottomUp = false;
};
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
    FW_CLASS(TBitmap)
  public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;

    int Width() const override;
    int Height() const override;
    void SetWidth(int w) override { SetSize(w, Height()); }
    void SetHeight(int h) override { SetSize(Width(), h); }
    // Keeps the pixels that still fit; new pixels are white.
    void SetSize(int w, int h);
    bool Empty() const override;
    bool Opaque() const override;

    TCanvas& Canvas();

    // Changing the format converts the pixels (colour to paletted reduces the colours).
    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat pf);
    // A monochrome bitmap is a 1-bit black-and-white bitmap.
    bool Monochrome() const;
    void SetMonochrome(bool mono);

    // tmAuto: the bottom-left pixel's colour; tmFixed: the colour set last.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c);  // switches to tmFixed; clNone back to tmAuto
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode m);

    // The image in its current format, for framework sources. After writing through
    // MutableImage, call Modified() so that the owner hears of it.
    const TToolkitImage& Image() const { return *image_; }
    TToolkitImage& MutableImage() { return *image_; }
    void SetImage(const TToolkitImage& image);  // format and pixel format follow the image
    void Modified() { Changed(); }
    // The image as 32-bit (A)RGB for drawing.
    TToolkitImage ToRGBImage() const;

    // Top-down scan lines of the image in its own format.
    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;
    // Palette of a 1, 4 or 8-bit bitmap as RGB colours (empty for others).
    std::vector<TColor> Palette() const;
    void SetPalette(const std::vector<TColor>& colors);

    // Turns the bitmap into its monochrome mask: pixels of the colour become white, all
    // others black.
    void Mask(TColor transparentColor);
    // The same mask as a new bitmap, this one unchanged.
    std::unique_ptr<TBitmap> CreateMask(TColor transparentColor) const;

    void Draw(TCanvas& canvas, const TRect& rect) override;
    void LoadFromStream(const Bytes& data) override;  // a BMP file image
    void SaveToStream(Bytes& data) const override;    // in the bitmap's pixel format
    // Takes the pixels as laid out, with the palette of 1, 4 and 8 bits (missing entries are
    // black); the pixel format follows the bit count. Throws EInvalidGraphic for a bit count
    // or size it cannot hold.
    void LoadFromPixels(const PixelLayout& layout, const std::uint8_t* pixels,
                        const std::vector<TColor>& palette);
    // Writes the pixels at the layout's bit count into rows laid out as given (the layout's
    // size is the bitmap's), reducing the colours to a palette for 1, 4 and 8 bits, and returns
    // that palette of 2^bits entries. Throws EInvalidGraphic for an empty bitmap.
    std::vector<TColor> CopyPixels(const PixelLayout& layout, std::uint8_t* pixels) const;
    // The BMP file image at a chosen bit count (1, 4, 8, 24 or 32), the bitmap unchanged;
    // throws EInvalidGraphic for an empty bitmap.
    Bytes FileImage(int bitCount) const;
    // Form data: a 32-bit little-endian byte count, then the BMP file image (or the pixel
    // image the build makes of it, pixelimage.h).
    void ReadData(ByteView data) override;
    void WriteData(Bytes& data) const override;
    Bytes FormData() const;  // empty for an empty bitmap
    bool HasImage() const { return !Empty(); }
    void LoadFromClipboardFormat(TClipboardFormat format, const ClipboardData& data) override;
    void SaveToClipboardFormat(ClipboardData& data) const override;
    std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TBitmap>(); }

    // From another bitmap: a copy. From another graphic: sized to it, filled white and
    // the graphic drawn at (0, 0).
    void Assign(const TPropertyObject& source) override;
    void Assign(const TBitmap& source) { Assign(static_cast<const TPropertyObject&>(source)); }
    void Clear();  // back to empty

  private:
    friend class TCanvas;

    TInPlace<TToolkitImage> image_;  // kept in place: no allocation of its own
    TPixelFormat pixelFormat_ = pfDevice;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clNone;
    std::unique_ptr<TCanvas> canvas_;
};

// Reads the 32-bit little-endian count in front of form data and returns what follows;
// throws EInvalidGraphic when the count does not fit.
ByteView UnwrapCounted(ByteView data);
// Puts the 32-bit little-endian count in front.
Bytes WrapCounted(const Bytes& data);

}  // namespace fw
