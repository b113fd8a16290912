// Writing pictures back as GIF bytes and the LZW encoder's output rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "gif/codec/lzw.h"
#include "testpaths.h"
#include "tests/gif/codec/gifbuilder.h"
#include "tests/support/tempdir.h"

using namespace gifcodec;
using giftest::Bytes;
using giftest::LiteralImage;

namespace {

TDib Paletted(int width, int height, int bits, std::uint32_t seed, int runs = 1) {
    TDib dib(width, height, bits);
    for (int i = 0; i < dib.PaletteSize(); ++i)
        dib.SetPaletteEntry(i, {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                static_cast<std::uint8_t>(i * 7), 0});
    std::mt19937 rng(seed);
    unsigned value = 0;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = dib.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (rng() % runs == 0) value = rng() & ((1u << bits) - 1);
            if (bits == 8) row[x] = static_cast<std::uint8_t>(value);
            if (bits == 4) row[x / 2] |= static_cast<std::uint8_t>(value << ((x & 1) ? 0 : 4));
            if (bits == 1) row[x / 8] |= static_cast<std::uint8_t>(value << (7 - (x & 7)));
        }
    }
    return dib;
}

// Code widths follow the decoder; returns every code of one frame's data.
std::vector<int> ReadCodes(const std::vector<std::uint8_t>& encoded) {
    const int m = encoded[0];
    std::vector<std::uint8_t> data;
    for (std::size_t i = 1; i < encoded.size() && encoded[i] != 0; i += encoded[i] + 1)
        data.insert(data.end(), encoded.begin() + i + 1, encoded.begin() + i + 1 + encoded[i]);
    const int clear = 1 << m;
    int width = m + 1, next = clear + 2;
    bool first = true;
    std::vector<int> codes;
    std::size_t bit = 0;
    while (bit + width <= data.size() * 8) {
        int code = 0;
        for (int k = 0; k < width; ++k, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << k;
        codes.push_back(code);
        if (code == clear + 1) break;
        if (code == clear) {
            width = m + 1;
            next = clear + 2;
            first = true;
        } else if (first) {
            first = false;
        } else if (next < 4096 && ++next == (1 << width) && width < 12) {
            ++width;
        }
    }
    return codes;
}

bool SamePixels(const TDib& a, const TDib& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.PixelColor(x, y) != b.PixelColor(x, y)) return false;
    return true;
}

std::size_t Find(const Bytes& hay, const Bytes& needle) {
    return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) - hay.begin();
}

}  // namespace

TEST(GifWriter, NothingToWrite) {
    TGIFImageCore image;
    EXPECT_THROW(image.SaveToBytes(), EInvalidGraphicOperation);
    image.AppendFrame();  // a frame with neither data nor bitmap
    try {
        image.SaveToBytes();
        FAIL() << "no error";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "No GIF Data to write");
    }
}

TEST(GifWriter, WriteAfterReadKeepsEncodedDataAndRebuildsControl) {
    // The global table holds the transparent grey twice; the stored index is kept.
    const Bytes data = LiteralImage(2, {1, 3, 2, 0});
    Bytes gif{'G', 'I', 'F', '8', '9', 'a', 4, 0, 1, 0, 0x91, 0, 0};
    for (int c : {10, 20, 30, 20})
        gif.insert(gif.end(), {std::uint8_t(c), std::uint8_t(c), std::uint8_t(c)});
    gif.insert(gif.end(), {'!', 0xF9, 4, 0x09 | 0x02, 7, 0, 3, 0});  // user input bit, disposal 2
    gif.insert(gif.end(), {',', 0, 0, 0, 0, 4, 0, 1, 0, 0});
    gif.insert(gif.end(), data.begin(), data.end());
    gif.push_back(';');
    TGIFImageCore image;
    image.LoadFromBytes(gif);
    EXPECT_EQ(image.Frame(0).TransparentColor(), Rgb(20, 20, 20));
    const Bytes out = image.SaveToBytes();
    EXPECT_NE(Find(out, data), out.size());
    // Packed: colour resolution from the count, no sort flag.
    EXPECT_EQ(out[10], 0x80 | 0x10 | 0x01);
    const Bytes control{'!', 0xF9, 4, 0x08 | 0x02 | 0x01, 7, 0, 3, 0};
    EXPECT_NE(Find(out, control), out.size());
    EXPECT_EQ(out.back(), ';');
    // A colour the stored entry no longer holds is looked up: its first entry.
    image.Frame(0).SetTransparentColor(Rgb(20, 20, 20));
    image.Frame(0).Item().colors.entries[3] = {40, 40, 40};
    const Bytes changed = image.SaveToBytes();
    EXPECT_NE(Find(changed, {'!', 0xF9, 4, 0x08 | 0x02 | 0x01, 7, 0, 1, 0}), changed.size());
}

