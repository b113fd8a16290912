// Loads arbitrary bytes as a GIF, decodes the frames, composes the last one and writes the
// picture back. Any error must be the picture's own; anything else is a finding. The codec's
// own limits are what bound a run: nothing here narrows them.
#include <cstddef>
#include <cstdint>

#include "gif/codec/compose.h"
#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"

using namespace gifcodec;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TGIFImageCore image;
    try {
        image.LoadFromBytes({data, size}, false);
    } catch (const EGifCodecError&) {
    }
    bool allDecoded = true;
    for (int i = 0; i < image.FrameCount(); ++i) {
        try {
            image.Frame(i).Bitmap();
        } catch (const EGifCodecError&) {
            allDecoded = false;
        }
    }
    if (image.FrameCount() == 0) return 0;
    try {
        ComposeFrame(image, image.FrameCount() - 1);
        if (!allDecoded) return 0;
        TGIFImageCore back;
        back.LoadFromBytes(image.SaveToBytes());
    } catch (const EGifCodecError&) {
    }
    return 0;
}
