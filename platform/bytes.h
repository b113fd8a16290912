#pragma once
// Little-endian fields of the binary formats the program reads and writes, and the two
// headers of an uncompressed bitmap file. Every file format goes through these.
#include <cstddef>
#include <cstdint>

namespace platform {

inline std::uint16_t GetLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void SetLE16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void SetLE32(std::uint8_t* p, std::uint32_t v) {
    SetLE16(p, v & 0xFFFF);
    SetLE16(p + 2, v >> 16);
}
// Appends to a byte vector or a std::string.
template <class Buffer>
void AppendLE16(Buffer& out, std::uint32_t v) {
    using T = typename Buffer::value_type;
    out.push_back(static_cast<T>(v & 0xFF));
    out.push_back(static_cast<T>((v >> 8) & 0xFF));
}
template <class Buffer>
void AppendLE32(Buffer& out, std::uint32_t v) {
    AppendLE16(out, v & 0xFFFF);
    AppendLE16(out, v >> 16);
}
// Big-endian, for the one format that wants it (PNG, the desktop icons).
template <class Buffer>
void AppendBE32(Buffer& out, std::uint32_t v) {
    using T = typename Buffer::value_type;
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<T>((v >> shift) & 0xFF));
}

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpInfoHeaderSize = 40;
inline constexpr std::size_t kBmpHeadersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;

struct BmpLayout {
    std::uint32_t width;
    std::uint32_t height;  // rows stored bottom-up
    unsigned bitCount;
    std::uint32_t paletteEntries;  // 4 bytes each, right after the headers
    std::uint32_t imageBytes;
};

// Writes the "BM" file header and an uncompressed 40-byte info header at 96 dots per inch
// into the kBmpHeadersSize bytes at p; the palette and the pixels follow.
inline void WriteBmpHeaders(std::uint8_t* p, const BmpLayout& b) {
    const std::uint32_t offBits =
        static_cast<std::uint32_t>(kBmpHeadersSize) + 4 * b.paletteEntries;
    p[0] = 'B';
    p[1] = 'M';
    SetLE32(p + 2, offBits + b.imageBytes);
    SetLE32(p + 6, 0);
    SetLE32(p + 10, offBits);
    std::uint8_t* info = p + kBmpFileHeaderSize;
    SetLE32(info, kBmpInfoHeaderSize);
    SetLE32(info + 4, b.width);
    SetLE32(info + 8, b.height);
    SetLE16(info + 12, 1);
    SetLE16(info + 14, b.bitCount);
    SetLE32(info + 16, 0);  // no compression
    SetLE32(info + 20, b.imageBytes);
    SetLE32(info + 24, 3780);  // 96 dots per inch in pixels per metre
    SetLE32(info + 28, 3780);
    SetLE32(info + 32, 0);
    SetLE32(info + 36, 0);
}

}  // namespace platform
