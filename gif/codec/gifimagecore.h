#pragma once
// The GIF picture with its loading and saving: from and to bytes, streams, form data and
// the clipboard. The picture class of the GUI wraps one of these and adds drawing, the
// clipboard formats and the picture-format registration.
#include <cstdint>
#include <span>
#include <vector>

#include "gif/codec/dib.h"
#include "gif/codec/gifpicture.h"
#include "gif/codec/sharedimage.h"
#include "gif/codec/stream.h"

namespace gifcodec {

class TGIFImageCore : public GifPicture {
  public:
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
};

}  // namespace gifcodec
