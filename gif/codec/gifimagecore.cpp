#include "gif/codec/gifimagecore.h"

#include <algorithm>

#include "gif/codec/gifencode.h"
#include "gif/codec/giferrors.h"
#include "gif/codec/gifreader.h"
#include "gif/codec/gifwriter.h"

namespace gifcodec {

namespace {

std::uint32_t ReadCount(TStream& stream) {
    std::uint8_t b[4];
    stream.ReadBuffer(b, 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

void PutCount(std::vector<std::uint8_t>& out, std::size_t n) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
}

}  // namespace

TGIFImageCore::TGIFImageCore() : data_(TSharedRef<TGIFData>::Create()) {}

TGIFImageCore::~TGIFImageCore() { onChange_ = nullptr; }

void TGIFImageCore::Reset() {
    data_ = TSharedRef<TGIFData>::Create();
    frames_.clear();
    currentFrame_ = -1;
    backgroundColor_ = clNone;
    repeatCount_ = 1;
    looping_ = false;
    version_ = 0;
    screenWidth_ = screenHeight_ = 0;
    screenFromFile_ = false;
}

void TGIFImageCore::LoadFromBytes(std::span<const std::uint8_t> bytes, bool decodeFirst) {
    // Reading works on a private copy, so the source may be anything the caller holds.
    LoadFromBuffer(std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end()),
                   decodeFirst);
}

void TGIFImageCore::LoadFromBuffer(TEncodedData::Source bytes, bool decodeFirst) {
    Reset();
    if (bytes && !bytes->empty()) {
        screenFromFile_ = true;
        ReadGif(*this, bytes);
        if (!frames_.empty()) {
            currentFrame_ = 0;
            if (decodeFirst) {
                try {
                    frames_[0]->Bitmap();
                } catch (...) {
                    frames_.erase(frames_.begin());
                    throw;
                }
            }
        }
    }
    Changed();
}

void TGIFImageCore::LoadFromStream(TStream& stream) {
    const std::int64_t left = stream.Size() - stream.Position();
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(
        static_cast<std::size_t>(std::max<std::int64_t>(0, left)));
    stream.ReadBuffer(bytes->data(), bytes->size());
    LoadFromBuffer(std::move(bytes));
}

void TGIFImageCore::ReadData(TStream& stream) {
    const std::uint32_t n = ReadCount(stream);
    const std::int64_t left = stream.Size() - stream.Position();
    if (static_cast<std::int64_t>(n) > left) {
        Reset();
        RaiseReadError();
    }
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(n);
    stream.ReadBuffer(bytes->data(), n);
    LoadFromBuffer(std::move(bytes));
}

void TGIFImageCore::LoadFromClipboardData(std::span<const std::uint8_t> data, const TDib* bitmap) {
    TMemoryStream stream(std::vector<std::uint8_t>(data.begin(), data.end()));
    const std::uint32_t n = ReadCount(stream);
    if (n > data.size() - 4) {
        Reset();
        RaiseReadError();
    }
    LoadFromBytes(data.subspan(4, n), false);
    if (!frames_.empty()) {
        currentFrame_ = 0;
        if (bitmap) frames_[0]->SetBitmap(*bitmap);
    }
}

std::vector<std::uint8_t> TGIFImageCore::SaveToBytes() { return WriteGif(*this); }

void TGIFImageCore::SaveToStream(TStream& stream) {
    const std::vector<std::uint8_t> bytes = SaveToBytes();
    stream.WriteBuffer(bytes.data(), bytes.size());
}

void TGIFImageCore::WriteData(TStream& stream) {
    const std::vector<std::uint8_t> bytes = ClipboardData();
    stream.WriteBuffer(bytes.data(), bytes.size());
}

bool TGIFImageCore::CanSaveClipboardData() const {
    if (frames_.empty()) return false;
    return std::all_of(frames_.begin(), frames_.end(),
                       [](const auto& f) { return f->Item().HasEncodedData(); });
}

std::vector<std::uint8_t> TGIFImageCore::ClipboardData() {
    const std::vector<std::uint8_t> gif = SaveToBytes();
    std::vector<std::uint8_t> out;
    out.reserve(gif.size() + 4);
    PutCount(out, gif.size());
    out.insert(out.end(), gif.begin(), gif.end());
    return out;
}

void TGIFImageCore::EncodeAllFrames() { gifcodec::EncodeAllFrames(*this); }

void TGIFImageCore::Assign(std::nullptr_t) {
    Reset();
    Changed();
}

void TGIFImageCore::Assign(const TGIFImageCore& source) {
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
    screenHeight_ = source.screenHeight_;
    screenFromFile_ = source.screenFromFile_;
    currentFrame_ = source.currentFrame_;
    Changed();
}

void TGIFImageCore::Assign(const TGIFFrame& source) {
    if (source.Owner() == this) {
        // Resetting would free the source: take it from a copy that shares its records.
        TGIFImageCore copy;
        copy.Assign(*this);
        for (int i = 0; i < FrameCount(); ++i)
            if (frames_[i].get() == &source) return Assign(copy.Frame(i));
        return;
    }
    Reset();
    if (const TGIFImageCore* owner = source.Owner()) {
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

void TGIFImageCore::Assign(const TDib& bitmap) {
    Reset();
    AddFrame(bitmap);
    Changed();
}

TGIFFrame& TGIFImageCore::AddFrame(const TDib& bitmap) {
    TGIFFrame& frame = AppendFrame();
    currentFrame_ = FrameCount() - 1;
    frame.Assign(bitmap);
    if (version_ == 0) version_ = 1;
    if (FrameCount() > 1) version_ = 2;
    return frame;
}

TGIFFrame& TGIFImageCore::AppendFrame() {
    AppendFrame(std::make_unique<TGIFFrame>(this));
    return *frames_.back();
}

void TGIFImageCore::AppendFrame(std::unique_ptr<TGIFFrame> frame) {
    frames_.push_back(std::move(frame));
}

void TGIFImageCore::DeleteFrame(int index) { frames_.erase(frames_.begin() + index); }

bool TGIFImageCore::Empty() const {
    if (frames_.empty()) return true;
    const int i = std::max(currentFrame_, 0);
    if (i >= FrameCount()) return true;
    const TGIFFrame& f = *frames_[i];
    return !f.HasBitmap() && !f.Item().HasEncodedData();
}

int TGIFImageCore::Width() {
    if (Empty() || currentFrame_ < 0 || currentFrame_ >= FrameCount()) return 0;
    return frames_[currentFrame_]->Bitmap().Width();
}

int TGIFImageCore::Height() {
    if (Empty() || currentFrame_ < 0 || currentFrame_ >= FrameCount()) return 0;
    return frames_[currentFrame_]->Bitmap().Height();
}

void TGIFImageCore::SetWidth(int) { RaiseGif(strings::kCannotResizeId, strings::kCannotResize); }

void TGIFImageCore::SetHeight(int) { RaiseGif(strings::kCannotResizeId, strings::kCannotResize); }

bool TGIFImageCore::HasTransparency() const {
    return std::any_of(frames_.begin(), frames_.end(),
                       [](const auto& f) { return f->TransparentColor() != clNone; });
}

const TDib& TGIFImageCore::CurrentBitmap() {
    if (frames_.empty()) {
        currentFrame_ = 0;
        Assign(TDib());
    }
    const int i = currentFrame_ >= 0 && currentFrame_ < FrameCount() ? currentFrame_ : 0;
    return frames_[i]->Bitmap();
}

void TGIFImageCore::UpdateScreenSize() {
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
