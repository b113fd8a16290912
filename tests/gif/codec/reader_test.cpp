// Reading GIF structure: signatures, blocks and the model fields they set.
#include <gtest/gtest.h>

#include <algorithm>

#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "gif/codec/giflimits.h"
#include "tests/gif/codec/gifbuilder.h"

using namespace gifcodec;
using giftest::GifBuilder;
using giftest::LiteralImage;

namespace {

// A 2x1 image, both pixels index 1, for a 2-bit table.
const giftest::Bytes kTwoPixels = LiteralImage(2, {1, 1});

std::string LoadError(const giftest::Bytes& bytes) {
    TGIFImageCore image;
    try {
        image.LoadFromBytes(bytes);
    } catch (const EGifCodecError& e) {
        return e.what();
    }
    return "";
}

GifBuilder OneFrameWith(const GifBuilder& extensions) {
    GifBuilder b;
    b.Header("GIF89a", 2, 1, 2).Raw(extensions.bytes()).Image(0, 0, 2, 1).Raw(kTwoPixels).Trailer();
    return b;
}

}  // namespace

TEST(GifReader, SignatureAndVersionIgnoreCase) {
    TGIFImageCore image;
    image.LoadFromBytes(
        GifBuilder().Header("gif89A", 2, 1, 2).Image(0, 0, 2, 1).Raw(kTwoPixels).Trailer().bytes());
    EXPECT_EQ(image.Version(), 2);
    image.LoadFromBytes(
        GifBuilder().Header("GIF87a", 2, 1, 2).Image(0, 0, 2, 1).Raw(kTwoPixels).Trailer().bytes());
    EXPECT_EQ(image.Version(), 1);
    EXPECT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.CurrentFrame(), 0);
}

TEST(GifReader, RejectsUnknownSignatureOrVersion) {
    EXPECT_EQ(LoadError(GifBuilder().Header("GIF88a", 1, 1, 1).Trailer().bytes()),
              "Unknown GIF version");
    EXPECT_EQ(LoadError(GifBuilder().Header("JIF89a", 1, 1, 1).Trailer().bytes()),
              "Unknown GIF version");
    EXPECT_EQ(LoadError({'G', 'I', 'F'}), "Stream read error");
}

TEST(GifReader, ScreenDescriptorAndBackground) {
    TGIFImageCore image;
    image.LoadFromBytes(GifBuilder()
                            .Header("GIF89a", 300, 200, 2, 3)
                            .Image(0, 0, 2, 1)
                            .Raw(kTwoPixels)
                            .Trailer()
                            .bytes());
    EXPECT_EQ(image.ScreenWidth(), 300);
    EXPECT_EQ(image.ScreenHeight(), 200);
    EXPECT_EQ(image.Data().colors.count, 4);
    EXPECT_EQ(image.Data().bitsPerPixel, 2);
    EXPECT_EQ(image.Data().colorResolution, 2);
    EXPECT_EQ(image.BackgroundColor(), Rgb(48, 48, 48));
    EXPECT_EQ(image.Frame(0).Item().bitsPerPixel, 2);
}

TEST(GifReader, CommentAfterLastImageBelongsToPicture) {
    TGIFImageCore image;
    image.LoadFromBytes(GifBuilder()
                            .Header("GIF89a", 2, 1, 2)
                            .Comment({"in front"})
                            .Image(0, 0, 2, 1)
                            .Raw(kTwoPixels)
                            .Comment({"one", "two"})
                            .Comment({"three"})
                            .Trailer()
                            .bytes());
    EXPECT_EQ(image.Data().comment, (TLineList{"one", "two", "\r\n\r\n", "three"}));
    ASSERT_NE(image.Frame(0).Comment(), nullptr);
    EXPECT_EQ(*image.Frame(0).Comment(), TLineList{"in front"});
}

