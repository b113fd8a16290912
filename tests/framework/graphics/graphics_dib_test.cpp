#include <gtest/gtest.h>

#include "framework/graphics/bitmapfile.h"
#include "tests/framework/graphics_testsupport.h"

using namespace fw;
using gfxtest::Dib;
using gfxtest::Rgb;

namespace {

TEST(GraphicsDib, OneBitBottomUpUsesPaletteAndMsbFirst) {
    // 10 x 2: stored bottom row first. Bottom row: pixels 0 and 9 set; top row: pixel 1.
    auto data = Dib(10, 2, 1, {0x000000FF, 0x00FF0000}, {{0x80, 0x40, 0, 0}, {0x40, 0x00, 0, 0}});
    DibImage d = ReadDibFile(data);
    EXPECT_EQ(d.bitCount, 1);
    ASSERT_EQ(d.image.size(), QSize(10, 2));
    EXPECT_EQ(Rgb(d.image, 1, 0), 0xFF0000u);  // top row from the last stored row
    EXPECT_EQ(Rgb(d.image, 0, 0), 0x0000FFu);
    EXPECT_EQ(Rgb(d.image, 0, 1), 0xFF0000u);
    EXPECT_EQ(Rgb(d.image, 9, 1), 0xFF0000u);
    EXPECT_EQ(Rgb(d.image, 8, 1), 0x0000FFu);
}

TEST(GraphicsDib, FourBitTopDownHighNibbleFirst) {
    std::vector<uint32_t> pal(16, 0);
    pal[1] = 0x00112233;
    pal[2] = 0x00445566;
    pal[15] = 0x00FFFFFF;
    // Negative height: rows in top-down order. 3 pixels: 1, 2, 15.
    auto data = Dib(3, -2, 4, pal, {{0x12, 0xF0, 0, 0}, {0x21, 0x00, 0, 0}});
    DibImage d = ReadDibFile(data);
    EXPECT_EQ(d.bitCount, 4);
    ASSERT_EQ(d.image.size(), QSize(3, 2));
    EXPECT_EQ(Rgb(d.image, 0, 0), 0x112233u);
    EXPECT_EQ(Rgb(d.image, 1, 0), 0x445566u);
    EXPECT_EQ(Rgb(d.image, 2, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(d.image, 0, 1), 0x445566u);
    EXPECT_EQ(Rgb(d.image, 2, 1), 0x000000u);
}

TEST(GraphicsDib, EightBitShortPaletteIndexesBeyondItAreBlack) {
    // clrUsed 2: only two entries stored; index 200 must not read garbage.
    auto data = Dib(2, 1, 8, {0x00FF0000, 0x0000FF00}, {{1, 200, 0, 0}}, 2);
    DibImage d = ReadDibFile(data);
    EXPECT_EQ(d.bitCount, 8);
    EXPECT_EQ(Rgb(d.image, 0, 0), 0x00FF00u);
    EXPECT_EQ(Rgb(d.image, 1, 0), 0x000000u);
}

TEST(GraphicsDib, TwentyFourBitRowsArePaddedAndBgr) {
    // 3 pixels = 9 bytes + 3 padding per row.
    auto data = Dib(3, 2, 24, {},
                    {{0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0, 0, 0},
                     {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0, 0, 0}});
    DibImage d = ReadDibFile(data);
    EXPECT_EQ(d.bitCount, 24);
    EXPECT_EQ(Rgb(d.image, 0, 1), 0xFF0000u);  // bottom row: red, green, blue
    EXPECT_EQ(Rgb(d.image, 1, 1), 0x00FF00u);
    EXPECT_EQ(Rgb(d.image, 2, 1), 0x0000FFu);
    EXPECT_EQ(Rgb(d.image, 0, 0), 0x302010u);
    EXPECT_EQ(Rgb(d.image, 2, 0), 0x908070u);
}

TEST(GraphicsDib, ThirtyTwoBitAlphaKeptOrOpaqueWhenAllZero) {
    auto withAlpha = Dib(2, 1, 32, {}, {{1, 2, 3, 0x80, 4, 5, 6, 0x00}});
    QImage a = ReadDibFile(withAlpha).image;
    EXPECT_EQ(qAlpha(a.pixel(0, 0)), 0x80);
    EXPECT_EQ(qAlpha(a.pixel(1, 0)), 0);
    EXPECT_EQ(Rgb(a, 0, 0), 0x030201u);

    auto noAlpha = Dib(2, 1, 32, {}, {{1, 2, 3, 0, 4, 5, 6, 0}});
    QImage b = ReadDibFile(noAlpha).image;
    EXPECT_EQ(qAlpha(b.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(b.pixel(1, 0)), 255);
}

TEST(GraphicsDib, CoreHeaderWithTriplePalette) {
    std::vector<uint8_t> b{'B', 'M'};
    gfxtest::Put32(b, 14 + 12 + 6 + 4);
    gfxtest::Put32(b, 0);
    gfxtest::Put32(b, 14 + 12 + 6);
    gfxtest::Put32(b, 12);
    gfxtest::Put16(b, 2);  // width
    gfxtest::Put16(b, 1);  // height
    gfxtest::Put16(b, 1);
    gfxtest::Put16(b, 1);                                                   // 1 bit
    for (uint8_t v : {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}) b.push_back(v);  // red, blue
    for (uint8_t v : {0x40, 0, 0, 0}) b.push_back(v);
    DibImage d = ReadDibFile(b);
    EXPECT_EQ(Rgb(d.image, 0, 0), 0xFF0000u);
    EXPECT_EQ(Rgb(d.image, 1, 0), 0x0000FFu);
}

TEST(GraphicsDib, RejectsDamagedOrUnsupportedData) {
    auto good = Dib(4, 4, 8, std::vector<uint32_t>(256, 0),
                    std::vector<std::vector<uint8_t>>(4, {0, 0, 0, 0}));
    ASSERT_NO_THROW(ReadDibFile(good));

    auto truncated = good;
    truncated.resize(truncated.size() - 1);
    EXPECT_THROW(ReadDibFile(truncated), EInvalidGraphic);

    auto notBmp = good;
    notBmp[0] = 'X';
    EXPECT_THROW(ReadDibFile(notBmp), EInvalidGraphic);

    auto rle = Dib(4, 4, 8, std::vector<uint32_t>(256, 0),
                   std::vector<std::vector<uint8_t>>(4, {0, 0, 0, 0}), 0, 1);
    EXPECT_THROW(ReadDibFile(rle), EInvalidGraphic);

    auto sixteen = Dib(2, 1, 16, {}, {{0, 0, 0, 0}});
    EXPECT_THROW(ReadDibFile(sixteen), EInvalidGraphic);

    // A huge declared size with a few bytes of data must fail, not allocate or over-read.
    auto huge = Dib(30000, 30000, 24, {}, {{0, 0, 0, 0}});
    EXPECT_THROW(ReadDibFile(huge), EInvalidGraphic);

    EXPECT_THROW(ReadDibFile({}), EInvalidGraphic);
    EXPECT_THROW(ReadDibFile({'B', 'M'}), EInvalidGraphic);
}

TEST(GraphicsDib, WriteThenReadKeepsPixelsForEveryBitCount) {
    QImage src(5, 3, QImage::Format_RGB32);
    const QRgb colors[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) src.setPixel(x, y, colors[(x + 2 * y) % 4]);
    for (int bits : {4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        auto bytes = WriteDibFile(src, bits);
        DibImage back = ReadDibFile(bytes);
        EXPECT_EQ(back.bitCount, bits);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(back.image.pixel(x, y) | 0xFF000000u, src.pixel(x, y));
    }
    // Two colours survive a 1-bit file.
    QImage bw(9, 2, QImage::Format_RGB32);
    for (int x = 0; x < 9; ++x) {
        bw.setPixel(x, 0, x % 3 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        bw.setPixel(x, 1, x % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
    DibImage mono = ReadDibFile(WriteDibFile(bw, 1));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(mono.image.pixel(x, y) | 0xFF000000u, bw.pixel(x, y));
}

TEST(GraphicsDib, WrittenLayoutOfAnEightBitImage) {
    QImage img(3, 2, QImage::Format_Indexed8);
    img.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    img.fill(1);
    auto b = WriteDibFile(img, 8);
    // 54 + 4 * 256 palette bytes, rows of 4 bytes.
    ASSERT_EQ(b.size(), 54u + 1024u + 8u);
    EXPECT_EQ(b[10] | (b[11] << 8), 54 + 1024);
    EXPECT_EQ(b[28], 8);
    EXPECT_EQ(b[54], 3);  // palette entry 0 as blue, green, red
    EXPECT_EQ(b[56], 1);
    EXPECT_EQ(b[54 + 1024], 1);
    EXPECT_EQ(b[54 + 1024 + 3], 0);  // row padding
}

TEST(GraphicsDib, DamagedHeadersFailCleanly) {
    std::vector<uint32_t> pal(16, 0x00FFFFFF);
    auto good = Dib(5, 3, 4, pal, std::vector<std::vector<uint8_t>>(3, {0x12, 0x34, 0x50, 0}));
    // Every truncation, and every header byte set to extreme values, either reads or
    // throws EInvalidGraphic (the sanitizer build checks that nothing is read past the end).
    int failures = 0;
    for (size_t n = 0; n < good.size(); ++n) {
        Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        try {
            ReadDibFile(cut);
        } catch (const EInvalidGraphic&) {
            ++failures;
        }
    }
    EXPECT_EQ(failures, static_cast<int>(good.size()));  // a short file never reads
    for (size_t i = 2; i < 54; ++i)
        for (uint8_t v : {uint8_t{0}, uint8_t{0x7F}, uint8_t{0x80}, uint8_t{0xFF}}) {
            Bytes bad = good;
            bad[i] = v;
            try {
                DibImage d = ReadDibFile(bad);
                EXPECT_FALSE(d.image.isNull());
            } catch (const EInvalidGraphic&) {
            }
        }
}

}  // namespace

// Raw rows handed over and back, in both row orders and with padded rows; a palette colour
// and a 24-bit pixel keep red and blue apart.
TEST(GraphicsDib, PixelsHandedOverAndBackKeepTheirLayout) {
    for (const int bits : {1, 4, 8, 24}) {
        for (const bool bottomUp : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, bottomUp " << bottomUp);
            const int w = 5, h = 3;
            const PixelLayout layout{w, h, bits, static_cast<size_t>((w * bits + 7) / 8 + 3),
                                     bottomUp};
            std::vector<uint8_t> rows(layout.stride * h);
            for (size_t i = 0; i < rows.size(); ++i)
                rows[i] = i % layout.stride < static_cast<size_t>((w * bits + 7) / 8)
                              ? static_cast<uint8_t>(i * 37 + 1)
                              : 0;
            std::vector<TColor> palette;
            for (int i = 0; bits <= 8 && i < (1 << bits); ++i)
                palette.push_back(RGB(i, 0x22, 0xF0 - i));
            TBitmap bitmap;
            bitmap.LoadFromPixels(layout, rows.data(), palette);
            if (bits <= 8) {
                EXPECT_EQ(bitmap.Palette().at(1), RGB(1, 0x22, 0xEF));
            }
            std::vector<uint8_t> back(rows.size(), 0xAA);
            const std::vector<TColor> backPalette = bitmap.CopyPixels(layout, back.data());
            if (bits <= 8) {
                EXPECT_EQ(backPalette.size(), size_t{1} << bits);
                for (size_t i = 0; i < rows.size();
                     ++i)  // indices may be renumbered: compare colours
                    if (i % layout.stride == 0) {
                        EXPECT_EQ(backPalette.at(back[i] >> (8 - std::min(bits, 8))),
                                  palette.at(rows[i] >> (8 - std::min(bits, 8))));
                    }
            } else {
                EXPECT_EQ(back, rows);
                const uint8_t* top = rows.data() + (bottomUp ? layout.stride * (h - 1) : 0);
                EXPECT_EQ(Rgb(bitmap.Image(), 0, 0),
                          (uint32_t{top[2]} << 16) | (top[1] << 8) | top[0]);
            }
        }
    }
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromPixels({4, 2, 8, 3, false}, std::vector<uint8_t>(8).data(), {}),
                 EInvalidGraphic);
}
