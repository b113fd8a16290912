#pragma once
// An icon: a 32-bit image with alpha, read from a 32-bit or 24-bit BMP file image or from
// an ICO file.
#include <cstdint>
#include <vector>

#include "framework/core/inplace.h"
#include "framework/graphics/graphicsbase.h"

namespace fw {

struct TToolkitImage;  // a QImage inside the framework (qtgraphics.h)

class TIcon : public TGraphic {
    FW_CLASS(TIcon)
  public:
    TIcon();
    ~TIcon() override;

    int Width() const override;
    int Height() const override;
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    bool Empty() const override;
    bool Transparent() const override { return true; }

    // ARGB32, for framework sources (qtgraphics.h has the toolkit side).
    const TToolkitImage& Image() const { return *image_; }
    // The pixels as non-premultiplied 0xAARRGGBB, top row first (empty for no image).
    std::vector<uint32_t> ArgbPixels() const;
    void SetImage(const TToolkitImage& image);

    void Draw(TCanvas& canvas, const TRect& rect) override;
    // A BMP file image (24-bit opaque, 32-bit with alpha) or an ICO file (its largest
    // image).
    void LoadFromStream(const Bytes& data) override;
    void SaveToStream(Bytes& data) const override;  // a 32-bit BMP file image
    // Form data: a 32-bit little-endian byte count, then the stream (or a pixel image).
    void ReadData(ByteView data) override;
    Bytes Data() const;
    void SetData(ByteView data) { ReadData(data); }
    bool HasData() const { return !Empty(); }
    void WriteData(Bytes& data) const override;
    std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TIcon>(); }
    void Assign(const TPropertyObject& source) override;

  private:
    TInPlace<TToolkitImage> image_;  // kept in place: no allocation of its own
};

}  // namespace fw
