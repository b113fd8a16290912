#pragma once
// Helpers for the graphics tests: a Qt application (made once, only when nobody else made
// one) and byte builders for BMP file images.
#include <QApplication>
#include <cstdint>
#include <vector>

#include "framework/graphics/graphics.h"
#include "framework/graphics/qtgraphics.h"
#include "platform/bytes.h"
#include "tests/support/qtapp.h"

namespace gfxtest {

inline void EnsureApp() {
    testsupport::EnsureQtApp();
    fw::RegisterGraphicsClasses();
}

inline void Put16(std::vector<uint8_t>& b, uint32_t v) { platform::AppendLE16(b, v); }
inline void Put32(std::vector<uint8_t>& b, uint32_t v) { platform::AppendLE32(b, v); }

// A BMP file image with a 40-byte info header. rows are the stored rows in file order,
// each already padded to 4 bytes; palette entries are 0x00RRGGBB.
inline std::vector<uint8_t> Dib(int width, int height, int bits,
                                const std::vector<uint32_t>& palette,
                                const std::vector<std::vector<uint8_t>>& rows, uint32_t clrUsed = 0,
                                uint32_t compression = 0) {
    std::vector<uint8_t> b;
    uint32_t pixels = 0;
    for (const auto& r : rows) pixels += static_cast<uint32_t>(r.size());
    uint32_t off = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    b.push_back('B');
    b.push_back('M');
    Put32(b, off + pixels);
    Put32(b, 0);
    Put32(b, off);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    Put32(b, compression);
    Put32(b, pixels);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, clrUsed);
    Put32(b, 0);
    for (uint32_t c : palette) Put32(b, c);
    for (const auto& r : rows) b.insert(b.end(), r.begin(), r.end());
    return b;
}

// The pixel as 0xRRGGBB.
inline uint32_t Rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

}  // namespace gfxtest
