// The About window's pictures: its background tile and the pointing hand of its links.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "tools/artgen/artwork.h"

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A repeatable hash noise in [0, 1).
double Noise(int x, int y) {
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<double>((h ^ (h >> 16)) & 0xFFFF) / 65536.0;
}

}  // namespace

Image MakeAboutTile() {
    constexpr int kSize = kAboutTileSize, kGreys = 20;
    // Dark greys: slow waves whose periods divide the tile, so its edges meet seamlessly,
    // with a little grain.
    std::vector<double> field(kSize * kSize);
    double lo = 1e9, hi = -1e9;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double a = 2 * kPi * x / kSize, b = 2 * kPi * y / kSize;
            double v = 0.45 * std::sin(a + b) + 0.3 * std::sin(2 * a - b) + 0.2 * std::cos(3 * b) +
                       0.35 * Noise(x, y);
            field[static_cast<std::size_t>(y * kSize + x)] = v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    const Rgb darkest{26, 28, 31}, lightest{60, 64, 69};
    Image tile(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double t = (field[static_cast<std::size_t>(y * kSize + x)] - lo) / (hi - lo);
            const int level = std::min(kGreys - 1, static_cast<int>(t * kGreys));
            tile.Set(x, y, Mix(darkest, lightest, static_cast<double>(level) / (kGreys - 1)));
        }
    // Pale liquid-crystal greens: small diamonds on a 16-pixel grid, five shades.
    const Rgb greens[5] = {
        {78, 94, 80}, {98, 116, 96}, {120, 138, 112}, {146, 164, 132}, {172, 190, 150}};
    for (int gy = 0; gy < kSize / 16; ++gy)
        for (int gx = 0; gx < kSize / 16; ++gx) {
            const Rgb c = greens[(gx + 2 * gy) % 5];
            const int cx = gx * 16 + 8, cy = gy * 16 + 8;
            tile.Set(cx, cy, c);
            if ((gx + gy) % 2 == 0) {
                tile.Set(cx - 1, cy, greens[0]);
                tile.Set(cx + 1, cy, greens[0]);
                tile.Set(cx, cy - 1, greens[0]);
                tile.Set(cx, cy + 1, greens[0]);
            }
        }
    return tile;
}

Image MakeHandCursor() {
    // B black, W white, anything else transparent; the fingertip sits at the hot spot.
    static const char* const kHand[] = {
        ".BBBB",
        "BWWWWB",
        "BWWWWB",
        "BWWWWB",
        "BWWWWB",
        "BWWWWBBB",
        "BWWWWBWWBBB",
        "BWWWWBWWBWWBBB",
        "BWWWWBWWBWWBWWB",
        "BWWWWBWWBWWBWWWB",
        "BWWWWWWWWWWWWWWB",
        "BWWWWWWWWWWWWWWB",
        "BWWWWWWWWWWWWWWB",
        "BWWWWWWWWWWWWWWB",
        ".BWWWWWWWWWWWWWB",
        ".BWWWWWWWWWWWWB",
        "..BWWWWWWWWWWWB",
        "..BWWWWWWWWWWWB",
        "...BWWWWWWWWWB",
        "...BWWWWWWWWWB",
        "...BBBBBBBBBBB",
    };
    constexpr int kSize = kCursorSize;
    // The AND mask over the image: white in the mask is transparent.
    Image cursor(kSize, 2 * kSize, {255, 255, 255});
    cursor.Fill(0, kSize, kSize, kSize, {0, 0, 0});
    for (int y = 0; y < static_cast<int>(std::size(kHand)); ++y) {
        const std::string row = kHand[y];
        for (int x = 0; x < static_cast<int>(row.size()); ++x) {
            if (row[static_cast<std::size_t>(x)] != 'B' && row[static_cast<std::size_t>(x)] != 'W')
                continue;
            cursor.Set(x, y, {0, 0, 0});
            if (row[static_cast<std::size_t>(x)] == 'W') cursor.Set(x, kSize + y, {255, 255, 255});
        }
    }
    return cursor;
}

}  // namespace artgen
