#pragma once
// The GIF picture in memory: frame list, logical screen, looping, comment and assignment.
// The reader fills one, the writer and the encoder work over one; loading and saving as
// members come on top of them (gifimagecore.h).
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gif/codec/dib.h"
#include "gif/codec/gifframe.h"
#include "gif/codec/progress.h"
#include "gif/codec/sharedimage.h"

namespace gifcodec {

class GifPicture {
  public:
    GifPicture();
    GifPicture(const GifPicture&) = delete;
    GifPicture& operator=(const GifPicture&) = delete;
    ~GifPicture();

    void Assign(std::nullptr_t);
    void Assign(const GifPicture& source);
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
    bool Equals(const GifPicture& other) const { return data_.Get() == other.data_.Get(); }
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
    // Extensions of kinds we do not know that follow the last image: kept as read, so that
    // a re-save writes them back.
    std::vector<TExtension>& TrailingExtensions() { return trailing_; }
    const std::vector<TExtension>& TrailingExtensions() const { return trailing_; }

    const std::function<void()>& OnChange() const { return onChange_; }
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }
    const TProgressHandler& ProgressHandler() const { return onProgress_; }
    void SetOnProgress(TProgressHandler handler) { onProgress_ = std::move(handler); }

  protected:
    void Changed() {
        if (onChange_) onChange_();
    }

    std::vector<std::unique_ptr<TGIFFrame>> frames_;
    int currentFrame_ = -1;
    bool screenFromFile_ = false;  // set by loading

  private:
    TSharedRef<TGIFData> data_;
    std::uint8_t version_ = 0;
    std::uint16_t screenWidth_ = 0;
    std::uint16_t screenHeight_ = 0;
    TColor backgroundColor_ = clNone;
    bool looping_ = false;
    std::uint16_t repeatCount_ = 1;
    bool holdScreenSize_ = false;  // while copying frames whose screen size is copied after
    std::vector<TExtension> trailing_;
    std::function<void()> onChange_;
    TProgressHandler onProgress_;
};

}  // namespace gifcodec