TEST(GifReader, ExtensionsWithoutImageFollowedByStrayByteFail) {
    // With the picture comment already set, a second run without an image cannot be placed.
    const auto bytes = GifBuilder()
                           .Header("GIF89a", 2, 1, 2)
                           .Image(0, 0, 2, 1)
                           .Raw(kTwoPixels)
                           .Comment({"a"})
                           .Control(0, 1)
                           .Raw({0x55})
                           .Trailer()
                           .bytes();
    EXPECT_EQ(LoadError(bytes), "Stream read error");
}

TEST(GifReader, TransparentIndexOutOfRangeIsIgnored) {
    TGIFImageCore image;
    image.LoadFromBytes(OneFrameWith(GifBuilder().Control(0, 0, 4)).bytes());
    EXPECT_EQ(image.Frame(0).TransparentColor(), clNone);
    EXPECT_FALSE(image.HasTransparency());
    image.LoadFromBytes(OneFrameWith(GifBuilder().Control(0, 0, 3)).bytes());
    EXPECT_EQ(image.Frame(0).TransparentColor(), Rgb(48, 48, 48));
    EXPECT_TRUE(image.HasTransparency());
}

TEST(GifReader, TwoControlBlocksLargerDelayLaterDisposalAndTransparency) {
    TGIFImageCore image;
    image.LoadFromBytes(OneFrameWith(GifBuilder().Control(1, 30, 2).Control(2, 7)).bytes());
    const TGIFFrame& f = image.Frame(0);
    EXPECT_EQ(f.Delay(), 300);
    EXPECT_EQ(f.Disposal(), 2);
    EXPECT_EQ(f.TransparentColor(), clNone);
    EXPECT_EQ(f.Extensions().size(), 2u);
}

TEST(GifReader, DelayFieldInHundredthsSaturates) {
    struct Case {
        int field;
        int ms;
    };
    for (Case c :
         {Case{0, 0}, Case{50, 500}, Case{6553, 65530}, Case{6554, 65535}, Case{65535, 65535}}) {
        TGIFImageCore image;
        image.LoadFromBytes(OneFrameWith(GifBuilder().Control(0, c.field)).bytes());
        EXPECT_EQ(image.Frame(0).Delay(), c.ms) << "field " << c.field;
    }
}

TEST(GifReader, PlainTextDiscardsControlInFront) {
    GifBuilder ext;
    ext.Control(0, 20).Raw(
        {'!', 0x01, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 'a', 'b', 'c', 0});
    TGIFImageCore image;
    image.LoadFromBytes(OneFrameWith(ext).bytes());
    EXPECT_EQ(image.Frame(0).Delay(), 0);
    EXPECT_TRUE(image.Frame(0).Extensions().empty());
}

TEST(GifReader, StrayByteAfterImageEndsQuietly) {
    TGIFImageCore image;
    image.LoadFromBytes(GifBuilder()
                            .Header("GIF89a", 2, 1, 2)
                            .Image(0, 0, 2, 1)
                            .Raw(kTwoPixels)
                            .Raw({0, 0, 0x42})
                            .Image(0, 0, 2, 1)
                            .Raw(kTwoPixels)
                            .Trailer()
                            .bytes());
    EXPECT_EQ(image.FrameCount(), 1);
    // Zero padding between images is skipped.
    image.LoadFromBytes(GifBuilder()
                            .Header("GIF89a", 2, 1, 2)
                            .Image(0, 0, 2, 1)
                            .Raw(kTwoPixels)
                            .Raw({0, 0})
                            .Image(0, 0, 2, 1)
                            .Raw(kTwoPixels)
                            .Trailer()
                            .bytes());
    EXPECT_EQ(image.FrameCount(), 2);
}

