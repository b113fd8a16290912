#pragma once
// The GIF picture as a framework graphic: drawing (with the frame's transparent colour),
// assignment to and from bitmaps, form data, the "gif" file format and the "GIF Image"
// clipboard format. The frames, the reading and the writing are the codec's.
#include <memory>

#include "framework/graphics/bitmap.h"
#include "framework/graphics/graphicsbase.h"
#include "gif/codec/gifimagecore.h"

namespace gif {

// Bad GIF data, or a picture that cannot be written.
class EInvalidGraphicOperation : public fw::Exception {
  public:
    EInvalidGraphicOperation(int id, const std::string& message)
        : fw::Exception(message), id_(id) {}
    int Id() const { return id_; }

  private:
    int id_;
};

// The picture's data ended early.
class EStreamError : public fw::Exception {
  public:
    using fw::Exception::Exception;
};

// The clipboard format registered by the name "GIF Image".
fw::TClipboardFormat CF_GIF();

class TGIFImage : public fw::TGraphic {
    FW_CLASS(TGIFImage)
  public:
    TGIFImage();
    ~TGIFImage() override;

    // Frame CurrentFrame stretched into the rectangle; where the frame has a transparent
    // colour, the canvas shows through.
    void Draw(fw::TCanvas& canvas, const fw::TRect& rect) override;
    int Width() const override;
    int Height() const override;
    // Refused: "Cannot change the Size of a GIF image".
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    bool Empty() const override;

    void LoadFromStream(const fw::Bytes& data) override;
    void SaveToStream(fw::Bytes& data) const override;
    // A 32-bit little-endian byte count, then the GIF.
    void ReadData(fw::ByteView data) override;
    void WriteData(fw::Bytes& data) const override;
    void LoadFromClipboardFormat(fw::TClipboardFormat format,
                                 const fw::ClipboardData& data) override;
    // Frame 0's bitmap, and the GIF itself when every frame holds encoded data.
    void SaveToClipboardFormat(fw::ClipboardData& data) const override;
    std::unique_ptr<fw::TGraphic> NewEmpty() const override;

    // The published form-data property ("Image.Data" of the animator).
    fw::Bytes Data() const;
    void SetData(fw::ByteView data);
    bool HasFrames() const { return FrameCount() > 0; }

    // From another GIF image (sharing its data) or a bitmap (one frame, reduced to 256
    // colours when deeper); anything else cannot be assigned.
    void Assign(const fw::TPropertyObject& source) override;
    // Back to the empty picture.
    void Clear();
    // A new frame from any graphic: a bitmap is taken as it is, another graphic drawn on a
    // fuchsia bitmap of its size (an icon then keys out that fuchsia).
    gifcodec::TGIFFrame& AddFrame(const fw::TGraphic& graphic);

    int FrameCount() const { return core_->FrameCount(); }
    gifcodec::TGIFFrame& Frames(int index) const { return core_->Frame(index); }
    int CurrentFrame() const { return core_->CurrentFrame(); }
    void SetCurrentFrame(int index) { core_->SetCurrentFrame(index); }
    int ScreenWidth() const { return core_->ScreenWidth(); }
    int ScreenHeight() const { return core_->ScreenHeight(); }
    fw::TColor BackgroundColor() const { return core_->BackgroundColor(); }
    bool HasTransparency() const { return core_->HasTransparency(); }
    bool Equals(const TGIFImage& other) const { return core_->Equals(*other.core_); }
    gifcodec::TGIFImageCore& Core() const { return *core_; }

    // Conversions between the codec's bitmap file images and the framework's bitmaps.
    static std::unique_ptr<fw::TBitmap> ToBitmap(const gifcodec::TDib& dib);
    static gifcodec::TDib ToDib(const fw::TBitmap& bitmap);

  protected:
    bool AssignTo(fw::TPropertyObject& dest) const override;

  private:
    // Frames decode lazily, so even the queries change the codec's state.
    std::unique_ptr<gifcodec::TGIFImageCore> core_;
};

}  // namespace gif
