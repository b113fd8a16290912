// Reducing deep bitmaps to 8 bits before encoding.
#include "gif/codec/reduce.h"

#include <gtest/gtest.h>

#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"

using namespace gifcodec;

namespace {

void Put(TDib& dib, int x, int y, unsigned r, unsigned g, unsigned b) {
    std::uint8_t* p = dib.ScanLine(y) + x * (dib.BitCount() / 8);
    p[0] = static_cast<std::uint8_t>(b);
    p[1] = static_cast<std::uint8_t>(g);
    p[2] = static_cast<std::uint8_t>(r);
}

}  // namespace

TEST(GifReduce, GreyLevels) {
    TDib rgb(2, 1, 24);
    Put(rgb, 0, 0, 255, 0, 0);
    Put(rgb, 1, 0, 10, 200, 30);
    const TDib grey = ReduceToGrayscale(rgb);
    EXPECT_EQ(grey.BitCount(), 8);
    EXPECT_EQ(grey.PixelIndex(0, 0), (255u * 77) >> 8);
    EXPECT_EQ(grey.PixelIndex(1, 0), (10u * 77 + 200 * 150 + 30 * 29) >> 8);
    EXPECT_EQ(grey.PaletteColor(200), Rgb(200, 200, 200));
}

TEST(GifReduce, FewColoursKeptExactlyMostFrequentFirst) {
    TDib rgb(4, 2, 32);
    const unsigned colours[8][3] = {{1, 2, 3}, {9, 9, 9},   {9, 9, 9}, {1, 2, 3},
                                    {9, 9, 9}, {200, 0, 0}, {7, 7, 7}, {200, 0, 0}};
    for (int i = 0; i < 8; ++i) Put(rgb, i % 4, i / 4, colours[i][0], colours[i][1], colours[i][2]);
    const TDib out = ReduceByHistogram(rgb);
    // Counted bottom row first: (9,9,9) x3, then (200,0,0) and (1,2,3) x2 in the order seen.
    EXPECT_EQ(out.PaletteColor(0), Rgb(9, 9, 9));
    EXPECT_EQ(out.PaletteColor(1), Rgb(200, 0, 0));
    EXPECT_EQ(out.PaletteColor(2), Rgb(1, 2, 3));
    EXPECT_EQ(out.PaletteColor(3), Rgb(7, 7, 7));
    EXPECT_EQ(out.PaletteColor(4), Rgb(128, 128, 128));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out.PixelColor(i % 4, i / 4), Rgb(colours[i][0], colours[i][1], colours[i][2]));
}

TEST(GifReduce, TooManyColoursDropLowBitsBlueThenRed) {
    // 2050 distinct colours: the blue bit alone does not merge any, so red goes next.
    TDib rgb(2050, 1, 24);
    for (int i = 0; i < 2049; ++i) Put(rgb, i, 0, i & 0xFF, i >> 8, 0);
    Put(rgb, 2049, 0, 1, 8, 1);
    const TDib out = ReduceByHistogram(rgb);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(RedOf(out.PaletteColor(i)) & 1, 0u) << i;
        EXPECT_EQ(BlueOf(out.PaletteColor(i)) & 1, 0u) << i;
    }
    // (3, 0, 0) merged with (2, 0, 0): most frequent, counted first.
    EXPECT_EQ(out.PaletteColor(0), Rgb(0, 0, 0));
    EXPECT_EQ(out.PixelColor(3, 0), Rgb(2, 0, 0));
    // A colour that missed the palette goes to the nearest entry.
    const TColor far = out.PixelColor(2040, 0);
    EXPECT_LE(GreenOf(far), 7u);
}

TEST(GifReduce, InvalidSources) {
    EXPECT_THROW(ReduceByHistogram(TDib()), EInvalidGraphic);
    EXPECT_THROW(ReduceToGrayscale(TDib(0, 4, 24)), EInvalidGraphic);
    try {
        ReduceByHistogram(TDib(2, 2, 16));
        FAIL();
    } catch (const EAbortWithMessage& e) {
        EXPECT_STREQ(e.what(), "Function not yet implemented");
    }
}

TEST(GifReduce, EncodingDeepBitmapUsesGreyWhenAsked) {
    TDib rgb(3, 1, 24);
    Put(rgb, 0, 0, 0, 255, 0);
    TGIFImageCore image;
    TGIFFrame& frame = image.AddFrame(rgb);
    frame.SetGrayscale(true);
    TGIFImageCore back;
    back.LoadFromBytes(image.SaveToBytes());
    EXPECT_EQ(back.Data().colors.count, 256);
    EXPECT_EQ(back.Frame(0).Item().encoded->front(), 8);
    EXPECT_EQ(back.Frame(0).Bitmap().PixelColor(0, 0), Rgb(149, 149, 149));
    EXPECT_TRUE(frame.Grayscale());
}
