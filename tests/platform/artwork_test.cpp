// The committed pictures in resources/art: sizes, formats, and the pieces that the windows
// draw over the skin at run time matching what lies beneath them.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "scratch.h"
#include "testpaths.h"

namespace {

struct Picture {
    int width = 0, height = 0, bits = 0;
    std::vector<std::array<std::uint8_t, 4>> pixels;  // r, g, b, a; top row first
    std::array<std::uint8_t, 4> At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y * width + x)];
    }
};

std::string ArtPath(const std::string& name) {
    return std::string(REZAZO_SOURCE_DIR) + "/resources/art/" + name;
}

std::uint32_t Le(const std::string& s, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | static_cast<std::uint8_t>(s[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

// Accepts only uncompressed bottom-up BMPs with a BITMAPINFOHEADER.
Picture LoadBmp(const std::string& name) {
    Picture p;
    const std::string s = testing_scratch::ReadAll(ArtPath(name));
    EXPECT_GE(s.size(), 54u) << name;
    if (s.size() < 54) return p;
    EXPECT_EQ(s.substr(0, 2), "BM") << name;
    EXPECT_EQ(Le(s, 2, 4), s.size()) << name;
    EXPECT_EQ(Le(s, 14, 4), 40u) << name << ": BITMAPINFOHEADER";
    EXPECT_EQ(Le(s, 26, 2), 1u) << name;
    EXPECT_EQ(Le(s, 30, 4), 0u) << name << ": BI_RGB";
    const auto height = static_cast<std::int32_t>(Le(s, 22, 4));
    EXPECT_GT(height, 0) << name << ": bottom-up";
    p.width = static_cast<int>(Le(s, 18, 4));
    p.height = height;
    p.bits = static_cast<int>(Le(s, 28, 2));
    const std::size_t offset = Le(s, 10, 4);
    const std::size_t bpp = static_cast<std::size_t>(p.bits) / 8;
    const std::size_t stride = (static_cast<std::size_t>(p.width) * bpp + 3) / 4 * 4;
    EXPECT_EQ(s.size(), offset + stride * static_cast<std::size_t>(p.height)) << name;
    if (s.size() < offset + stride * static_cast<std::size_t>(p.height) || bpp < 3) return p;
    for (int y = 0; y < p.height; ++y) {
        const std::size_t row = offset + stride * static_cast<std::size_t>(p.height - 1 - y);
        for (int x = 0; x < p.width; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(x) * bpp;
            auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(s[at + i]); };
            p.pixels.push_back({b(2), b(1), b(0), bpp == 4 ? b(3) : std::uint8_t{255}});
        }
    }
    return p;
}

Picture LoadPpm(const std::string& name) {
    Picture p;
    const std::string s = testing_scratch::ReadAll(ArtPath(name));
    const std::string header = "P6\n11 15\n255\n";
    EXPECT_EQ(s.substr(0, header.size()), header) << name;
    EXPECT_EQ(s.size(), header.size() + 11 * 15 * 3) << name;
    if (s.size() != header.size() + 11 * 15 * 3) return p;
    p.width = 11;
    p.height = 15;
    p.bits = 24;
    for (std::size_t i = header.size(); i < s.size(); i += 3) {
        p.pixels.push_back({static_cast<std::uint8_t>(s[i]), static_cast<std::uint8_t>(s[i + 1]),
                            static_cast<std::uint8_t>(s[i + 2]), 255});
    }
    return p;
}

// True when the part of big at (x, y) shows small's pixels exactly.
bool ShowsAt(const Picture& big, const Picture& small, int x, int y, int w, int h) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            if (big.At(x + i, y + j) != small.At(i, j)) return false;
        }
    }
    return true;
}

TEST(Artwork, FilesHaveTheirSizesAndFormats) {
    struct Expect {
        const char* name;
        int w, h, bits;
    };
    for (Expect e : {Expect{"skin_full.bmp", 165, 51, 24},
                     {"skin_compact.bmp", 165, 51, 24},
                     {"title_bright.bmp", 103, 14, 24},
                     {"title_dim.bmp", 103, 14, 24},
                     {"glyphs.bmp", 45, 8, 24},
                     {"trayicon.bmp", 32, 32, 32},
                     {"logskin.bmp", 142, 136, 24}}) {
        Picture p = LoadBmp(e.name);
        EXPECT_EQ(p.width, e.w) << e.name;
        EXPECT_EQ(p.height, e.h) << e.name;
        EXPECT_EQ(p.bits, e.bits) << e.name;
    }
}

