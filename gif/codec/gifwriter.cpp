#include "gif/codec/gifwriter.h"

#include "gif/codec/gifencode.h"
#include "gif/codec/giferrors.h"
#include "gif/codec/gifpicture.h"

namespace gifcodec {

namespace {

class ByteWriter {
  public:
    void Byte(unsigned b) { out_.push_back(static_cast<std::uint8_t>(b)); }
    void Word(unsigned w) {
        Byte(w & 0xFF);
        Byte((w >> 8) & 0xFF);
    }
    void Bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    void Text(const char* s) { Bytes(s, std::char_traits<char>::length(s)); }
    // One sub-block per non-empty line, cut at 255 bytes, then the terminator.
    void SubBlocks(const TLineList& lines) {
        for (const std::string& line : lines) {
            if (line.empty()) continue;
            const std::size_t n = std::min<std::size_t>(line.size(), 255);
            Byte(static_cast<unsigned>(n));
            Bytes(line.data(), n);
        }
        Byte(0);
    }
    // Colour triples, padded with black up to the count the packed byte announces.
    void Colors(const ColorTable& table, int announced) {
        Bytes(table.entries.data(), 3 * static_cast<std::size_t>(table.count));
        for (int i = table.count; i < announced; ++i) Bytes("\0\0\0", 3);
    }
    std::vector<std::uint8_t> Take() { return std::move(out_); }

  private:
    std::vector<std::uint8_t> out_;
};

void WriteExtension(ByteWriter& out, const TExtension& e) {
    out.Byte('!');
    out.Byte(e.Label());
    out.Bytes(e.fixed.data(), e.FixedSize());
    if (e.type != TExtensionType::etGraphicControl) out.SubBlocks(e.data ? *e.data : TLineList{});
}

void WriteFrame(ByteWriter& out, TGIFFrame& frame) {
    for (const TExtension& e : frame.Extensions()) WriteExtension(out, e);
    TGIFItem& item = frame.Item();
    out.Byte(',');
    out.Word(static_cast<unsigned>(frame.Origin().x));
    out.Word(static_cast<unsigned>(frame.Origin().y));
    out.Word(static_cast<unsigned>(item.width));
    out.Word(static_cast<unsigned>(item.height));
    const int n = BitsToHold(item.colors.count);
    item.bitsPerPixel = static_cast<std::uint8_t>(n);
    unsigned packed = frame.LocalColors() ? 0x80 + (n - 1) : 0;
    if (frame.Interlaced()) packed += 0x40;
    out.Byte(packed);
    if (frame.LocalColors()) out.Colors(item.colors, 1 << n);
    out.Bytes(item.encoded->data(), item.encoded->size());
}

}  // namespace

std::vector<std::uint8_t> WriteGif(GifPicture& image) {
    if (image.FrameCount() == 0) RaiseGif(strings::kNoDataId, strings::kNoData);
    EncodeAllFrames(image);
    TGIFData& data = image.Data();
    if (!data.comment.empty()) image.SetVersion(2);

    ByteWriter out;
    out.Text(image.Version() == 2 ? "GIF89a" : "GIF87a");
    image.UpdateScreenSize();
    out.Word(image.RawScreenWidth());
    out.Word(image.RawScreenHeight());
    if (data.colors.count > 0) {
        const int b = BitsForPowerOfTwoCount(data.colors.count);
        if (b == 0) RaiseGif(strings::kColorCountId, strings::kColorCount);
        out.Byte(0x80 + (b - 1) * 16 + ((data.bitsPerPixel - 1) & 7));
        const int background =
            image.BackgroundColor() == clNone ? -1 : data.colors.IndexOf(image.BackgroundColor());
        out.Byte(background < 0 ? 0 : static_cast<unsigned>(background));
    } else {
        out.Byte(0);
        out.Byte(0);
    }
    out.Byte(data.aspect);
    if (data.colors.count > 0) out.Colors(data.colors, data.colors.count);

    if (image.Looping() && image.FrameCount() > 1) {
        out.Byte('!');
        out.Byte(0xFF);
        out.Byte(0x0B);
        out.Text("NETSCAPE2.0");
        out.Byte(3);
        out.Byte(1);
        out.Word(image.RepeatCount());
        out.Byte(0);
    }
    for (int i = 0; i < image.FrameCount(); ++i) WriteFrame(out, image.Frame(i));
    for (const TExtension& e : image.TrailingExtensions()) WriteExtension(out, e);
    if (!data.comment.empty()) {
        out.Byte('!');
        out.Byte(0xFE);
        out.SubBlocks(data.comment);
    }
    out.Byte(';');
    return out.Take();
}

}  // namespace gifcodec
