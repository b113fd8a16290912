#include "gif/codec/lzw.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "gif/codec/giferrors.h"

namespace gifcodec {

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxWidth = 12;

// Image rows in output order: top to bottom, or the four interlace passes.
class RowOrder {
  public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int Row() const { return row_; }
    bool Finished() const { return done_ >= height_; }
    int Done() const { return done_; }
    void Advance() {
        ++done_;
        if (!interlaced_) {
            ++row_;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= height_ && pass_ < 3) row_ = kStart[++pass_];
    }

  private:
    int height_;
    bool interlaced_;
    int pass_ = 0;
    int row_ = 0;
    int done_ = 0;
};

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

struct DecodeTables {
    std::uint16_t prefix[kMaxCodes];
    std::uint16_t length[kMaxCodes];
    std::uint8_t suffix[kMaxCodes];
    std::uint8_t first[kMaxCodes];
};

class Decoder {
  public:
    Decoder(std::span<const std::uint8_t> encoded, TDib& dib, int bitsPerPixel, bool interlaced,
            const TProgressHandler& progress)
        : encoded_(encoded),
          dib_(dib),
          mask_(static_cast<std::uint8_t>((1u << bitsPerPixel) - 1)),
          rows_(dib.Height(), interlaced),
          progress_(progress) {}

    // Returns the corrupted flag.
    bool Run() {
        const int m = encoded_[0];
        if (m < 2 || m > 9) RaiseGif(strings::kCodeSizeId, strings::kCodeSize);
        if (dib_.Width() <= 0 || dib_.Height() <= 0) return false;
        Deblock();
        const int width = dib_.Width();
        // A whole row plus the longest possible string.
        std::vector<std::uint8_t> line(static_cast<std::size_t>(width) + kMaxCodes + 8);
        auto tables = std::make_unique<DecodeTables>();
        DecodeTables& t = *tables;
        const int clear = 1 << m;
        const int end = clear + 1;
        for (int i = 0; i < clear; ++i) {
            t.prefix[i] = 0;
            t.length[i] = 1;
            t.suffix[i] = t.first[i] = static_cast<std::uint8_t>(i);
        }
        int next = clear + 2;
        int codeWidth = m + 1;
        int prev = -1;
        std::size_t fill = 0;
        const std::uint8_t* data = data_.data();
        const std::uint64_t totalBits = static_cast<std::uint64_t>(dataSize_) * 8;
        std::uint64_t bitPos = 0;
        bool corrupted = false;
        // A partial row of an ended or damaged image keeps what it got.
        auto flushPartial = [&] {
            if (fill > 0 && !rows_.Finished())
                PackRow(line.data(), static_cast<int>(std::min<std::size_t>(fill, width)),
                        dib_.BitCount(), mask_, dib_.ScanLine(rows_.Row()));
        };
        while (true) {
            if (bitPos + codeWidth > totalBits) {
                corrupted = true;
                break;
            }
            std::uint64_t v;
            std::memcpy(&v, data + (bitPos >> 3), sizeof v);
            const int code = static_cast<int>((v >> (bitPos & 7)) & ((1u << codeWidth) - 1));
            bitPos += codeWidth;
            if (progress_)
                progress_(TProgressStage::psRunning,
                          position_.Percent((bitPos + 7) / 8, encoded_.size()), {});
            if (code == clear) {
                next = clear + 2;
                codeWidth = m + 1;
                prev = -1;
                continue;
            }
            if (code == end) break;
            if (prev < 0) {
                if (code >= clear) {
                    corrupted = true;
                    break;
                }
            } else if (code < next || code == next) {
                if (next < kMaxCodes) {
                    const int pfx = prev;
                    t.prefix[next] = static_cast<std::uint16_t>(pfx);
                    t.suffix[next] = code == next ? t.first[pfx] : t.first[code];
                    t.first[next] = t.first[pfx];
                    t.length[next] = static_cast<std::uint16_t>(t.length[pfx] + 1);
                    ++next;
                    if (next == (1 << codeWidth) && codeWidth < kMaxWidth) ++codeWidth;
                }
            } else {
                corrupted = true;
                break;
            }
            prev = code;
            // Strings come out last character first, straight into the line.
            const int len = t.length[code];
            std::uint8_t* p = line.data() + fill + len - 1;
            for (int c = code, k = len; k > 0; --k) {
                *p-- = t.suffix[c];
                c = t.prefix[c];
            }
            fill += len;
            while (fill >= static_cast<std::size_t>(width)) {
                PackRow(line.data(), width, dib_.BitCount(), mask_, dib_.ScanLine(rows_.Row()));
                rows_.Advance();
                fill -= width;
                if (rows_.Finished()) return false;
                if (fill) std::memmove(line.data(), line.data() + width, fill);
            }
        }
        flushPartial();
        return corrupted;
    }

  private:
    // Joins the data sub-blocks; a block cut short by the end of the data keeps what is there.
    void Deblock() {
        data_.resize(encoded_.size() + 8);
        std::size_t i = 1;
        while (i < encoded_.size()) {
            const std::size_t len = encoded_[i];
            if (len == 0) break;
            const std::size_t avail = std::min(len, encoded_.size() - i - 1);
            if (progress_) position_.BlockStartsAt(dataSize_);
            std::memcpy(data_.data() + dataSize_, encoded_.data() + i + 1, avail);
            dataSize_ += avail;
            i += 1 + len;
        }
    }