TEST(GifReader, UnknownExtensionIsSkippedAndWrittenBack) {
    const giftest::Bytes block{'!', 0x2A, 3, 'a', 'b', 'c', 2, 0, 1, 0};
    GifBuilder after;  // the block after the last image, before the end
    after.Header("GIF89a", 2, 1, 2).Image(0, 0, 2, 1).Raw(kTwoPixels).Raw(block).Trailer();
    for (const giftest::Bytes& file :
         {OneFrameWith(GifBuilder().Raw(block)).bytes(), after.bytes()}) {
        TGIFImageCore image;
        image.LoadFromBytes(file);
        EXPECT_EQ(image.FrameCount(), 1);
        const auto saved = image.SaveToBytes();
        EXPECT_NE(std::search(saved.begin(), saved.end(), block.begin(), block.end()), saved.end());
        TGIFImageCore again;  // and the copy reads back
        again.LoadFromBytes(saved);
        EXPECT_EQ(again.FrameCount(), 1);
    }
}

TEST(GifReader, LoopingCounts) {
    struct Case {
        int lo, hi;
        int count;
    };
    for (Case c : {Case{0xE8, 0x03, 1000}, Case{0xFF, 0xFF, 30000}, Case{0, 0, 0}}) {
        TGIFImageCore image;
        image.LoadFromBytes(OneFrameWith(GifBuilder().Loop(c.lo, c.hi)).bytes());
        EXPECT_TRUE(image.Looping());
        EXPECT_EQ(image.RepeatCount(), c.count);
        EXPECT_TRUE(image.Frame(0).Extensions().empty());
    }
    TGIFImageCore plain;
    plain.LoadFromBytes(OneFrameWith(GifBuilder()).bytes());
    EXPECT_FALSE(plain.Looping());
    EXPECT_EQ(plain.RepeatCount(), 1);
    // A sub-block of two bytes is too short to carry a count.
    GifBuilder shortBlock;
    shortBlock.Raw({'!', 0xFF, 11}).Text("NETSCAPE2.0").Raw({2, 1, 5, 0});
    plain.LoadFromBytes(OneFrameWith(shortBlock).bytes());
    EXPECT_FALSE(plain.Looping());
}

TEST(GifReader, PictureWithoutColorTables) {
    const auto bytes =
        GifBuilder().Header("GIF87a", 2, 1, 0).Image(0, 0, 2, 1).Raw(kTwoPixels).Trailer().bytes();
    EXPECT_EQ(LoadError(bytes), "Wrong number of colors; must be a power of 2");
    TGIFImageCore image;
    EXPECT_THROW(image.LoadFromBytes(bytes), EInvalidGraphicOperation);
    EXPECT_EQ(image.FrameCount(), 0);  // the frame that failed to decode is dropped
    image.LoadFromBytes(bytes, false);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Frame(0).Item().bitsPerPixel, 0);
    EXPECT_THROW(image.Frame(0).Bitmap(), EInvalidGraphicOperation);
}

TEST(GifReader, LocalTableReplacesGlobal) {
    TGIFImageCore image;
    image.LoadFromBytes(GifBuilder()
                            .Header("GIF89a", 2, 1, 0)
                            .Image(0, 0, 2, 1, 0x00, 3)
                            .Raw(LiteralImage(3, {5, 2}))
                            .Trailer()
                            .bytes());
    const TGIFFrame& f = image.Frame(0);
    EXPECT_TRUE(f.LocalColors());
    EXPECT_EQ(f.Item().bitsPerPixel, 3);
    EXPECT_EQ(f.Item().colors.count, 8);
    EXPECT_EQ(image.Frame(0).CachedBitmap()->PixelColor(0, 0), Rgb(5, 0, 250));
}

TEST(GifReader, FormDataWithZeroCountGivesEmptyPictureAndChange) {
    TGIFImageCore image;
    int changes = 0;
    image.SetOnChange([&] { ++changes; });
    TMemoryStream stream({0, 0, 0, 0});
    image.ReadData(stream);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(image.FrameCount(), 0);
    EXPECT_EQ(image.CurrentFrame(), -1);
    EXPECT_TRUE(image.Empty());
}

