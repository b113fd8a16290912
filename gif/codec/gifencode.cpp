#include "gif/codec/gifencode.h"

#include <algorithm>

#include "gif/codec/giferrors.h"
#include "gif/codec/gifpicture.h"
#include "gif/codec/lzw.h"
#include "gif/codec/reduce.h"

namespace gifcodec {

namespace {

void UpdateExtensions(GifPicture& image, TGIFFrame& frame) {
    std::vector<TExtension>& list = frame.Extensions();
    auto isControl = [](const TExtension& e) { return e.type == TExtensionType::etGraphicControl; };
    auto last = std::find_if(list.rbegin(), list.rend(), isControl);
    if (last == list.rend() &&
        (frame.Delay() != 0 || frame.TransparentColor() != clNone || frame.Disposal() != 0)) {
        list.push_back(TExtension::NewGraphicControl());
        last = list.rbegin();
    }
    if (last != list.rend()) {
        TExtension& g = *last;
        const unsigned delay = frame.Delay() / 10;
        g.fixed[2] = delay & 0xFF;
        g.fixed[3] = (delay >> 8) & 0xFF;
        // The stored index while its entry holds the colour: re-saving keeps the meaning.
        const int index = frame.TransparentIndex();
        if (index < 0) {
            g.fixed[1] &= ~1u;
        } else {
            g.fixed[4] = static_cast<std::uint8_t>(index);
            g.fixed[1] |= 1u;
        }
        g.fixed[1] =
            static_cast<std::uint8_t>((g.fixed[1] & ~0x1Cu) | ((frame.Disposal() & 7u) << 2));
    }
    std::erase_if(list, [](const TExtension& e) {
        return e.type == TExtensionType::etComment && (!e.data || e.data->empty());
    });
    if (!list.empty()) image.SetVersion(2);
}

// Entries a table needs for the bitmap's pixels: a power of two reaching the highest index.
// Packed rows are read a byte at a time, the bits past the width masked off.
int EntriesUsed(const TDib& dib) {
    const int bits = dib.BitCount();
    const unsigned top = (1u << bits) - 1;
    const int width = dib.Width();
    const int whole = width * bits / 8;  // bytes without a pixel past the width
    const int tail = width * bits % 8;   // pixel bits in the byte after them
    const auto lastByte = static_cast<std::uint8_t>(0xFF00 >> tail);
    unsigned highest = 0;
    for (int y = 0; y < dib.Height() && highest < top; ++y) {
        const std::uint8_t* row = dib.ScanLine(y);
        if (bits == 8) {
            highest = std::max<unsigned>(highest, *std::max_element(row, row + width));
            continue;
        }
        std::uint8_t any = 0, high = 0;  // 1 bit: any pixel set; 4 bits: the larger nibble
        for (int i = 0; i < whole; ++i) {
            any |= row[i];
            high = std::max({high, static_cast<std::uint8_t>(row[i] >> 4),
                             static_cast<std::uint8_t>(row[i] & 0x0F)});
        }
        if (tail > 0) {
            any |= row[whole] & lastByte;
            high = std::max(high, static_cast<std::uint8_t>(row[whole] >> 4));
        }
        highest = std::max<unsigned>(highest, bits == 1 ? any != 0 : high);
    }
    return 1 << BitsToHold(static_cast<int>(highest) + 1);
}

// The global table serves a frame whose used entries it holds at the same places.
bool GlobalServes(const ColorTable& global, const ColorTable& local, int used) {
    return global.count >= used &&
           std::equal(local.entries.begin(), local.entries.begin() + used, global.entries.begin());
}

}  // namespace

void EncodeFrameBitmap(GifPicture& image, TGIFFrame& frame) {
    if (!frame.HasBitmap()) RaiseGif(strings::kNoDataId, strings::kNoData);
    const TDib& bitmap = *frame.CachedBitmap();
    TDib reduced;
    const TDib* source = &bitmap;
    if (bitmap.BitCount() > 8) {
        reduced = frame.Grayscale() ? ReduceToGrayscale(bitmap) : ReduceByHistogram(bitmap);
        source = &reduced;
    }
    const int bits = source->BitCount();
    if (bits != 1 && bits != 4 && bits != 8)
        RaiseGif(strings::kEncodingErrorId, strings::kEncodingError);
    frame.SetInterlaced(false);
    TGIFItem& item = frame.Item();
    // The table as large as the pixels need, and the codes no wider: what the output costs.
    // A stored transparent index stays inside it even when no pixel holds it: else another
    // entry of the same colour would be taken for the transparent one.
    int used = EntriesUsed(*source);
    const int key = frame.StoredTransparentIndex();
    if (frame.TransparentColor() != clNone && key >= 0)
        used = std::max(used, 1 << BitsToHold(key + 1));
    used = std::min(used, 1 << bits);
    item.colors.count = used;
    for (int i = 0; i < item.colors.count; ++i) {
        const TRgbQuad q = source->PaletteEntry(i);
        item.colors.entries[i] = {q.red, q.green, q.blue};
    }
    item.encoded = LzwEncode(*source, false, image.ProgressHandler(), BitsToHold(used));
    item.bitsPerPixel = static_cast<std::uint8_t>(BitsToHold(item.colors.count));
    TGIFData& data = image.Data();
    if (data.colors.count > 0 && GlobalServes(data.colors, item.colors, used)) {
        item.colors = data.colors;
        item.bitsPerPixel = data.bitsPerPixel;
        frame.SetLocalColors(false);
    } else if (data.colors.count > 0) {
        frame.SetLocalColors(true);
    } else {
        data.colors = item.colors;
        data.bitsPerPixel = item.bitsPerPixel;
        frame.SetLocalColors(false);
    }
    item.width = source->Width();
    item.height = source->Height();
    const int w = std::max<int>(image.RawScreenWidth(), frame.Origin().x + item.width);
    const int h = std::max<int>(image.RawScreenHeight(), frame.Origin().y + item.height);
    image.SetScreenSize(static_cast<std::uint16_t>(std::min(w, 0xFFFF)),
                        static_cast<std::uint16_t>(std::min(h, 0xFFFF)));
}

void EncodeAllFrames(GifPicture& image) {
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFFrame& frame = image.Frame(i);
        if (!frame.Item().HasEncodedData()) {
            frame.Item().encoded.reset();
            EncodeFrameBitmap(image, frame);
        }
        UpdateExtensions(image, frame);
    }
}

}  // namespace gifcodec
