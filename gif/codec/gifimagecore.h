#pragma once
// Everything of the GIF picture that needs no window: frame list, logical screen, looping,
// comment, loading, saving and assignment. The picture class of the GUI wraps one of these
// and adds drawing, the clipboard and the picture-format registration.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "gif/codec/dib.h"
#include "gif/codec/gifframe.h"
#include "gif/codec/progress.h"
#include "gif/codec/sharedimage.h"
#include "gif/codec/stream.h"

namespace gifcodec {

class TGIFImageCore {
  public:
    TGIFImageCore();
    TGIFImageCore(const TGIFImageCore&) = delete;
    TGIFImageCore& operator=(const TGIFImageCore&) = delete;
    ~TGIFImageCore();

    // Loading: each starts from the empty state and decodes frame 0 at once.
    void LoadFromStream(TStream& stream);  // the rest of the stream is one GIF
    void ReadData(TStream& stream);        // form data: 32-bit byte count, then the GIF
    void LoadFromBytes(std::span<const std::uint8_t> bytes, bool decodeFirst = true);
    // As LoadFromBytes, without a copy: the frames keep slices of these bytes.
    void LoadFromBuffer(TEncodedData::Source bytes, bool decodeFirst = true);
    // Clipboard data (byte count and GIF, not decoded) and the clipboard's bitmap, if any.
    void LoadFromClipboardData(std::span<const std::uint8_t> data, const TDib* bitmap);

    // Writing; nothing reaches the stream when an error occurs.
    std::vector<std::uint8_t> SaveToBytes();
    void SaveToStream(TStream& stream);
    void WriteData(TStream& stream);
    // The clipboard's GIF data is offered only when every frame holds encoded data.
    bool CanSaveClipboardData() const;
    std::vector<std::uint8_t> ClipboardData();
    void EncodeAllFrames();

    void Assign(std::nullptr_t);
    void Assign(const TGIFImageCore& source);
    void Assign(const TGIFFrame& source);
    void Assign(const TDib& bitmap);
    TGIFFrame& AddFrame(const TDib& bitmap);

    bool Empty() const;
    int Width();
    int Height();
    // As reported to users: 0 for an empty picture.
    int ScreenWidth() const { return Empty() ? 0 : screenWidth_; }
    int ScreenHeight() const { return Empty() ? 0 : screenHeight_; }
    std::uint16_t RawScreenWidth() const { return screenWidth_; }
    std::uint16_t RawScreenHeight() const { return screenHeight_; }
    void SetScreenSize(std::uint16_t width, std::uint16_t height) {
        screenWidth_ = width;
        screenHeight_ = height;
    }
    [[noreturn]] void SetWidth(int value);
    [[noreturn]] void SetHeight(int value);
    bool HasTransparency() const;
    bool Equals(const TGIFImageCore& other) const { return data_.Get() == other.data_.Get(); }
    // Frame CurrentFrame, frame 0 when that is out of range; a picture without frames first
    // becomes one empty frame.
    const TDib& CurrentBitmap();

    std::uint8_t Version() const { return version_; }
    void SetVersion(std::uint8_t value) { version_ = value; }
    int CurrentFrame() const { return currentFrame_; }
    void SetCurrentFrame(int value) { currentFrame_ = value; }
    TColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(TColor value) { backgroundColor_ = value; }
    bool Looping() const { return looping_; }
    void SetLooping(bool value) { looping_ = value; }
    std::uint16_t RepeatCount() const { return repeatCount_; }
    void SetRepeatCount(std::uint16_t value) { repeatCount_ = value; }

    int FrameCount() const { return static_cast<int>(frames_.size()); }
    TGIFFrame& Frame(int index) { return *frames_.at(index); }
    const TGIFFrame& Frame(int index) const { return *frames_.at(index); }
    TGIFFrame& AppendFrame();
    void AppendFrame(std::unique_ptr<TGIFFrame> frame);
    void DeleteFrame(int index);

    TGIFData& Data() { return *data_; }
    const TGIFData& Data() const { return *data_; }

    // Back to the empty state (fresh shared data, no frames).
    void Reset();
    // Logical screen from the frames' origins and sizes (decodes frames without a bitmap).
    // A loaded picture keeps the screen it was read with: frames may lie partly off it.
    void UpdateScreenSize();
    bool ScreenFromFile() const { return screenFromFile_; }

    const std::function<void()>& OnChange() const { return onChange_; }
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }
    const TProgressHandler& ProgressHandler() const { return onProgress_; }
    void SetOnProgress(TProgressHandler handler) { onProgress_ = std::move(handler); }

  private:
    void Changed() {
        if (onChange_) onChange_();
    }

    TSharedRef<TGIFData> data_;
    std::vector<std::unique_ptr<TGIFFrame>> frames_;
    std::uint8_t version_ = 0;
    int currentFrame_ = -1;
    std::uint16_t screenWidth_ = 0;
    std::uint16_t screenHeight_ = 0;
    TColor backgroundColor_ = clNone;
    bool looping_ = false;
    std::uint16_t repeatCount_ = 1;
    bool holdScreenSize_ = false;  // while copying frames whose screen size is copied after
    bool screenFromFile_ = false;
    std::function<void()> onChange_;
    TProgressHandler onProgress_;
};

}  // namespace gifcodec
