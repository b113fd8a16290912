// Turning a frame's encoded data into its bitmap: code sizes, depths, interlace, damage.
#include <gtest/gtest.h>

#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "gif/codec/lzw.h"
#include "tests/gif/codec/gifbuilder.h"

using namespace gifcodec;
using giftest::GifBuilder;
using giftest::LiteralImage;
using giftest::PackCodes;

namespace {

// Loads a one-frame picture without decoding it.
void LoadFrame(TGIFImageCore& image, int width, int height, int bits, const giftest::Bytes& data,
               int packed = 0) {
    image.LoadFromBytes(GifBuilder()
                            .Header("GIF89a", width, height, bits)
                            .Image(0, 0, width, height, packed)
                            .Raw(data)
                            .Trailer()
                            .bytes(),
                        false);
}

}  // namespace

TEST(GifDecoder, CodeSizeOutsideTwoToNineFails) {
    for (int size : {0, 1, 10, 12}) {
        TGIFImageCore image;
        LoadFrame(image, 1, 1, 8, {static_cast<std::uint8_t>(size), 1, 0, 0});
        try {
            image.Frame(0).Bitmap();
            ADD_FAILURE() << "size " << size << " accepted";
        } catch (const EInvalidGraphicOperation& e) {
            EXPECT_STREQ(e.what(), "GIF code size not in range 2 to 9");
        }
    }
}

TEST(GifDecoder, CodeSizeNineDecodesAndMasksToFramesBits) {
    TGIFImageCore image;
    LoadFrame(image, 3, 1, 8, LiteralImage(9, {7, 300, 511}));
    const TDib& bmp = image.Frame(0).Bitmap();
    EXPECT_FALSE(image.Frame(0).Corrupted());
    EXPECT_EQ(bmp.PixelIndex(0, 0), 7u);
    EXPECT_EQ(bmp.PixelIndex(1, 0), 300u & 0xFF);
    EXPECT_EQ(bmp.PixelIndex(2, 0), 511u & 0xFF);
}

TEST(GifDecoder, DepthFollowsBitsPerPixel) {
    struct Case {
        int bits;
        int depth;
    };
    for (Case c : {Case{1, 1}, Case{2, 4}, Case{3, 4}, Case{4, 4}, Case{5, 8}, Case{8, 8}}) {
        TGIFImageCore image;
        LoadFrame(image, 3, 2, c.bits, LiteralImage(std::max(2, c.bits), {1, 0, 1, 0, 1, 1}));
        const TDib& bmp = image.Frame(0).Bitmap();
        EXPECT_EQ(bmp.BitCount(), c.depth) << "bits " << c.bits;
        EXPECT_EQ(bmp.PaletteSize(), 1 << c.depth);
        EXPECT_EQ(bmp.Stride(), 4u);
        // First image row is the last row of the bottom-up block.
        const std::uint8_t* bottom = bmp.Pixels();
        const std::uint8_t* top = bmp.Pixels() + bmp.Stride();
        if (c.depth == 1) {
            EXPECT_EQ(top[0], 0b10100000);
            EXPECT_EQ(bottom[0], 0b01100000);
        } else if (c.depth == 4) {
            EXPECT_EQ(top[0], 0x10);
            EXPECT_EQ(top[1], 0x10);
            EXPECT_EQ(bottom[0], 0x01);
            EXPECT_EQ(bottom[1], 0x10);
        } else {
            EXPECT_EQ(top[0], 1);
            EXPECT_EQ(top[1], 0);
            EXPECT_EQ(bottom[2], 1);
        }
    }
}

TEST(GifDecoder, PaletteEntriesBeyondTableAreGrey) {
    TGIFImageCore image;
    LoadFrame(image, 1, 1, 2, LiteralImage(2, {3}));  // 4 colours in a 4-bit bitmap
    const TDib& bmp = image.Frame(0).Bitmap();
    EXPECT_EQ(bmp.PaletteColor(3), Rgb(48, 48, 48));
    const TRgbQuad beyond = bmp.PaletteEntry(4);
    EXPECT_EQ(beyond.red, 128);
    EXPECT_EQ(beyond.reserved, 128);
    EXPECT_EQ(bmp.FileImage().size(), 14u + 40u + 16u * 4u + 4u);
}

TEST(GifDecoder, InterlacedThreeRowsFillZeroTwoOne) {
    TGIFImageCore image;
    LoadFrame(image, 1, 3, 2, LiteralImage(2, {1, 2, 3}), 0x40);
    EXPECT_TRUE(image.Frame(0).Interlaced());
    const TDib& bmp = image.Frame(0).Bitmap();
    EXPECT_EQ(bmp.PixelIndex(0, 0), 1u);
    EXPECT_EQ(bmp.PixelIndex(0, 2), 2u);
    EXPECT_EQ(bmp.PixelIndex(0, 1), 3u);
}