TEST(Artwork, TrayIconHasTransparentAndOpaquePixels) {
    Picture icon = LoadBmp("trayicon.bmp");
    ASSERT_EQ(icon.pixels.size(), 32u * 32u);
    EXPECT_EQ(icon.At(0, 0)[3], 0);
    EXPECT_EQ(icon.At(16, 16)[3], 255);
}

TEST(Artwork, TitlesDifferClearly) {
    Picture bright = LoadBmp("title_bright.bmp"), dim = LoadBmp("title_dim.bmp");
    ASSERT_EQ(bright.pixels.size(), dim.pixels.size());
    int differing = 0;
    for (std::size_t i = 0; i < bright.pixels.size(); ++i)
        differing += bright.pixels[i] != dim.pixels[i];
    EXPECT_GT(differing, 200);
}

TEST(Artwork, IndicatorFramesShowTheStaircase) {
    // Bars of 9, 7, 5, 3 flush right, 3 rows each with 1-row gaps; top bars vanish first.
    const int shown[6] = {4, 3, 2, 1, 2, 3};
    const int length[4] = {9, 7, 5, 3};
    Picture skin = LoadBmp("skin_full.bmp");
    ASSERT_FALSE(skin.pixels.empty());
    const auto ground = skin.At(100, 40);
    for (int f = 0; f < 6; ++f) {
        Picture p = LoadPpm("indicator-" + std::to_string(f) + ".ppm");
        ASSERT_EQ(p.pixels.size(), 11u * 15u);
        for (int y = 0; y < 15; ++y) {
            const int bar = y / 4;
            const bool barRow = y % 4 != 3 && bar >= 4 - shown[f];
            for (int x = 0; x < 11; ++x) {
                const bool ink = barRow && x >= 11 - length[bar];
                EXPECT_EQ(p.At(x, y) != ground, ink) << "frame " << f << " at " << x << "," << y;
            }
        }
    }
}

TEST(Artwork, RunTimePiecesMatchTheSkinBeneathThem) {
    Picture full = LoadBmp("skin_full.bmp"), compact = LoadBmp("skin_compact.bmp");
    Picture title = LoadBmp("title_bright.bmp"), glyphs = LoadBmp("glyphs.bmp");
    ASSERT_FALSE(full.pixels.empty() || compact.pixels.empty() || title.pixels.empty() ||
                 glyphs.pixels.empty());
    EXPECT_TRUE(ShowsAt(full, title, 18, 3, 103, 14));

    auto glyph = [&](int index) {
        Picture g;
        g.width = 9;
        g.height = 8;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 9; ++x) g.pixels.push_back(glyphs.At(index * 9 + x, y));
        }
        return g;
    };
    for (auto [skin, top] : {std::pair{&full, 0}, {&compact, 13}}) {
        EXPECT_TRUE(ShowsAt(*skin, glyph(4), 2, top + 2, 9, 8)) << "system glyph";
        EXPECT_TRUE(ShowsAt(*skin, glyph(2), 147, top, 8, 8)) << "minimise, left of close";
        EXPECT_TRUE(ShowsAt(*skin, glyph(3), 155, top, 9, 8)) << "close";
    }
    // Pressed and released glyphs must look different.
    EXPECT_FALSE(ShowsAt(glyph(0), glyph(2), 0, 0, 9, 8));
    EXPECT_FALSE(ShowsAt(glyph(1), glyph(3), 0, 0, 9, 8));

    // The indicator's ground is the display's, and the display lies behind every text.
    Picture frame = LoadPpm("indicator-3.ppm");
    ASSERT_FALSE(frame.pixels.empty());
    const auto lcd = frame.At(0, 0);
    for (auto [x, y] : {std::pair{27, 23}, {27, 32}, {78, 31}, {144, 43}, {156, 46}, {142, 23}}) {
        EXPECT_EQ(full.At(x, y), lcd) << x << "," << y;
    }
    EXPECT_EQ(compact.At(22, 20), lcd);

    // The log window's close glyph shows the released minimise picture until pressed; its
    // skin lies one pixel in from the window's corner.
    Picture log = LoadBmp("logskin.bmp");
    ASSERT_FALSE(log.pixels.empty());
    EXPECT_TRUE(ShowsAt(log, glyph(2), 130, 1, 9, 8));
    EXPECT_EQ(compact.At(130, 29), lcd);
}

}  // namespace
