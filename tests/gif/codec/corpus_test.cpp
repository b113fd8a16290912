// Files other encoders write, made at test time: every frame we compose must match what giflib
// decodes, and a re-save must decode to the same frames. Hostile files are refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/gifsize/giflibcompose.h"
#include "gif/codec/compose.h"
#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "tests/gif/codec/gifbuilder.h"
#include "tests/support/tempdir.h"

using namespace gifcodec;
using giflibpeer::GiflibCompose;
using giflibpeer::Reference;
using giftest::Bytes;
using giftest::GifBuilder;

namespace {

constexpr TColor kWindow = Rgb(1, 254, 3);

// Frame by frame against giflib: where it shows nothing we show the fill (the key, or the
// background the picture asks for, or the window), elsewhere the same colour.
void ExpectSameAsGiflib(TGIFImageCore& image, const Reference& ref) {
    ASSERT_EQ(ref.frames.size(), std::size_t(image.FrameCount()));
    ASSERT_EQ(ref.width, image.RawScreenWidth());
    ASSERT_EQ(ref.height, image.RawScreenHeight());
    TFrameComposer composer(image, kWindow);
    for (const auto& frame : ref.frames) {
        const TComposedFrame& f = composer.Next();
        TColor fill = kWindow;
        if (f.key != clNone)
            fill = f.key;
        else if (image.BackgroundColor() != clNone && image.HasTransparency())
            fill = image.BackgroundColor();
        int wrong = 0;
        for (std::size_t p = 0; p < frame.size(); ++p) {
            const TColor ours = Rgb(f.rgb[3 * p], f.rgb[3 * p + 1], f.rgb[3 * p + 2]);
            const bool clear = f.mask[p] || ours == fill;
            wrong += frame[p] == 0 ? !clear : (f.mask[p] || ours != (frame[p] & 0xFFFFFF));
        }
        EXPECT_EQ(wrong, 0) << "pixels differ in frame " << &frame - ref.frames.data();
    }
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The encoders' files; gifsicle's -O2 with few colours puts the transparent index just past
// the table (past4, past8).
constexpr const char* kMake = R"(set -e
IM=/usr/bin/convert-im6.q16
$IM -size 48x32 gradient:red-blue -colors 4 grad4.gif
$IM rose: -interlace GIF rose.gif
$IM -delay 5 -loop 0 -size 40x30 xc:white -fill red -draw 'circle 20,15 20,3' \
    \( -size 40x30 xc:white -fill blue -draw 'rectangle 5,5 30,20' \) \
    \( -size 40x30 xc:yellow -fill black -draw 'line 0,0 39,29' \) anim.gif
$IM anim.gif -layers Optimize optimized.gif
$IM -dispose Background -delay 5 -size 40x30 xc:none -fill red -draw 'circle 20,15 20,3' \
    \( -size 40x30 xc:none -fill green -draw 'rectangle 2,2 12,28' \) background.gif
$IM -dispose Previous -delay 5 -size 40x30 xc:none -fill red -draw 'circle 20,15 20,3' \
    \( -size 40x30 xc:none -fill green -draw 'rectangle 2,2 12,28' \) previous.gif
$IM -seed 7 -size 64x48 plasma:fractal p0.png
$IM p0.png -fill green -draw 'rectangle 10,10 30,20' p1.png
$IM p0.png -fill yellow -draw 'circle 40,30 40,40' -fill white -draw 'rectangle 0,0 20,5' p2.png
$IM -delay 5 -loop 0 p0.png p1.png p2.png plasma.gif
gifsicle -O2 --colors 4 plasma.gif -o past4.gif
gifsicle -O2 --colors 8 plasma.gif -o past8.gif
gifsicle -O2 --colors 16 anim.gif -o sicle16.gif
gifsicle -O3 --colors 8 background.gif -o sicle8.gif 2>/dev/null
gifsicle --logical-screen 30x20 anim.gif -o clipped.gif
gifsicle --logical-screen 64x64 grad4.gif -o roomy.gif
gifsicle -O1 --interlace rose.gif -o rosei.gif
)";

TEST(GifCorpus, EncodersFilesComposeAsGiflibAndSurviveResaving) {
    testsupport::TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    std::ofstream(dir / "make.sh") << kMake;
    ASSERT_EQ(std::system(("cd " + dir.path() + " && sh make.sh").c_str()), 0);
    const char* files[] = {"grad4",    "rose",    "anim",  "optimized", "background",
                           "previous", "plasma",  "past4", "past8",     "sicle16",
                           "sicle8",   "clipped", "roomy", "rosei"};
    for (const std::string name : files) {
        SCOPED_TRACE(name);
        Bytes bytes = ReadAll(dir / (name + ".gif"));
        if (name == "anim") {
            // An extension no reader knows, right after the colour table: skipped, kept.
            const Bytes unknown{'!', 0x2A, 3, 'a', 'b', 'c', 0};
            bytes.insert(bytes.begin() + 13 + 3 * (2 << (bytes[10] & 7)), unknown.begin(),
                         unknown.end());
        }
        const Reference ref = GiflibCompose(bytes);
        ASSERT_FALSE(ref.frames.empty());
        TGIFImageCore image;
        image.LoadFromBytes(bytes);
        ExpectSameAsGiflib(image, ref);
        const Bytes saved = image.SaveToBytes();
        const Reference again = GiflibCompose(saved);
        EXPECT_EQ(again.width, ref.width);
        EXPECT_EQ(again.height, ref.height);
        EXPECT_TRUE(again.frames == ref.frames) << "the re-saved file decodes differently";
    }
}

// Comment extensions of 255 one-byte sub-blocks each: the most lines for the bytes.
Bytes CommentChain(int count) {
    GifBuilder b;
    b.Header("GIF89a", 1, 1, 1);
    Bytes block{'!', 0xFE};
    for (int i = 0; i < 255; ++i) block.insert(block.end(), {1, 'x'});
    block.push_back(0);
    for (int i = 0; i < count; ++i) b.Raw(block);
    return b.Image(0, 0, 1, 1).Raw(giftest::LiteralImage(2, {0})).Trailer().bytes();
}

TEST(GifCorpus, HostileFilesAreRefusedWithinTheBudget) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"a 65535 x 65535 screen", GifBuilder()
                                       .Header("GIF89a", 65535, 65535, 1)
                                       .Image(0, 0, 1, 1)
                                       .Raw(giftest::LiteralImage(2, {0}))
                                       .Trailer()
                                       .bytes()},
        // 18 MB of one-byte comment lines, each held as a string of 32 bytes or more.
        {"millions of comment lines", CommentChain(36'000)},
    };
    for (const Case& c : cases) {
        TGIFImageCore image;
        try {
            image.LoadFromBytes(c.bytes);
            ADD_FAILURE() << c.what << " accepted";
        } catch (const EInvalidGraphicOperation& e) {
            EXPECT_STREQ(e.what(), "GIF image is too large") << c.what;
        }
    }
}

}  // namespace
