// The LZW encoder: one string-table look-up per pixel, so the tables are built for that.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "gif/codec/decodebuffers.h"
#include "gif/codec/giferrors.h"
#include "gif/codec/lzw.h"
#include "gif/codec/roworder.h"

namespace gifcodec {

namespace {

// A new entry above this code makes the table start over (the format allows 4095).
constexpr std::uint32_t kLastCode = 4093;

// Packs codes least significant bit first, then cuts the bytes into 255-byte sub-blocks.
class BlockWriter {
  public:
    explicit BlockWriter(std::size_t maxBytes) : bytes_(new std::uint8_t[maxBytes + 8]) {}
    void Put(std::uint32_t code, int width) {
        acc_ |= static_cast<std::uint64_t>(code) << bits_;
        bits_ += width;
        if (bits_ >= 32) {
            for (int i = 0; i < 4; ++i)
                bytes_[size_++] = static_cast<std::uint8_t>(acc_ >> (8 * i));
            acc_ >>= 32;
            bits_ -= 32;
        }
    }
    // The last bits in a last short block, then the zero-length terminator.
    void Finish(std::vector<std::uint8_t>& out) {
        for (; bits_ > 0; bits_ -= 8, acc_ >>= 8) bytes_[size_++] = static_cast<std::uint8_t>(acc_);
        out.reserve(out.size() + size_ + size_ / 255 + 2);
        for (std::size_t i = 0; i < size_; i += 255) {
            const std::size_t n = std::min<std::size_t>(255, size_ - i);
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), bytes_.get() + i, bytes_.get() + i + n);
        }
        out.push_back(0);
    }

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
    std::uint64_t acc_ = 0;
    int bits_ = 0;
};

// A string extended by one character: its code (0 when the table lacks it; codes start
// above the end code) and the slot that holds it or would.
struct Lookup {
    std::uint32_t code;
    std::uint32_t slot;
};

// The table for up to 256 characters. A string's first extension is kept with the string
// (long runs of one colour extend each string once, and new strings have none): only the
// further ones go into an open-addressing hash of (prefix code, character) pairs. A hash
// slot holds (prefix << 8 | character) << 12 | code, so 0 marks a free slot; at most 4094
// strings in 2^14 slots, spread by a multiplicative hash, rarely probe a second slot.
class HashedStrings {
  public:
    void Start() { std::memset(first_, 0, 256 * sizeof first_[0]); }
    Lookup Find(std::uint32_t prefix, std::uint32_t c) const {
        const std::uint32_t first = first_[prefix];
        if ((first >> 12) == (c | 0x100)) return {first & 0xFFF, kNoSlot};
        if (first == 0) return {0, kFirst};
        const std::uint32_t key = prefix << 8 | c;
        std::uint32_t slot = (key * 0x9E3779B1u) >> (32 - kBits);
        while (true) {
            const std::uint32_t entry = slot_[slot];
            // A free slot reads as key 0 with code 0: not found, either way.
            if ((entry >> 12) == key || entry == 0) return {entry & 0xFFF, slot};
            slot = (slot + 1) & (kSlots - 1);
        }
    }
    void Add(const Lookup& at, std::uint32_t prefix, std::uint32_t c, std::uint32_t code) {
        if (at.slot == kFirst) {
            first_[prefix] = (c | 0x100) << 12 | code;
        } else {
            slot_[at.slot] = (prefix << 8 | c) << 12 | code;
            used_[count_++] = static_cast<std::uint16_t>(at.slot);
        }
        first_[code] = 0;
    }
    // Small frames cost the slots they filled, not the whole table.
    void Clear() {
        Start();
        if (count_ > kSlots / 8) {
            std::memset(slot_, 0, sizeof slot_);
        } else {
            for (std::uint32_t k = 0; k < count_; ++k) slot_[used_[k]] = 0;
        }
        count_ = 0;
    }

  private:
    static constexpr int kBits = 14;
    static constexpr std::uint32_t kSlots = 1u << kBits;
    static constexpr std::uint32_t kFirst = kSlots;  // the string's own first extension
    static constexpr std::uint32_t kNoSlot = kSlots + 1;
    // (character | 0x100) << 12 | code of each string's first extension, 0 for none.
    std::uint32_t first_[kMaxCodes] = {};
    std::uint32_t slot_[kSlots] = {};
    std::uint16_t used_[kMaxCodes] = {};
    std::uint32_t count_ = 0;
};

// The table for up to 16 characters: each code has a row of children, one per character,
// so a look-up is one load. A code's row is cleared when the code is given out, the single
// characters' rows when the table starts over.
class ChildStrings {
  public:
    void Start(std::uint32_t alphabet) {
        stride_ = alphabet;
        Clear();
    }
    Lookup Find(std::uint32_t prefix, std::uint32_t c) const {
        const std::uint32_t slot = prefix * stride_ + c;
        return {child_[slot], slot};
    }
    void Add(const Lookup& at, std::uint32_t, std::uint32_t, std::uint32_t code) {
        child_[at.slot] = static_cast<std::uint16_t>(code);
        // A widest row in one store; with narrower rows it also clears rows of codes not
        // given out yet, which are cleared again when they are.
        std::memset(child_ + code * stride_, 0, kWidest * sizeof child_[0]);
    }
    void Clear() { std::memset(child_, 0, stride_ * stride_ * sizeof child_[0]); }

