#include "gif/codec/gifreader.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "gif/codec/giferrors.h"
#include "gif/codec/giflimits.h"
#include "gif/codec/gifpicture.h"

namespace gifcodec {

namespace {

class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    std::size_t Left() const { return bytes_.size() - pos_; }
    std::uint8_t Byte() {
        if (AtEnd()) RaiseReadError();
        return bytes_[pos_++];
    }
    std::uint16_t Word() {
        const std::uint8_t lo = Byte();
        return static_cast<std::uint16_t>(lo | (Byte() << 8));
    }
    void Read(void* dst, std::size_t n) {
        if (n > Left()) RaiseReadError();
        std::memcpy(dst, bytes_.data() + pos_, n);
        pos_ += n;
    }
    std::size_t Position() const { return pos_; }
    const std::uint8_t* Take(std::size_t n) {
        if (n > Left()) RaiseReadError();
        pos_ += n;
        return bytes_.data() + pos_ - n;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

bool SameText(const std::uint8_t* a, const char* b) {
    for (int i = 0; i < 3; ++i)
        if (std::tolower(a[i]) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

void ReadColors(ByteReader& in, ColorTable& table, int count) {
    table.count = count;
    in.Read(table.entries.data(), 3 * static_cast<std::size_t>(count));
}

// What one file can make us hold, counted as it is read; beyond it the picture is refused.
class Budget {
  public:
    void Add(std::int64_t bytes) {
        held_ += bytes;
        if (held_ > kMaxPictureBytes) RaiseTooLarge();
    }

  private:
    std::int64_t held_ = 0;
};

TLineList ReadSubBlocks(ByteReader& in, Budget& budget) {
    TLineList lines;
    while (!in.AtEnd()) {
        const std::uint8_t len = in.Byte();
        if (len == 0) break;
        const std::uint8_t* p = in.Take(len);
        // A line costs its string (twice over while its list grows), and a heap block when
        // it is too long to be kept inside the string.
        budget.Add(2 * static_cast<std::int64_t>(sizeof(std::string)) + (len > 15 ? 32 + len : 0));
        lines.emplace_back(reinterpret_cast<const char*>(p), len);
    }
    return lines;
}

void InspectApplication(const TExtension& e, GifPicture& image) {
    static constexpr char kLoop[] = "NETSCAPE2.0";
    const std::size_t n = std::min<std::size_t>(e.fixed[0], 11);
    if (std::memcmp(e.fixed.data() + 1, kLoop, n) != 0 || !e.data || e.data->empty()) return;
    const std::string& first = e.data->front();
    if (first.size() <= 2 || first[0] != 1) return;
    const unsigned count =
        static_cast<std::uint8_t>(first[1]) | (static_cast<std::uint8_t>(first[2]) << 8);
    image.SetLooping(true);
    image.SetRepeatCount(static_cast<std::uint16_t>(std::min(30000u, count)));
}

// A run of extensions; returns the introducer that follows it.
std::uint8_t ReadExtensions(ByteReader& in, GifPicture& image, std::uint8_t introducer,
                            std::vector<TExtension>& list, Budget& budget) {
    while (introducer == '!') {
        const std::uint8_t label = in.Byte();
        budget.Add(2 * static_cast<std::int64_t>(sizeof(TExtension)) + 16);
        TExtension e;
        switch (label) {
            case 0xF9:
                e.type = TExtensionType::etGraphicControl;
                in.Read(e.fixed.data(), 6);
                break;
            case 0xFE:
                e.type = TExtensionType::etComment;
                e.data = ReadSubBlocks(in, budget);
                break;
            case 0x01:
                e.type = TExtensionType::etPlainText;
                in.Read(e.fixed.data(), 13);
                e.data = ReadSubBlocks(in, budget);
                break;
            case 0xFF:
                e.type = TExtensionType::etApplication;
                in.Read(e.fixed.data(), 12);
                e.data = ReadSubBlocks(in, budget);
                break;
            default:
                // Readers skip what they do not know; the bytes go back out on a re-save.
                e.type = TExtensionType::etOther;
                e.fixed[0] = label;
                e.data = ReadSubBlocks(in, budget);
        }
        if (e.type == TExtensionType::etPlainText) {
            // Text drawn over the image is not shown, nor the controls meant for it.
            list.clear();
        } else if (e.type == TExtensionType::etApplication) {
            InspectApplication(e, image);
        } else {
            list.push_back(std::move(e));
        }
        introducer = in.AtEnd() ? ';' : in.Byte();
    }
    return introducer;
}

TColor ColorOutside(const ColorTable& colors) {
    TColor c = clFuchsia;
    while (colors.IndexOf(c) >= 0) --c;
    return c;
}

void ApplyGraphicControls(TGIFFrame& frame) {
    const ColorTable& colors = frame.Item().colors;
    const std::optional<TEncodedData>& encoded = frame.Item().encoded;
    const int codeSize = frame.Item().HasEncodedData() ? std::min<int>(8, encoded->front()) : 0;
    unsigned delay = 0;
    for (const TExtension& e : frame.Extensions()) {
        if (e.type != TExtensionType::etGraphicControl) continue;
        if (!e.HasTransparency()) {
            frame.SetTransparentColor(clNone);
            frame.SetTransparentIndex(-1);
        } else if (static_cast<int>(e.TransparentIndex()) < colors.count) {
            frame.SetTransparentColor(colors.Color(static_cast<int>(e.TransparentIndex())));
            frame.SetTransparentIndex(static_cast<int>(e.TransparentIndex()));
        } else if (static_cast<int>(e.TransparentIndex()) < (1 << codeSize)) {
            // Past the table yet within the codes' reach: pixels may hold it, and they are
            // transparent. The index gets a colour of its own, one the table does not hold.
            frame.SetTransparentColor(ColorOutside(colors));
            frame.SetTransparentIndex(static_cast<int>(e.TransparentIndex()));
        }
        // Hundredths of a second; long delays saturate rather than wrap in 16 bits.
        delay = std::max(delay, std::min(65535u, e.DelayField() * 10));
        frame.SetDisposal(static_cast<std::uint8_t>(e.Disposal()));
    }
    frame.SetDelay(static_cast<std::uint16_t>(delay));
}

// The code size byte and the sub-blocks lie together in the bytes: the frame keeps them as
// a slice. Data cut short by the end of the file is copied instead, with a last block of what
// is there and a terminator, so the frame shows every row the file holds (and writes out as
// sound data); the frame is corrupted.
TEncodedData ReadImageData(ByteReader& in, const TEncodedData::Source& source, TGIFFrame& frame) {
    const std::size_t start = in.Position();
    in.Byte();
    while (!in.AtEnd()) {
        const std::size_t lengthAt = in.Position();
        const std::uint8_t len = in.Byte();
        if (len <= in.Left()) {
            in.Take(len);
            if (len == 0) return TEncodedData(source, start, in.Position() - start);
            continue;
        }
        const auto kept = static_cast<std::uint8_t>(in.Left());
        const std::uint8_t* rest = in.Take(kept);
        std::vector<std::uint8_t> own(source->begin() + static_cast<std::ptrdiff_t>(start),
                                      source->begin() + static_cast<std::ptrdiff_t>(lengthAt));
        if (kept > 0) {
            own.push_back(kept);
            own.insert(own.end(), rest, rest + kept);
        }
        own.push_back(0);
        frame.SetCorrupted(true);
        return TEncodedData(std::move(own));
    }
    // Whole blocks, then the end of the file where the terminator should be.
    std::vector<std::uint8_t> own(source->begin() + static_cast<std::ptrdiff_t>(start),
                                  source->end());
    own.push_back(0);
    frame.SetCorrupted(true);
    return TEncodedData(std::move(own));
}

void ReadImage(ByteReader& in, const TEncodedData::Source& source, TGIFFrame& frame,
               const TGIFData& data) {
    TGIFItem& item = frame.Item();
    const std::uint16_t left = in.Word();
    const std::uint16_t top = in.Word();
    const std::uint16_t width = in.Word();
    const std::uint16_t height = in.Word();
    const std::uint8_t packed = in.Byte();
    frame.SetInterlaced(packed & 0x40);
    if (packed & 0x80) {
        frame.SetLocalColors(true);
        item.bitsPerPixel = static_cast<std::uint8_t>((packed & 7) + 1);
        ReadColors(in, item.colors, 1 << item.bitsPerPixel);
    } else {
        frame.SetLocalColors(false);
        item.colors = data.colors;
    }
    item.encoded = ReadImageData(in, source, frame);
    frame.SetOrigin({left, top});
    item.width = width;
    item.height = height;
    item.packed = packed;
    ApplyGraphicControls(frame);
}

}  // namespace

void ReadGif(GifPicture& image, const TEncodedData::Source& bytes) {
    ByteReader in(*bytes);
    const std::uint8_t* signature = in.Take(3);
    if (!SameText(signature, "GIF")) RaiseGif(strings::kUnknownVersionId, strings::kUnknownVersion);
    const std::uint8_t* version = in.Take(3);
    if (SameText(version, "87a"))
        image.SetVersion(1);
    else if (SameText(version, "89a"))
        image.SetVersion(2);
    else
        RaiseGif(strings::kUnknownVersionId, strings::kUnknownVersion);

    TGIFData& data = image.Data();
    const std::uint16_t width = in.Word();
    const std::uint16_t height = in.Word();
    const std::uint8_t packed = in.Byte();
    const std::uint8_t background = in.Byte();
    data.aspect = in.Byte();
    image.SetScreenSize(width, height);
    // The canvas frames are composed on is held too, so an absurd screen is refused here.
    const std::int64_t screen = std::int64_t{width} * height;
    if (screen > kMaxPixels) RaiseTooLarge();
    Budget budget;
    budget.Add(screen * kCanvasBytesPerPixel);
    data.bitsPerPixel = static_cast<std::uint8_t>((packed & 7) + 1);
    data.colorResolution = static_cast<std::uint8_t>(((packed >> 4) & 7) + 1);
    if (packed & 0x80) {
        ReadColors(in, data.colors, 1 << data.bitsPerPixel);
        if (background < data.colors.count) image.SetBackgroundColor(data.colors.Color(background));
    }

    std::int64_t pixels = 0;  // of all frames, once decoded
    std::uint8_t introducer = in.Byte();
    while (introducer != 0 && introducer != ';' && !in.AtEnd()) {
        std::vector<TExtension> list;
        introducer = ReadExtensions(in, image, introducer, list, budget);
        if (introducer == ',') {
            if (image.FrameCount() >= kMaxFrames) RaiseTooLarge();
            auto frame = std::make_unique<TGIFFrame>(&image);
            if (data.colors.count > 0) {
                const int bits = BitsForPowerOfTwoCount(data.colors.count);
                if (bits == 0) RaiseGif(strings::kColorCountId, strings::kColorCount);
                frame->Item().bitsPerPixel = static_cast<std::uint8_t>(bits);
            }
            frame->Extensions() = std::move(list);
            ReadImage(in, bytes, *frame, data);
            // Refused before anything is decoded, so a small file cannot claim gigabytes.
            const std::int64_t framePixels =
                std::int64_t{frame->Item().width} * frame->Item().height;
            pixels += framePixels;
            if (pixels > kMaxPicturePixels) RaiseTooLarge();
            budget.Add(framePixels);
            image.AppendFrame(std::move(frame));
            if (in.AtEnd()) {
                introducer = ';';
            } else {
                do {
                    introducer = in.Byte();
                } while (introducer == 0 && !in.AtEnd());
            }
            // Stray bytes after an image end the picture quietly.
            if (introducer != '!' && introducer != ',' && introducer != ';') introducer = 0;
        } else if (data.comment.empty() && !list.empty()) {
            for (TExtension& e : list) {
                // After the last image: what we do not know is kept for a re-save.
                if (e.type == TExtensionType::etOther)
                    image.TrailingExtensions().push_back(std::move(e));
                if (e.type != TExtensionType::etComment || !e.data) continue;
                if (!data.comment.empty()) data.comment.push_back("\r\n\r\n");
                data.comment.insert(data.comment.end(), e.data->begin(), e.data->end());
            }
        } else if (introducer != 0 && introducer != ';') {
            RaiseReadError();
        }
    }
}

}  // namespace gifcodec
