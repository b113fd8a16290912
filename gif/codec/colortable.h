#pragma once
// Colours as 0x00BBGGRR values and the GIF colour table record.
#include <array>
#include <cstdint>

namespace gifcodec {

using TColor = std::uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clFuchsia = 0x00FF00FF;

constexpr TColor Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned RedOf(TColor c) { return c & 0xFF; }
constexpr unsigned GreenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(TColor c) { return (c >> 16) & 0xFF; }

struct ColorTable {
    std::int32_t count = 0;                                  // 0: there is no table
    std::array<std::array<std::uint8_t, 3>, 256> entries{};  // red, green, blue

    TColor Color(int i) const { return Rgb(entries[i][0], entries[i][1], entries[i][2]); }
    // First entry holding the colour, or -1.
    int IndexOf(TColor c) const {
        for (int i = 0; i < count; ++i)
            if (Color(i) == (c & 0xFFFFFF)) return i;
        return -1;
    }
};

// Bits needed for a power-of-two colour count 2..256, or 0 for any other count.
constexpr int BitsForPowerOfTwoCount(int count) {
    for (int bits = 1; bits <= 8; ++bits)
        if (count == (1 << bits)) return bits;
    return 0;
}

// Smallest n >= 1 with 2^n >= count.
constexpr int BitsToHold(int count) {
    int n = 1;
    while (n < 8 && (1 << n) < count) ++n;
    return n;
}

}  // namespace gifcodec