TEST(GifWriter, OneFrameGetsNoLoopingBlock) {
    TGIFImageCore image;
    image.AddFrame(Paletted(4, 4, 8, 1));
    image.SetLooping(true);
    image.SetRepeatCount(0);
    const Bytes one = image.SaveToBytes();
    const Bytes netscape{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E'};
    EXPECT_EQ(Find(one, netscape), one.size());
    image.AddFrame(Paletted(4, 4, 8, 2));
    const Bytes two = image.SaveToBytes();
    const std::size_t at = Find(two, netscape);
    ASSERT_NE(at, two.size());
    EXPECT_EQ(Bytes(two.begin() + at + 11, two.begin() + at + 16), (Bytes{3, 1, 0, 0, 0}));
}

TEST(GifWriter, LongCommentLineIsCutTo255) {
    TGIFImageCore image;
    image.AddFrame(Paletted(2, 2, 1, 1));
    image.Data().comment = {std::string(300, 'x'), "", "tail"};
    const Bytes out = image.SaveToBytes();
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 6), (Bytes{'G', 'I', 'F', '8', '9', 'a'}));
    const std::size_t at = Find(out, {'!', 0xFE, 255, 'x'});
    ASSERT_NE(at, out.size());
    EXPECT_EQ(out[at + 2 + 256], 4);  // the empty line gives no sub-block
    EXPECT_EQ(out.size(), at + 2 + 256 + 5 + 1 + 1);
    TGIFImageCore back;
    back.LoadFromBytes(out);
    EXPECT_EQ(back.Data().comment, (TLineList{std::string(255, 'x'), "tail"}));
}

TEST(GifWriter, OneBitFrameUsesMinimumCodeSizeTwo) {
    TGIFImageCore image;
    image.AddFrame(Paletted(9, 3, 1, 5));
    image.EncodeAllFrames();
    EXPECT_EQ(image.Frame(0).Item().encoded->front(), 2);
    EXPECT_EQ(image.Frame(0).Item().bitsPerPixel, 1);
    EXPECT_EQ(image.Data().colors.count, 2);
    EXPECT_FALSE(image.Frame(0).LocalColors());
}

TEST(GifWriter, ControlBlockOnlyWhenNeeded) {
    TGIFImageCore image;
    image.AddFrame(Paletted(2, 2, 8, 1));
    image.EncodeAllFrames();
    EXPECT_TRUE(image.Frame(0).Extensions().empty());
    EXPECT_EQ(image.Version(), 1);
    image.Frame(0).SetDelay(505);
    image.Frame(0).SetDisposal(3);
    image.EncodeAllFrames();
    ASSERT_EQ(image.Frame(0).Extensions().size(), 1u);
    const TExtension& g = image.Frame(0).Extensions()[0];
    EXPECT_EQ(g.DelayField(), 50u);
    EXPECT_EQ(g.Disposal(), 3u);
    EXPECT_FALSE(g.HasTransparency());
    EXPECT_EQ(image.Version(), 2);
}

TEST(GifWriter, EncoderBytesOfSmallImage) {
    // 0 0 0 0: clear, 0, then "0 0" as 258, then 0 and the end code, 9 bits each.
    TDib dib(4, 1, 8);
    const Bytes out = LzwEncode(dib, false, {});
    EXPECT_EQ(ReadCodes(out), (std::vector<int>{256, 0, 258, 0, 257}));
    EXPECT_EQ(out, (Bytes{8, 6, 0x00, 0x01, 0x08, 0x04, 0x10, 0x10, 0}));
}

TEST(GifWriter, EncoderClearsAfterCode4094) {
    const TDib noise = Paletted(128, 64, 8, 9);
    const std::vector<int> codes = ReadCodes(LzwEncode(noise, false, {}));
    std::vector<std::size_t> clears;
    for (std::size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == 256) clears.push_back(i);
    ASSERT_GE(clears.size(), 2u);
    EXPECT_EQ(clears[0], 0u);
    // Codes 258..4094 are defined by 3837 codes, then the single character and the clear.
    EXPECT_EQ(clears[1] - clears[0] - 1, 3838u);
    EXPECT_LT(codes[clears[1] - 1], 256);
}

