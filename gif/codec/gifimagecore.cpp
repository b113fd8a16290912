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

}  // namespace gifcodec
