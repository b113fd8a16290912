#include "gif/codec/lzw.h"

#include <algorithm>
#include <cstring>

#include "gif/codec/decodebuffers.h"
#include "gif/codec/giferrors.h"
#include "gif/codec/roworder.h"

namespace gifcodec {

namespace {

constexpr int kMaxWidth = 12;

void PackRow(const std::uint8_t* src, int count, int depth, std::uint8_t mask, std::uint8_t* dst) {
    switch (depth) {
        case 8:
            if (mask == 0xFF) {
                std::memcpy(dst, src, count);
            } else {
                for (int i = 0; i < count; ++i) dst[i] = src[i] & mask;
            }
            break;
        case 4:
            for (int i = 0; i + 1 < count; i += 2)
                dst[i >> 1] =
                    static_cast<std::uint8_t>(((src[i] & mask) << 4) | (src[i + 1] & mask));
            if (count & 1)
                dst[count >> 1] = static_cast<std::uint8_t>((src[count - 1] & mask) << 4);
            break;
        case 1:
            for (int i = 0; i < count; i += 8) {
                std::uint8_t b = 0;
                const int n = std::min(8, count - i);
                for (int k = 0; k < n; ++k) b |= (src[i + k] & 1) << (7 - k);
                dst[i >> 3] = b;
            }
            break;
    }
}

// Where the decoder stands in the encoded bytes, for progress percentages.
class EncodedPosition {
  public:
    void BlockStartsAt(std::size_t dataOffset) { starts_.push_back(dataOffset); }
    int Percent(std::size_t dataConsumed, std::size_t encodedSize) {
        while (block_ + 1 < starts_.size() && starts_[block_ + 1] <= dataConsumed) ++block_;
        const std::size_t read = std::min(encodedSize, 1 + dataConsumed + block_ + 1);
        return static_cast<int>((read * 100 + encodedSize / 2) / encodedSize);
    }

  private:
    std::vector<std::size_t> starts_;
    std::size_t block_ = 0;
};

// Joins the data sub-blocks a piece at a time, so that codes load as one word without a
// copy of the whole frame's data. A block cut short by the end of the data keeps what is there.
class BlockReader {
  public:
    static constexpr std::size_t kChunk = kBlockChunk;

    // buffer: kBlockBufferSize bytes, whatever they hold.
    BlockReader(std::span<const std::uint8_t> encoded, EncodedPosition* position,
                std::uint8_t* buffer)
        : encoded_(encoded), position_(position), buffer_(buffer) {
        Refill(0);
    }
    const std::uint8_t* Data() const { return buffer_; }
    std::size_t Size() const { return size_; }
    bool Exhausted() const { return next_ >= encoded_.size(); }
    // Bytes dropped so far from the front of the joined data.
    std::size_t Base() const { return base_; }
    // Drops the bytes before keepFrom and joins more blocks; returns how many were dropped.
    std::size_t Refill(std::size_t keepFrom) {
        std::memmove(buffer_, buffer_ + keepFrom, size_ - keepFrom);
        size_ -= keepFrom;
        base_ += keepFrom;
        while (size_ < kChunk && next_ < encoded_.size()) {
            const std::size_t len = encoded_[next_];
            if (len == 0) {
                next_ = encoded_.size();
                break;
            }
            const std::size_t avail = std::min(len, encoded_.size() - next_ - 1);
            if (position_) position_->BlockStartsAt(base_ + size_);
            std::memcpy(buffer_ + size_, encoded_.data() + next_ + 1, avail);
            size_ += avail;
            next_ += 1 + len;
        }
        std::memset(buffer_ + size_, 0, 8);
        return keepFrom;
    }

