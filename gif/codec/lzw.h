#pragma once
// Variable-width LZW of the GIF format. The decoder fills the bottom-up rows of a 1-, 4- or
// 8-bit bitmap; the encoder's output bytes are fixed by its clear rules alone (its tables only
// find strings), so faster tables leave every file the same.
#include <cstdint>
#include <span>
#include <vector>

#include "gif/codec/dib.h"
#include "gif/codec/progress.h"

namespace gifcodec {

// encoded: the minimum code size byte, the data sub-blocks and the terminator. Pixel values are
// masked to bitsPerPixel bits. Returns true when the data was damaged; decoded pixels are kept
// and the rest stay 0. With tolerant false damage raises "GIF encoded data is corrupt".
bool LzwDecode(std::span<const std::uint8_t> encoded, TDib& dib, int bitsPerPixel, bool interlaced,
               bool tolerant, const TProgressHandler& progress);

// Encodes a 1-, 4- or 8-bit bitmap top row first (in interlaced row order when asked). A
// codeSize of 0 follows the bit count; a smaller one (at least 2) suits a bitmap whose pixels
// all lie below 2^codeSize.
std::vector<std::uint8_t> LzwEncode(const TDib& dib, bool interlaced,
                                    const TProgressHandler& progress, int codeSize = 0);

}  // namespace gifcodec
