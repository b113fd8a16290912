#pragma once
// The LZW decoder's buffers, kept for the thread's next frame: allocating them for every
// frame (the larger ones mapped and unmapped by the allocator) cost about a third of the
// decoding time of a picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace gifcodec {

inline constexpr int kMaxCodes = 4096;
// The data sub-blocks are joined this many bytes at a time.
inline constexpr std::size_t kBlockChunk = std::size_t{1} << 16;
// A chunk, the rest of a block that began in it, and 8 spare bytes for whole-word loads.
inline constexpr std::size_t kBlockBufferSize = kBlockChunk + 255 + 8;

// A string of the decoder's table: where it starts in the window, and its length.
struct DecodeEntry {
    std::uint32_t position;
    std::uint16_t length;
};

class DecodeBuffers {
  public:
    // A window larger than this goes back to the allocator after the frame.
    static constexpr std::size_t kKeptWindow = std::size_t{4} << 20;

    DecodeBuffers();

    std::uint8_t* Block() { return block_.get(); }
    DecodeEntry* Table() { return table_.get(); }
    std::uint8_t* Window() { return window_.get(); }
    std::size_t WindowSize() const { return windowSize_; }
    // At least size bytes; keeps the window's contents only when keep is set.
    std::uint8_t* ReserveWindow(std::size_t size, bool keep);
    void Trim();

  private:
    struct Free {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t[]> block_;
    std::unique_ptr<DecodeEntry[]> table_;
    std::unique_ptr<std::uint8_t, Free> window_;
    std::size_t windowSize_ = 0;
};

// The thread's buffers while no other decode of the thread holds them; a decode started from
// inside another one, by a progress handler, gets buffers of its own.
class BorrowedBuffers {
  public:
    BorrowedBuffers();
    ~BorrowedBuffers();
    BorrowedBuffers(const BorrowedBuffers&) = delete;
    BorrowedBuffers& operator=(const BorrowedBuffers&) = delete;
    DecodeBuffers& operator*() { return *buffers_; }

  private:
    std::unique_ptr<DecodeBuffers> own_;
    DecodeBuffers* buffers_ = nullptr;
};

}  // namespace gifcodec