TEST(GifDecoder, InterlacedPassesOverTenRows) {
    TGIFImageCore image;
    LoadFrame(image, 1, 10, 4, LiteralImage(4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), 0x40);
    const TDib& bmp = image.Frame(0).Bitmap();
    const int order[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(bmp.PixelIndex(0, order[i]), unsigned(i)) << i;
}

TEST(GifDecoder, DataEndingBeforeEndCodeKeepsDecodedPixels) {
    // Four literal codes of a 2x3 image, then the data stops without an end code.
    TGIFImageCore image;
    LoadFrame(image, 2, 3, 2, PackCodes(2, {4, 1, 2, 3, 1}));
    const TDib& bmp = image.Frame(0).Bitmap();
    EXPECT_TRUE(image.Frame(0).Corrupted());
    EXPECT_EQ(bmp.PixelIndex(0, 0), 1u);
    EXPECT_EQ(bmp.PixelIndex(1, 0), 2u);
    EXPECT_EQ(bmp.PixelIndex(0, 1), 3u);
    EXPECT_EQ(bmp.PixelIndex(1, 1), 1u);
    EXPECT_EQ(bmp.PixelIndex(0, 2), 0u);
    EXPECT_EQ(bmp.PixelIndex(1, 2), 0u);
}

TEST(GifDecoder, CodeBeyondTableMarksCorrupted) {
    TGIFImageCore image;
    LoadFrame(image, 4, 1, 2, PackCodes(2, {4, 1, 7, 5}));  // 7 is not yet defined
    const TDib& bmp = image.Frame(0).Bitmap();
    EXPECT_TRUE(image.Frame(0).Corrupted());
    EXPECT_EQ(bmp.PixelIndex(0, 0), 1u);
    EXPECT_EQ(bmp.PixelIndex(1, 0), 0u);
}

TEST(GifDecoder, NotTolerantRaisesCorrupt) {
    const auto data = PackCodes(2, {4, 1, 7, 5});
    TDib dib(4, 1, 4);
    try {
        LzwDecode(data, dib, 2, false, false, {});
        FAIL() << "no error";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "GIF encoded data is corrupt");
    }
}

TEST(GifDecoder, RepeatedStringAndFullRowsStopDecoding) {
    // 1, then the not-yet-defined code 6 (= "1 1"), then 6 again; data after the last row is
    // never looked at.
    TGIFImageCore image;
    LoadFrame(image, 5, 1, 2, PackCodes(2, {4, 1, 6, 6, 7, 7, 7}));
    const TDib& bmp = image.Frame(0).Bitmap();
    EXPECT_FALSE(image.Frame(0).Corrupted());
    for (int x = 0; x < 5; ++x) EXPECT_EQ(bmp.PixelIndex(x, 0), 1u) << x;
}

TEST(GifDecoder, ReportsProgressStages) {
    TGIFImageCore image;
    std::vector<std::pair<TProgressStage, int>> reports;
    std::string lastMessage = "unset";
    image.SetOnProgress([&](TProgressStage s, int p, const std::string& m) {
        reports.emplace_back(s, p);
        lastMessage = m;
    });
    LoadFrame(image, 3, 1, 2, LiteralImage(2, {1, 2, 3}));
    image.Frame(0).Bitmap();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(TProgressStage::psStarting, 0));
    EXPECT_EQ(reports.back(), std::make_pair(TProgressStage::psEnding, 100));
    EXPECT_EQ(lastMessage, "");
    int previous = 0;
    for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
        EXPECT_EQ(reports[i].first, TProgressStage::psRunning);
        EXPECT_GE(reports[i].second, previous);
        EXPECT_LE(reports[i].second, 100);
        previous = reports[i].second;
    }

    reports.clear();
    LoadFrame(image, 1, 1, 2, {11, 1, 0, 0});
    EXPECT_THROW(image.Frame(0).Bitmap(), EInvalidGraphicOperation);
    EXPECT_EQ(reports.back(), std::make_pair(TProgressStage::psEnding, 0));
    EXPECT_EQ(lastMessage, "GIF code size not in range 2 to 9");
}

TEST(GifDecoder, ZeroSizedFrameGivesEmptyBitmap) {
    TGIFImageCore image;
    LoadFrame(image, 0, 0, 2, LiteralImage(2, {}));
    EXPECT_TRUE(image.Frame(0).Bitmap().Empty());
    EXPECT_EQ(image.Frame(0).Width(), 0);
}

// The decoder keeps its buffers for the next frame: a decode started from a progress handler
// in the middle of another, and later ones of other sizes, must not see each other's strings.
TEST(GifDecoder, DecodesInsideAndAfterAnotherKeepTheirOwnPixels) {
    auto pattern = [](int w, int h, int seed) {
        TDib dib(w, h, 8);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                dib.ScanLine(y)[x] = static_cast<std::uint8_t>((x * seed + y * y + (x ^ y)) % 251);
        return dib;
    };
    const TDib outer = pattern(700, 400, 7), inner = pattern(33, 5, 3);
    const auto outerData = LzwEncode(outer, false, {}), innerData = LzwEncode(inner, true, {});
    auto decode = [](const std::vector<std::uint8_t>& data, const TDib& like, bool interlaced,
                     const TProgressHandler& progress) {
        TDib dib(like.Width(), like.Height(), 8);
        EXPECT_FALSE(LzwDecode(data, dib, 8, interlaced, false, progress));
        return dib.FileImage() == like.FileImage();
    };
    int nested = 0;
    const TProgressHandler inside = [&](TProgressStage stage, int, const std::string&) {
        if (stage == TProgressStage::psRunning && nested++ < 3) {
            EXPECT_TRUE(decode(innerData, inner, true, {}));
        }
    };
    EXPECT_TRUE(decode(outerData, outer, false, inside));
    EXPECT_GE(nested, 3);
    EXPECT_TRUE(decode(innerData, inner, true, {}));
    EXPECT_TRUE(decode(outerData, outer, false, {}));
}