TEST(GifWriter, SubBlocksAre255BytesAndEndWithTerminator) {
    const Bytes out = LzwEncode(Paletted(64, 64, 8, 3), false, {});
    std::size_t i = 1;
    while (out[i] == 255) i += 256;
    ASSERT_LT(i, out.size());
    EXPECT_GT(out[i], 0);
    EXPECT_EQ(i + out[i] + 1, out.size() - 1);
    EXPECT_EQ(out.back(), 0);
}

TEST(GifWriter, RoundTripThroughOurDecoder) {
    struct Case {
        int w, h, bits, runs;
    };
    for (Case c : {Case{1, 1, 8, 1}, Case{13, 7, 1, 1}, Case{17, 9, 4, 3}, Case{256, 64, 8, 1},
                   Case{333, 77, 8, 200}, Case{640, 480, 4, 1000000}}) {
        const TDib source = Paletted(c.w, c.h, c.bits, c.w * 31 + c.bits, c.runs);
        TGIFImageCore image;
        image.AddFrame(source);
        TGIFImageCore back;
        back.LoadFromBytes(image.SaveToBytes());
        ASSERT_EQ(back.FrameCount(), 1);
        EXPECT_FALSE(back.Frame(0).Corrupted());
        EXPECT_TRUE(SamePixels(back.Frame(0).Bitmap(), source))
            << c.w << "x" << c.h << " bits " << c.bits;
    }
}

TEST(GifWriter, SecondFrameGetsLocalTable) {
    TGIFImageCore image;
    image.AddFrame(Paletted(8, 8, 8, 1));
    image.AddFrame(Paletted(4, 4, 4, 2)).SetOrigin({10, 2});
    TGIFImageCore back;
    back.LoadFromBytes(image.SaveToBytes());
    ASSERT_EQ(back.FrameCount(), 2);
    EXPECT_FALSE(back.Frame(0).LocalColors());
    EXPECT_TRUE(back.Frame(1).LocalColors());
    EXPECT_EQ(back.Frame(1).Item().colors.count, 16);
    EXPECT_EQ(back.RawScreenWidth(), 14);
    EXPECT_EQ(back.RawScreenHeight(), 8);
    EXPECT_EQ(back.Frame(1).Origin(), (TPoint{10, 2}));
}

TEST(GifWriter, FormDataCarriesByteCount) {
    TGIFImageCore image;
    image.AddFrame(Paletted(3, 3, 8, 4));
    TMemoryStream stream;
    image.WriteData(stream);
    const Bytes& out = stream.Bytes();
    ASSERT_GT(out.size(), 4u);
    EXPECT_EQ(out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24), int(out.size() - 4));
    stream.SetPosition(0);
    TGIFImageCore back;
    back.ReadData(stream);
    EXPECT_EQ(back.FrameCount(), 1);
    EXPECT_TRUE(back.CanSaveClipboardData());
}

TEST(GifWriter, ImageMagickReadsOurPicture) {
    // scripts/test installs ImageMagick; without it this check fails rather than skips.
    ASSERT_EQ(
        std::system("command -v convert >/dev/null 2>&1 && command -v identify >/dev/null 2>&1"), 0)
        << "ImageMagick (convert, identify) is missing";
    const TDib source = Paletted(23, 11, 8, 77, 4);
    TGIFImageCore image;
    image.AddFrame(source);
    image.AddFrame(Paletted(23, 11, 4, 78, 2));
    image.SetLooping(true);
    testsupport::TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string gif = dir / "magick.gif";
    const std::string rgb = dir / "magick.rgb";
    {
        TFileStream file(gif, TFileMode::fmCreate);
        image.SaveToStream(file);
    }
    ASSERT_EQ(std::system(("identify " + gif + " > " + rgb + ".txt").c_str()), 0);
    std::ifstream info(rgb + ".txt");
    std::string line;
    int lines = 0;
    while (std::getline(info, line)) {
        EXPECT_NE(line.find("GIF 23x11"), std::string::npos) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 2);
    ASSERT_EQ(std::system(("convert '" + gif + "[0]' -depth 8 rgb:" + rgb).c_str()), 0);
    std::ifstream in(rgb, std::ios::binary);
    std::vector<char> pixels((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(pixels.size(), 23u * 11u * 3u);
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 23; ++x) {
            const TColor c = source.PixelColor(x, y);
            const auto* p = reinterpret_cast<const std::uint8_t*>(&pixels[(y * 23 + x) * 3]);
            ASSERT_EQ(Rgb(p[0], p[1], p[2]), c) << x << "," << y;
        }
    }
}