  private:
    std::span<const std::uint8_t> encoded_;
    EncodedPosition* position_;
    std::uint8_t* buffer_;  // 8 spare zero bytes follow the joined data
    std::size_t size_ = 0;
    std::size_t base_ = 0;
    std::size_t next_ = 1;  // past the code size byte
};

// Where the next code starts in the joined data. Below `fast` a code loads as one word with
// no further check. Passed by value, so that the loop keeps it in registers.
struct BitCursor {
    std::uint64_t bitPos;
    std::size_t dataSize;
    std::uint64_t fast;
};

std::uint64_t FastLimit(std::size_t dataSize) {
    return dataSize >= 8 ? (dataSize - 8) * 8 : std::uint64_t{0};
}

// Joins more blocks when the data runs short of a whole word.
BitCursor MoreData(BlockReader& in, BitCursor c) {
    if ((c.bitPos >> 3) + 8 > c.dataSize && !in.Exhausted()) {
        c.bitPos -= in.Refill(c.bitPos >> 3) * 8;
        c.dataSize = in.Size();
    }
    c.fast = FastLimit(c.dataSize);
    return c;
}

// Each string of the table lies somewhere in the output already: an entry made from the
// previous string and one more character starts where that previous string was written.
// Strings are therefore copied from the output instead of walked through prefix links (the
// table's entries, DecodeEntry). The output is held only since the last clear code (no entry
// reaches further back); complete rows before it go into the bitmap, so a picture needs no
// second full-size buffer.

class Decoder {
  public:
    Decoder(std::span<const std::uint8_t> encoded, TDib& dib, int bitsPerPixel, bool interlaced,
            const TProgressHandler& progress, DecodeBuffers& buffers)
        : encoded_(encoded),
          buffers_(buffers),
          dib_(dib),
          mask_(static_cast<std::uint8_t>((1u << bitsPerPixel) - 1)),
          rows_(dib.Height(), interlaced),
          progress_(progress) {}

    // Returns the corrupted flag.
    bool Run() {
        const int m = encoded_[0];
        if (m < 2 || m > 9) RaiseGif(strings::kCodeSizeId, strings::kCodeSize);
        if (dib_.Width() <= 0 || dib_.Height() <= 0) return false;
        BlockReader in(encoded_, progress_ ? &position_ : nullptr, buffers_.Block());
        const std::size_t total = static_cast<std::size_t>(dib_.Width()) * dib_.Height();
        OpenWindow(total);
        return DecodeCodes(in, m, total);
    }

  private:
    // Room for the longest string past the last pixel, and for 16-byte copies.
    static constexpr std::size_t kSlack = kMaxCodes + 32;

    void OpenWindow(std::size_t total) {
        const std::size_t width = static_cast<std::size_t>(dib_.Width());
        buffers_.ReserveWindow(
            std::min<std::size_t>(total, std::max<std::size_t>(width, 1 << 18)) + kSlack, false);
        capacity_ = buffers_.WindowSize();
    }

    // The code loop: every code's string goes into the window, full rows on into the bitmap.
    bool DecodeCodes(BlockReader& in, int m, std::size_t total) {
        std::uint8_t* out = buffers_.Window();
        DecodeEntry* const t = buffers_.Table();
        const int clear = 1 << m;
        const int end = clear + 1;
        int next = clear + 2;
        int codeWidth = m + 1;
        std::uint32_t codeMask = (1u << codeWidth) - 1;
        int prev = -1;
        std::uint32_t prevPosition = 0;
        std::uint32_t prevLength = 0;
        std::size_t filled = 0;                      // in the window
        const std::uint8_t* const data = in.Data();  // the reader's buffer stays where it is
        BitCursor at{0, in.Size(), FastLimit(in.Size())};
        bool corrupted = false;
        // Kept in locals: stores through the byte pointers could otherwise alias them.
        const bool reporting = static_cast<bool>(progress_);
        std::size_t capacity = capacity_;
        std::size_t left = total - stored_;  // pixels not yet in the window or the bitmap
        while (filled < left) {
            if (at.bitPos >= at.fast) [[unlikely]] {
                at = MoreData(in, at);
                if (at.bitPos + codeWidth > at.dataSize * 8) {
                    corrupted = true;
                    break;
                }
            }
            if (filled + kSlack > capacity) [[unlikely]] {
                out = Grow(filled, total, kSlack);
                capacity = capacity_;
            }
            std::uint64_t v;
            std::memcpy(&v, data + (at.bitPos >> 3), sizeof v);
            const int code = static_cast<int>((v >> (at.bitPos & 7)) & codeMask);
            at.bitPos += codeWidth;
            if (reporting) [[unlikely]]
                progress_(TProgressStage::psRunning,
                          position_.Percent(in.Base() + (at.bitPos + 7) / 8, encoded_.size()), {});
            const auto position = static_cast<std::uint32_t>(filled);
            if (code < clear) {
                out[filled++] = static_cast<std::uint8_t>(code);
                if (prev >= 0) AddEntry(t, next, codeWidth, codeMask, prevPosition, prevLength);
                prevLength = 1;
            } else if (code < next && code > end) {
                const DecodeEntry e = t[code];
                CopyString(out + filled, out + e.position, e.length);
                filled += e.length;
                if (prev >= 0) AddEntry(t, next, codeWidth, codeMask, prevPosition, prevLength);
                prevLength = e.length;
            } else if (code == clear) {
                next = clear + 2;
                codeWidth = m + 1;
                codeMask = (1u << codeWidth) - 1;
                prev = -1;
                // No entry reaches back past this point.
                filled = Flush(filled, total, false);
                left = total - stored_;
                continue;
            } else if (code == end) {
                break;
            } else if (code == next && prev >= 0) {
                // The string being defined: the previous one and its own first character.
                CopyString(out + filled, out + prevPosition, prevLength);
                out[filled + prevLength] = out[prevPosition];
                filled += prevLength + 1;
                AddEntry(t, next, codeWidth, codeMask, prevPosition, prevLength);
                prevLength += 1;
            } else {
                corrupted = true;
                break;
            }
            prev = code;
            prevPosition = position;
        }
        Flush(filled, total, true);
        return corrupted;
    }

