#include "gif/codec/gifpicture.h"

#include <algorithm>

#include "gif/codec/giferrors.h"

namespace gifcodec {

GifPicture::GifPicture() : data_(TSharedRef<TGIFData>::Create()) {}

GifPicture::~GifPicture() { onChange_ = nullptr; }

void GifPicture::Reset() {
    data_ = TSharedRef<TGIFData>::Create();
    frames_.clear();
    currentFrame_ = -1;
    backgroundColor_ = clNone;
    repeatCount_ = 1;
    looping_ = false;
    version_ = 0;
    screenWidth_ = screenHeight_ = 0;
    screenFromFile_ = false;
    trailing_.clear();
}

void GifPicture::Assign(std::nullptr_t) {
    Reset();
    Changed();
}

void GifPicture::Assign(const GifPicture& source) {
    if (&source == this) return;
    data_ = source.data_;
    version_ = source.version_;
    backgroundColor_ = source.backgroundColor_;
    repeatCount_ = source.repeatCount_;
    looping_ = source.looping_;
    frames_.clear();
    holdScreenSize_ = true;
    try {
        for (const auto& f : source.frames_) {
            TGIFFrame& frame = AppendFrame();
            frame.Item().bitsPerPixel = f->Item().bitsPerPixel;
            frame.Assign(*f);
            frame.SetLocalColors(f->LocalColors());
        }
    } catch (...) {
        holdScreenSize_ = false;
        throw;
    }
    holdScreenSize_ = false;
    screenWidth_ = source.screenWidth_;
    screenFromFile_ = source.screenFromFile_;
    trailing_ = source.trailing_;
    screenHeight_ = source.screenHeight_;
    currentFrame_ = source.currentFrame_;
    Changed();
}

void GifPicture::Assign(const TGIFFrame& source) {
    if (source.Owner() == this) {
        // Resetting would free the source: take it from a copy that shares its records.
        GifPicture copy;
        copy.Assign(*this);
        for (int i = 0; i < FrameCount(); ++i)
            if (frames_[i].get() == &source) return Assign(copy.Frame(i));
        return;
    }
    Reset();
    if (const GifPicture* owner = source.Owner()) {
        data_->aspect = owner->Data().aspect;
        data_->bitsPerPixel = owner->Data().bitsPerPixel;
        data_->colorResolution = owner->Data().colorResolution;
        data_->colors = owner->Data().colors;
    }
    AppendFrame().Assign(source);
    currentFrame_ = FrameCount() - 1;
    if (version_ == 0) version_ = 1;
    Changed();
}

void GifPicture::Assign(const TDib& bitmap) {
    Reset();
    AddFrame(bitmap);
    Changed();
}

TGIFFrame& GifPicture::AddFrame(const TDib& bitmap) {
    TGIFFrame& frame = AppendFrame();
    currentFrame_ = FrameCount() - 1;
    frame.Assign(bitmap);
    if (version_ == 0) version_ = 1;
    if (FrameCount() > 1) version_ = 2;
    return frame;
}

TGIFFrame& GifPicture::AppendFrame() {
    AppendFrame(std::make_unique<TGIFFrame>(this));
    return *frames_.back();
}

void GifPicture::AppendFrame(std::unique_ptr<TGIFFrame> frame) {
    frames_.push_back(std::move(frame));
}

void GifPicture::DeleteFrame(int index) { frames_.erase(frames_.begin() + index); }

bool GifPicture::Empty() const {
    if (frames_.empty()) return true;
    const int i = std::max(currentFrame_, 0);
    if (i >= FrameCount()) return true;
    const TGIFFrame& f = *frames_[i];
    return !f.HasBitmap() && !f.Item().HasEncodedData();
}

int GifPicture::Width() {
    if (Empty() || currentFrame_ < 0 || currentFrame_ >= FrameCount()) return 0;
    return frames_[currentFrame_]->Bitmap().Width();
}

int GifPicture::Height() {
    if (Empty() || currentFrame_ < 0 || currentFrame_ >= FrameCount()) return 0;
    return frames_[currentFrame_]->Bitmap().Height();
}

void GifPicture::SetWidth(int) { RaiseGif(strings::kCannotResizeId, strings::kCannotResize); }

void GifPicture::SetHeight(int) { RaiseGif(strings::kCannotResizeId, strings::kCannotResize); }

bool GifPicture::HasTransparency() const {
    return std::any_of(frames_.begin(), frames_.end(),
                       [](const auto& f) { return f->TransparentColor() != clNone; });
}

const TDib& GifPicture::CurrentBitmap() {
    if (frames_.empty()) {
        currentFrame_ = 0;
        Assign(TDib());
    }
    const int i = currentFrame_ >= 0 && currentFrame_ < FrameCount() ? currentFrame_ : 0;
    return frames_[i]->Bitmap();
}

void GifPicture::UpdateScreenSize() {
    if (holdScreenSize_ || screenFromFile_) return;
    int w = 0;
    int h = 0;
    for (const auto& f : frames_) {
        w = std::max(w, f->Width() + f->Origin().x);
        h = std::max(h, f->Height() + f->Origin().y);
    }
    screenWidth_ = static_cast<std::uint16_t>(std::clamp(w, 0, 0xFFFF));
    screenHeight_ = static_cast<std::uint16_t>(std::clamp(h, 0, 0xFFFF));
}

}  // namespace gifcodec
