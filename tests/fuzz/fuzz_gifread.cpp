// Loads arbitrary bytes as a GIF, decodes the frames, composes the last one and writes the
// picture back. Any error must be the picture's own; anything else is a finding.
#include <cstddef>
#include <cstdint>

#include "gif/codec/compose.h"
#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "gif/codec/giflimits.h"

using namespace gifcodec;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TGIFImageCore image;
    try {
        image.LoadFromBytes({data, size}, false);
    } catch (const EGifCodecError&) {
    }
    // Each frame may legitimately be as large as the decoder allows; keep one run's total
    // within that bound so a run stays fast.
    std::int64_t budget = kMaxPixels;
    bool allDecoded = true;
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFItem& item = image.Frame(i).Item();
        const std::int64_t area = std::int64_t{item.width} * item.height;
        if (area > budget) {
            allDecoded = false;
            break;
        }
        budget -= area;
        try {
            image.Frame(i).Bitmap();
        } catch (const EGifCodecError&) {
            allDecoded = false;
        }
    }
    if (!allDecoded || image.FrameCount() == 0) return 0;
    try {
        if (std::int64_t{image.RawScreenWidth()} * image.RawScreenHeight() <= (1 << 22))
            ComposeFrame(image, image.FrameCount() - 1);
        TGIFImageCore back;
        back.LoadFromBytes(image.SaveToBytes());
    } catch (const EGifCodecError&) {
    }
    return 0;
}