    std::span<const std::uint8_t> encoded_;
    TDib& dib_;
    std::uint8_t mask_;
    RowOrder rows_;
    const TProgressHandler& progress_;
    std::vector<std::uint8_t> data_;  // 8 spare zero bytes let codes load as one word
    std::size_t dataSize_ = 0;
    EncodedPosition position_;
};

// Packs codes least significant bit first into 255-byte sub-blocks.
class BlockWriter {
  public:
    explicit BlockWriter(std::vector<std::uint8_t>& out) : out_(out) { StartBlock(); }
    void Put(unsigned code, int width) {
        acc_ |= static_cast<std::uint64_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            Byte(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    // The last bits, then the zero-length terminator (an unused length byte serves as it).
    void Finish() {
        if (bits_ > 0) Byte(static_cast<std::uint8_t>(acc_));
        if (blockBytes_ > 0) {
            out_[lengthAt_] = static_cast<std::uint8_t>(blockBytes_);
            out_.push_back(0);
        }
    }

  private:
    void StartBlock() {
        lengthAt_ = out_.size();
        out_.push_back(0);
        blockBytes_ = 0;
    }
    void Byte(std::uint8_t b) {
        out_.push_back(b);
        if (++blockBytes_ == 255) {
            out_[lengthAt_] = 255;
            StartBlock();
        }
    }

    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0;
    int bits_ = 0;
    std::size_t lengthAt_ = 0;
    int blockBytes_ = 0;
};

constexpr std::uint32_t kHashSlots = 17777;

struct EncodeTables {
    std::uint32_t key[kHashSlots];  // (prefix << 8 | character) + 1; 0 marks a free slot
    std::uint16_t code[kHashSlots];
    void Clear() { std::memset(key, 0, sizeof key); }
};

void UnpackRow(const std::uint8_t* src, int width, int depth, std::uint8_t* dst) {
    if (depth == 4) {
        for (int x = 0; x < width; ++x) dst[x] = (x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4;
    } else {
        for (int x = 0; x < width; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

}  // namespace

bool LzwDecode(std::span<const std::uint8_t> encoded, TDib& dib, int bitsPerPixel, bool interlaced,
               bool tolerant, const TProgressHandler& progress) {
    if (progress) progress(TProgressStage::psStarting, 0, {});
    bool corrupted = false;
    try {
        if (encoded.empty()) RaiseGif(strings::kCodeSizeId, strings::kCodeSize);
        corrupted = Decoder(encoded, dib, bitsPerPixel, interlaced, progress).Run();
        if (corrupted && !tolerant) RaiseGif(strings::kCorruptDataId, strings::kCorruptData);
    } catch (const std::exception& e) {
        if (progress) progress(TProgressStage::psEnding, 0, e.what());
        throw;
    }
    if (progress) progress(TProgressStage::psEnding, 100, {});
    return corrupted;
}

std::vector<std::uint8_t> LzwEncode(const TDib& dib, bool interlaced,
                                    const TProgressHandler& progress) {
    const int depth = dib.BitCount();
    if (depth != 1 && depth != 4 && depth != 8)
        RaiseGif(strings::kEncodingErrorId, strings::kEncodingError);
    if (progress) progress(TProgressStage::psStarting, 0, {});
    const int minimum = depth == 1 ? 2 : depth;
    const unsigned clear = 1u << minimum;
    const unsigned end = clear + 1;
    std::vector<std::uint8_t> out;
    const std::size_t pixels =
        static_cast<std::size_t>(std::max(0, dib.Width())) * std::max(0, dib.Height());
    out.reserve(pixels / 2 + 64);
    out.push_back(static_cast<std::uint8_t>(minimum));
    BlockWriter writer(out);
    auto tables = std::make_unique<EncodeTables>();
    EncodeTables& t = *tables;
    t.Clear();
    int width = minimum + 1;
    unsigned next = clear + 2;
    writer.Put(clear, width);

    std::vector<std::uint8_t> unpacked(depth == 8 ? 0 : dib.Width());
    int current = -1;  // code of the string being built, -1 before its first character
    std::uint32_t hash = 0;
    std::uint32_t length = 0;
    RowOrder rows(dib.Height(), interlaced);
    while (!rows.Finished()) {
        const std::uint8_t* row = dib.ScanLine(rows.Row());
        if (depth != 8) {
            UnpackRow(row, dib.Width(), depth, unpacked.data());
            row = unpacked.data();
        }
        for (int x = 0; x < dib.Width(); ++x) {
            const unsigned c = row[x];
            if (current < 0) {
                current = static_cast<int>(c);
                hash = c * 301 + 903;
                length = 1;
                continue;
            }
            const std::uint32_t h = ((c + length + 1 + 4) * hash) % kHashSlots;
            const std::uint32_t want = ((static_cast<std::uint32_t>(current) << 8) | c) + 1;
            std::uint32_t slot = h;
            while (t.key[slot] != 0 && t.key[slot] != want)
                slot = slot == kHashSlots - 1 ? 0 : slot + 1;
            if (t.key[slot] == want) {
                current = t.code[slot];
                hash = h;
                ++length;
                continue;
            }
            writer.Put(static_cast<unsigned>(current), width);
            t.key[slot] = want;
            t.code[slot] = static_cast<std::uint16_t>(next);
            const unsigned k = next++;
            current = static_cast<int>(c);
            hash = c * 301 + 903;
            length = 1;
            if (k == (1u << width)) {
                ++width;
            } else if (k > 4093) {
                writer.Put(c, width);
                writer.Put(clear, width);
                t.Clear();
                width = minimum + 1;
                next = clear + 2;
                current = -1;
            }
        }
        rows.Advance();
        if (progress) progress(TProgressStage::psRunning, rows.Done() * 100 / dib.Height(), {});
    }
    if (current >= 0) writer.Put(static_cast<unsigned>(current), width);
    writer.Put(end, width);
    writer.Finish();
    if (progress) progress(TProgressStage::psEnding, 100, {});
    return out;
}

}  // namespace gifcodec
