#pragma once
// An icon: a 32-bit image with alpha, read from a 32-bit or 24-bit BMP file image or from
// an ICO file.
#include <QIcon>
#include <QImage>
#include <cstdint>
#include <vector>

#include "framework/graphics/graphicsbase.h"

namespace fw {

class TIcon : public TGraphic {
    FW_CLASS(TIcon)
  public:
    TIcon() = default;

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    bool Empty() const override { return image_.isNull(); }
    bool Transparent() const override { return true; }

    const QImage& Image() const { return image_; }  // ARGB32
    // The pixels as non-premultiplied 0xAARRGGBB, top row first (empty for no image).
    std::vector<uint32_t> ArgbPixels() const;
    void SetImage(const QImage& image);
    QIcon ToQIcon() const;

    void Draw(TCanvas& canvas, const TRect& rect) override;
    // A BMP file image (24-bit opaque, 32-bit with alpha) or an ICO file (its largest
    // image).
    void LoadFromStream(const Bytes& data) override;
    void SaveToStream(Bytes& data) const override;  // a 32-bit BMP file image
    // Form data: a 32-bit little-endian byte count, then the stream.
    void ReadData(const Bytes& data) override;
    Bytes Data() const;
    void SetData(const Bytes& data) { ReadData(data); }
    bool HasData() const { return !Empty(); }
    void WriteData(Bytes& data) const override;
    std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TIcon>(); }
    void Assign(const TPersistent& source) override;

  private:
    QImage image_;
};

// The images of an ICO file, largest first; throws EInvalidGraphic when it is not one.
QImage ReadIcoFile(const Bytes& data);

}  // namespace fw