TEST(GifReader, FormDataShorterThanCountFails) {
    TGIFImageCore image;
    int changes = 0;
    image.SetOnChange([&] { ++changes; });
    TMemoryStream stream({10, 0, 0, 0, 'G', 'I', 'F'});
    try {
        image.ReadData(stream);
        FAIL() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    EXPECT_EQ(changes, 0);
}

TEST(GifReader, FormDataReadsExactlyTheCountedBytes) {
    const auto gif = OneFrameWith(GifBuilder()).bytes();
    std::vector<std::uint8_t> data{static_cast<std::uint8_t>(gif.size()), 0, 0, 0};
    data.insert(data.end(), gif.begin(), gif.end());
    data.push_back(0x99);  // whatever follows in the form data
    TMemoryStream stream(data);
    TGIFImageCore image;
    image.ReadData(stream);
    EXPECT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(data.size() - 1));
}

// Data cut by the end of the file, in the first sub-block or a later one, inside a block or
// where a length byte should be: every whole code the file holds is shown, and the frame is
// written back out as sound data.
TEST(GifReader, CutDataShowsThePixelsItHolds) {
    constexpr int kWidth = 16, kHeight = 40, kPixels = kWidth * kHeight;
    // 9-bit codes throughout: a clear code every 100 literals keeps the width.
    std::vector<int> codes;
    for (int i = 0; i < kPixels; ++i) {
        if (i % 100 == 0) codes.push_back(256);
        codes.push_back(1 + i % 255);
    }
    codes.push_back(257);
    GifBuilder header;
    header.Header("GIF89a", kWidth, kHeight, 8).Image(0, 0, kWidth, kHeight);
    const giftest::Bytes data = giftest::PackCodes(8, codes);
    ASSERT_GT(data.size(), 600u);  // three sub-blocks
    // Offsets into the data after the code size byte, and the code bytes they leave.
    const struct {
        std::size_t cut, codeBytes;
    } cases[] = {{1, 0},     {2, 1},     {101, 100}, {255, 254}, {256, 255},
                 {257, 255}, {258, 256}, {400, 398}, {600, 597}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cut);
        giftest::Bytes bytes = header.bytes();
        bytes.insert(bytes.end(), data.begin(), data.begin() + 1 + c.cut);
        int shown = 0;
        for (std::size_t k = 0; k < std::min(codes.size(), c.codeBytes * 8 / 9); ++k)
            shown += codes[k] < 256;
        TGIFImageCore image;
        image.LoadFromBytes(bytes);
        ASSERT_EQ(image.FrameCount(), 1);
        EXPECT_TRUE(image.Frame(0).Corrupted());
        TGIFImageCore again;
        again.LoadFromBytes(image.SaveToBytes());
        for (TGIFImageCore* picture : {&image, &again}) {
            const TDib& dib = picture->Frame(0).Bitmap();
            int same = 0;
            while (same < kPixels &&
                   dib.PixelIndex(same % kWidth, same / kWidth) == 1u + same % 255)
                ++same;
            EXPECT_EQ(same, shown);
            if (shown < kPixels) {
                EXPECT_EQ(dib.PixelIndex(shown % kWidth, shown / kWidth), 0u);
            }
        }
    }
}

TEST(GifReader, RefusesTooManyFrames) {
    GifBuilder b;
    b.Header("GIF89a", 1, 1, 1);
    const auto pixel = LiteralImage(2, {0});
    for (int i = 0; i <= kMaxFrames; ++i) b.Image(0, 0, 1, 1).Raw(pixel);
    EXPECT_EQ(LoadError(b.Trailer().bytes()), "GIF image is too large");
}

TEST(GifReader, RefusesToDecodeHugeFrame) {
    const auto bytes = GifBuilder()
                           .Header("GIF89a", 65535, 65535, 1)
                           .Image(0, 0, 65535, 65535)
                           .Raw(LiteralImage(2, {0}))
                           .Trailer()
                           .bytes();
    EXPECT_EQ(LoadError(bytes), "GIF image is too large");
}