    static void AddEntry(DecodeEntry* t, int& next, int& codeWidth, std::uint32_t& codeMask,
                         std::uint32_t position, std::uint32_t length) {
        if (next >= kMaxCodes) return;
        t[next].position = position;
        t[next].length = static_cast<std::uint16_t>(length + 1);
        ++next;
        if (next == (1 << codeWidth) && codeWidth < kMaxWidth) {
            ++codeWidth;
            codeMask = (1u << codeWidth) - 1;
        }
    }

    // Forward copy of an earlier part of the output, which lies wholly before dst; short
    // strings move as one 16-byte load (the window has room behind the end).
    static void CopyString(std::uint8_t* dst, const std::uint8_t* src, std::size_t n) {
        if (n <= 16) {
            std::uint8_t chunk[16];
            std::memcpy(chunk, src, 16);
            std::memcpy(dst, chunk, 16);
        } else {
            std::memcpy(dst, src, n);
        }
    }

    // A window twice as large (up to what the rest of the picture needs), for data that
    // goes long without a clear code.
    std::uint8_t* Grow(std::size_t filled, std::size_t total, std::size_t slack) {
        const std::size_t want =
            std::max(std::min(2 * capacity_, total - stored_ + slack), filled + slack);
        std::uint8_t* window = buffers_.ReserveWindow(want, true);
        capacity_ = buffers_.WindowSize();
        return window;
    }

    // Moves the complete rows of the window into the bitmap (every row at the end, a partial
    // last one keeping what it got) and returns what is left in the window.
    std::size_t Flush(std::size_t filled, std::size_t total, bool last) {
        const std::size_t width = static_cast<std::size_t>(dib_.Width());
        const std::size_t usable = std::min(filled, total - stored_);
        const std::size_t count = last ? usable : usable / width * width;
        std::uint8_t* const window = buffers_.Window();
        const std::uint8_t* pixels = window;
        for (std::size_t at = 0; at < count && !rows_.Finished(); at += width, rows_.Advance()) {
            const int n = static_cast<int>(std::min(width, count - at));
            PackRow(pixels + at, n, dib_.BitCount(), mask_, dib_.ScanLine(rows_.Row()));
        }
        stored_ += count;
        if (last) return 0;
        std::memmove(window, window + count, filled - count);
        return filled - count;
    }

    std::span<const std::uint8_t> encoded_;
    DecodeBuffers& buffers_;
    TDib& dib_;
    std::uint8_t mask_;
    RowOrder rows_;
    const TProgressHandler& progress_;
    EncodedPosition position_;
    std::size_t capacity_ = 0;  // of the window
    std::size_t stored_ = 0;    // pixels already in the bitmap
};

}  // namespace

bool LzwDecode(std::span<const std::uint8_t> encoded, TDib& dib, int bitsPerPixel, bool interlaced,
               bool tolerant, const TProgressHandler& progress) {
    if (progress) progress(TProgressStage::psStarting, 0, {});
    bool corrupted = false;
    try {
        if (encoded.empty()) RaiseGif(strings::kCodeSizeId, strings::kCodeSize);
        BorrowedBuffers buffers;
        corrupted = Decoder(encoded, dib, bitsPerPixel, interlaced, progress, *buffers).Run();
        if (corrupted && !tolerant) RaiseGif(strings::kCorruptDataId, strings::kCorruptData);
    } catch (const std::exception& e) {
        if (progress) progress(TProgressStage::psEnding, 0, e.what());
        throw;
    }
    if (progress) progress(TProgressStage::psEnding, 100, {});
    return corrupted;
}

}  // namespace gifcodec