  private:
    static constexpr std::uint32_t kWidest = 16;
    std::uint32_t stride_ = kWidest;
    std::uint16_t child_[kMaxCodes * kWidest] = {};
};

// One of each per thread, kept for the next frame: small frames then cost no more than the
// entries they make.
template <class Strings>
Strings& ThreadStrings() {
    thread_local const std::unique_ptr<Strings> strings(new Strings());
    return *strings;
}

// Leaves the thread's hashed table clean however the encoding ends.
struct CleanStrings {
    HashedStrings& strings;
    ~CleanStrings() { strings.Clear(); }
};

// Row y as one byte per pixel, each masked to the code size's characters (the codes of a
// larger value would be the clear and end codes, or outside the table).
class RowPixels {
  public:
    RowPixels(const TDib& dib, std::uint8_t mask)
        : dib_(dib), mask_(mask), buffer_(static_cast<std::size_t>(dib.Width()) + 8) {}

    const std::uint8_t* Row(int y) {
        const std::uint8_t* src = dib_.ScanLine(y);
        const int width = dib_.Width();
        std::uint8_t* out = buffer_.data();
        if (dib_.BitCount() == 8) {
            if (mask_ == 0xFF) return src;
            for (int x = 0; x < width; ++x) out[x] = src[x] & mask_;
            return out;
        }
        if (dib_.BitCount() == 4) {
            for (int i = 0; i < (width + 1) / 2; ++i) {
                out[2 * i] = (src[i] >> 4) & mask_;
                out[2 * i + 1] = src[i] & 0x0F & mask_;
            }
            return out;
        }
        static const auto kBits = [] {
            std::array<std::array<std::uint8_t, 8>, 256> t{};
            for (int b = 0; b < 256; ++b)
                for (int k = 0; k < 8; ++k) t[b][k] = static_cast<std::uint8_t>((b >> (7 - k)) & 1);
            return t;
        }();
        for (int i = 0; i < (width + 7) / 8; ++i) std::memcpy(out + 8 * i, kBits[src[i]].data(), 8);
        return out;
    }

  private:
    const TDib& dib_;
    std::uint8_t mask_;
    std::vector<std::uint8_t> buffer_;  // room for a whole last byte's pixels
};

// Codes for every row in output order; a full table is cleared and the strings start again.
template <class Strings>
void EncodeRows(const TDib& dib, bool interlaced, const TProgressHandler& progress, int minimum,
                BlockWriter& writer, Strings& strings) {
    const int w = dib.Width();
    const std::uint32_t clear = 1u << minimum;
    int width = minimum + 1;
    std::uint32_t next = clear + 2;
    writer.Put(clear, width);

    RowPixels pixels(dib, static_cast<std::uint8_t>(clear - 1));
    std::int32_t current = -1;  // code of the string being built, -1 before its first character
    RowOrder rows(dib.Height(), interlaced);
    while (!rows.Finished()) {
        const std::uint8_t* row = pixels.Row(rows.Row());
        int x = 0;
        if (current < 0 && w > 0) current = row[x++];
        for (; x < w; ++x) {
            const std::uint32_t c = row[x];
            const Lookup found = strings.Find(static_cast<std::uint32_t>(current), c);
            if (found.code != 0) {
                current = static_cast<std::int32_t>(found.code);
                continue;
            }
            writer.Put(static_cast<std::uint32_t>(current), width);
            strings.Add(found, static_cast<std::uint32_t>(current), c, next);
            const std::uint32_t k = next++;
            current = static_cast<std::int32_t>(c);
            if (k == (1u << width)) {
                ++width;
            } else if (k > kLastCode) {
                writer.Put(c, width);
                writer.Put(clear, width);
                strings.Clear();
                width = minimum + 1;
                next = clear + 2;
                // The next pixel begins a new string.
                current = ++x < w ? row[x] : -1;
            }
        }
        rows.Advance();
        if (progress) progress(TProgressStage::psRunning, rows.Done() * 100 / dib.Height(), {});
    }
    if (current >= 0) writer.Put(static_cast<std::uint32_t>(current), width);
    writer.Put(clear + 1, width);
}

}  // namespace

std::vector<std::uint8_t> LzwEncode(const TDib& dib, bool interlaced,
                                    const TProgressHandler& progress, int codeSize) {
    const int depth = dib.BitCount();
    if (depth != 1 && depth != 4 && depth != 8)
        RaiseGif(strings::kEncodingErrorId, strings::kEncodingError);
    if (progress) progress(TProgressStage::psStarting, 0, {});
    const int minimum = codeSize > 0 ? std::clamp(codeSize, 2, 8) : depth == 1 ? 2 : depth;
    const std::size_t pixels =
        static_cast<std::size_t>(std::max(0, dib.Width())) * std::max(0, dib.Height());
    // At most one code per pixel, plus two for every clear, each of at most 12 bits.
    BlockWriter writer(pixels * 2 + pixels / 1000 * 4 + 64);
    if (minimum <= 4) {
        ChildStrings& strings = ThreadStrings<ChildStrings>();
        strings.Start(1u << minimum);
        EncodeRows(dib, interlaced, progress, minimum, writer, strings);
    } else {
        HashedStrings& strings = ThreadStrings<HashedStrings>();
        strings.Start();
        const CleanStrings clean{strings};
        EncodeRows(dib, interlaced, progress, minimum, writer, strings);
    }
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(minimum)};
    writer.Finish(out);
    if (progress) progress(TProgressStage::psEnding, 100, {});
    return out;
}

}  // namespace gifcodec
