// Pictures other programs write and pictures meant to hurt: transparency by index when a
// palette holds the transparent colour twice, re-saving, memory limits, frame placement.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "gif/codec/compose.h"
#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "gif/codec/giflimits.h"
#include "gif/codec/lzw.h"
#include "tests/gif/codec/gifbuilder.h"
#include "tests/support/tempdir.h"

using namespace gifcodec;
using giftest::Bytes;
using giftest::GifBuilder;
using giftest::LiteralImage;
using giftest::PackCodes;

namespace {

TColor At(const TComposedFrame& f, int x, int y) {
    const std::uint8_t* p = f.rgb.data() + (y * f.width + x) * 3;
    return Rgb(p[0], p[1], p[2]);
}

constexpr TColor kBlack = Rgb(0, 0, 0), kGrey = Rgb(128, 128, 128), kRed = Rgb(255, 0, 0);

// As an optimising animation writer leaves it: black drawn at index 0, index 3 also black and
// transparent. Frame 0 is grey with one red pixel; frame 1 covers it with black at index 0 on
// the left and transparent index 3 on the right.
Bytes TwoBlacks() {
    GifBuilder b;
    b.Text("GIF89a").Word(2).Word(1).Raw({0x91, 0, 0});
    b.Raw({0, 0, 0, 128, 128, 128, 255, 0, 0, 0, 0, 0});
    b.Control(1, 10).Image(0, 0, 2, 1).Raw(LiteralImage(2, {1, 2}));
    b.Control(1, 10, 3).Image(0, 0, 2, 1).Raw(LiteralImage(2, {0, 3}));
    return b.Trailer().bytes();
}

// Frame 1 composed: black where index 0 was drawn, frame 0's red where index 3 lets it through.
void ExpectBlackOverRed(TGIFImageCore& image, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(image.Frame(1).TransparentColor(), kBlack);
    EXPECT_EQ(image.Frame(1).TransparentIndex(), 3);
    const TComposedFrame f = ComposeFrame(image, 1);
    EXPECT_EQ(At(f, 0, 0), kBlack);
    EXPECT_EQ(At(f, 1, 0), kRed);
}

bool HaveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

// Memory the process holds now, or at most so far (kB), from /proc/self/status.
long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    return -1;
}

// A picture of n frames of w x h that hold only a clear and an end code.
Bytes EmptyFrames(int n, int w, int h) {
    GifBuilder b;
    b.Header("GIF89a", w, h, 1);
    const Bytes codes = PackCodes(2, {4, 5});
    for (int i = 0; i < n; ++i) b.Image(0, 0, w, h).Raw(codes);
    return b.Trailer().bytes();
}

TDib Random8(int w, int h, std::uint32_t seed, int bits = 8) {
    TDib dib(w, h, bits);
    for (int i = 0; i < dib.PaletteSize(); ++i)
        dib.SetPaletteEntry(i, {static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i),
                                static_cast<std::uint8_t>(255 - i), 0});
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (std::size_t x = 0; x < dib.Stride(); ++x)
            dib.ScanLine(y)[x] = static_cast<std::uint8_t>(rng() % 7 == 0 ? rng() : 0x11 * (y % 5));
    return dib;
}

bool SameIndices(const TDib& a, const TDib& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.PixelIndex(x, y) != b.PixelIndex(x, y)) return false;
    return true;
}

}  // namespace

TEST(GifTransparentIndex, OnlyTheStoredIndexIsTransparent) {
    TGIFImageCore image;
    image.LoadFromBytes(TwoBlacks());
    ExpectBlackOverRed(image, "as read");
    // The key fill shows only where nothing opaque was drawn, not on every black pixel.
    TGIFImageCore lone;
    lone.LoadFromBytes(TwoBlacks());
    lone.DeleteFrame(0);
    lone.SetCurrentFrame(0);
    const TComposedFrame f = ComposeFrame(lone, 0);
    EXPECT_EQ(f.key, kBlack);
    EXPECT_EQ(f.mask, (std::vector<std::uint8_t>{0, 1}));
}

TEST(GifTransparentIndex, SurvivesLoadSaveLoadForUsAndOtherReaders) {
    TGIFImageCore image;
    image.LoadFromBytes(TwoBlacks());
    const Bytes saved = image.SaveToBytes();
    TGIFImageCore back;
    back.LoadFromBytes(saved);
    ExpectBlackOverRed(back, "re-read");
    TGIFImageCore twice;
    twice.LoadFromBytes(back.SaveToBytes());
    ExpectBlackOverRed(twice, "saved twice");

    // scripts/test installs ImageMagick; without it this check fails rather than skips.
    ASSERT_TRUE(HaveProgram("convert")) << "ImageMagick's convert is missing";
    testsupport::TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string path = dir / "saved.gif";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(saved.data()), static_cast<long>(saved.size()));
    // Frame 1 as another reader composes it: black opaque, then red through the hole.
    const std::string pixels =
        Output("convert '" + path + "' -coalesce -delete 0 -depth 8 rgba:- | od -An -v -tu1");
    std::istringstream in(pixels);
    std::vector<int> v;
    for (int x; in >> x;) v.push_back(x);
    EXPECT_EQ(v, (std::vector<int>{0, 0, 0, 255, 255, 0, 0, 255}));
}

TEST(GifTransparentIndex, DrawingKeysByIndexAlsoForBuiltFrames) {
    // A frame made from a bitmap whose palette holds the key colour at 0 and 1.
    TDib dib(2, 1, 8);
    dib.SetPaletteEntry(0, {0, 0, 0, 0});
    dib.SetPaletteEntry(1, {0, 0, 0, 0});
    dib.ScanLine(0)[0] = 0;
    dib.ScanLine(0)[1] = 1;
    TGIFImageCore image;
    TDib ground(2, 1, 8);
    ground.SetPaletteEntry(0, {0, 0, 255, 0});
    image.AddFrame(ground).SetDisposal(1);
    TGIFFrame& top = image.AddFrame(dib);
    top.SetTransparentColor(kBlack);
    top.SetTransparentIndex(1);
    image.SetCurrentFrame(0);
    const TComposedFrame f = ComposeFrame(image, 1);
    EXPECT_EQ(At(f, 0, 0), kBlack);
    EXPECT_EQ(At(f, 1, 0), kRed);
    // Encoded and read back, the stored index stays.
    TGIFImageCore back;
    back.LoadFromBytes(image.SaveToBytes());
    EXPECT_EQ(back.Frame(1).TransparentIndex(), 1);
}

TEST(GifLimits, FortyHugeEmptyFramesAreRefusedWithoutTheMemory) {
    const Bytes bytes = EmptyFrames(40, 8192, 8192);
    ASSERT_LT(bytes.size(), 2000u);
    // In a child, so that its peak memory is its own: the 2.6 GB such a file used to take.
    int pipeFd[2];
    ASSERT_EQ(pipe(pipeFd), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(pipeFd[0]);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__has_feature)
        // Should the budget fail, the child fails to allocate instead of taking the machine.
        const rlimit limit{static_cast<rlim_t>(StatusKb("VmSize:") + 512 * 1024) * 1024,
                           RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
#endif
        const long before = StatusKb("VmRSS:");
        std::string message = "loaded";
        TGIFImageCore image;
        try {
            image.LoadFromBytes(bytes);
            for (int i = 0; i < image.FrameCount(); ++i) image.Frame(i).Bitmap();
        } catch (const EGifCodecError& e) {
            message = e.what();
        }
        const std::string report =
            message + "\n" + std::to_string(StatusKb("VmHWM:") - before) + "\n";
        (void)!write(pipeFd[1], report.data(), report.size());
        _exit(0);
    }
    close(pipeFd[1]);
    std::string report;
    char buf[256];
    for (ssize_t n; (n = read(pipeFd[0], buf, sizeof buf)) > 0;) report.append(buf, n);
    close(pipeFd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    std::istringstream in(report);
    std::string message;
    long grewKb = -1;
    std::getline(in, message);
    in >> grewKb;
    EXPECT_EQ(message, "GIF image is too large");
    EXPECT_GE(grewKb, 0);
    EXPECT_LT(grewKb, 64 * 1024) << "peak grew by " << grewKb << " kB";
}

TEST(GifLimits, BudgetCountsEveryFrameOfThePicture) {
    // Four 8192 x 8192 frames are exactly the budget; one more pixel is not.
    ASSERT_EQ(4 * std::int64_t{8192} * 8192, kMaxPicturePixels);
    TGIFImageCore image;
    image.LoadFromBytes(EmptyFrames(4, 8192, 8192), false);
    EXPECT_EQ(image.FrameCount(), 4);
    GifBuilder more;
    more.Raw(EmptyFrames(4, 8192, 8192));
    Bytes bytes = more.bytes();
    bytes.pop_back();  // the trailer
    GifBuilder tail;
    tail.Image(0, 0, 1, 1).Raw(PackCodes(2, {4, 5})).Trailer();
    bytes.insert(bytes.end(), tail.bytes().begin(), tail.bytes().end());
    try {
        image.LoadFromBytes(bytes, false);
        FAIL() << "accepted";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "GIF image is too large");
    }
    // A logical screen beyond the frame limit is refused as such when composed.
    TGIFImageCore wide;
    wide.AddFrame(TDib(1, 1, 1));
    wide.SetScreenSize(65535, 65535);
    EXPECT_THROW(ComposeFrame(wide, 0), EInvalidGraphicOperation);
}

TEST(GifComposePlacement, ScreenSizedFrameOffTheOriginIsNoStartFrame) {
    TDib a(10, 10, 1), b(10, 10, 1), c(1, 1, 1);
    a.SetPaletteEntry(0, {0, 0, 255, 0});
    b.SetPaletteEntry(0, {0, 255, 0, 0});
    c.SetPaletteEntry(0, {255, 0, 0, 0});
    TGIFImageCore image;
    image.AddFrame(a).SetDisposal(1);
    TGIFFrame& shifted = image.AddFrame(b);
    shifted.SetOrigin({5, 5});
    shifted.SetDisposal(2);
    image.AddFrame(c).SetOrigin({9, 9});
    image.SetScreenSize(10, 10);
    image.SetCurrentFrame(0);
    const TComposedFrame f = ComposeFrame(image, 2, Rgb(1, 2, 3));
    EXPECT_EQ(At(f, 0, 0), kRed);  // frame 0 still shows outside (5, 5)-(9, 9)
    EXPECT_EQ(At(f, 4, 9), kRed);
    EXPECT_EQ(At(f, 5, 5), Rgb(1, 2, 3));  // the shifted frame's own rectangle is cleared
    EXPECT_EQ(At(f, 9, 9), Rgb(0, 0, 255));
    // At the origin the same frame does start the composition.
    shifted.SetOrigin({0, 0});
    EXPECT_EQ(At(ComposeFrame(image, 2, Rgb(1, 2, 3)), 0, 0), Rgb(1, 2, 3));
}

TEST(GifComposePlacement, NegativeOriginIsClippedToTheScreen) {
    TDib dib(4, 3, 8);
    for (int i = 0; i < 12; ++i) {
        dib.SetPaletteEntry(i, {0, 0, static_cast<std::uint8_t>(i * 10), 0});
        dib.ScanLine(i / 4)[i % 4] = static_cast<std::uint8_t>(i);
    }
    TGIFImageCore image;
    image.AddFrame(TDib(3, 3, 1)).SetDisposal(1);
    TGIFFrame& moved = image.AddFrame(dib);
    moved.SetOrigin({-2, -1});
    moved.SetDisposal(2);
    image.AddFrame(TDib(1, 1, 1)).SetOrigin({2, 2});
    image.SetScreenSize(3, 3);
    const TComposedFrame f = ComposeFrame(image, 1);
    EXPECT_EQ(At(f, 0, 0), Rgb(60, 0, 0));  // pixel (2, 1) of the frame
    EXPECT_EQ(At(f, 1, 1), Rgb(110, 0, 0));
    EXPECT_EQ(At(f, 2, 0), Rgb(0, 0, 0));  // the first frame, not covered
    // Its clearing is clipped the same way.
    const TComposedFrame g = ComposeFrame(image, 2, Rgb(9, 9, 9));
    EXPECT_EQ(At(g, 1, 1), Rgb(9, 9, 9));
    EXPECT_EQ(At(g, 2, 1), Rgb(0, 0, 0));
}

TEST(GifComposeIncremental, EveryFrameAsComposedFromTheStart) {
    // Sub-rectangles, every disposal, transparency, a start frame and a shifted full frame.
    TGIFImageCore image;
    std::mt19937 rng(3);
    for (int k = 0; k < 24; ++k) {
        const bool full = k % 7 == 3;
        const int w = full ? 12 : 1 + static_cast<int>(rng() % 8);
        const int h = full ? 9 : 1 + static_cast<int>(rng() % 6);
        TGIFFrame& f = image.AddFrame(Random8(w, h, k, k % 3 == 0 ? 4 : 8));
        f.SetOrigin(full ? TPoint{k % 2 ? 0 : 2, 0}
                         : TPoint{static_cast<int>(rng() % 8), static_cast<int>(rng() % 6)});
        f.SetDisposal(static_cast<std::uint8_t>(full ? 2 : rng() % 4));
        if (k % 4 == 1) f.SetTransparentColor(f.Bitmap().PaletteColor(0));
    }
    image.SetScreenSize(12, 9);
    image.SetBackgroundColor(Rgb(5, 6, 7));
    image.SetCurrentFrame(1);  // has a transparent colour: the key fill and its mask
    TFrameComposer composer(image);
    for (int n = 0; n < image.FrameCount(); ++n) {
        ASSERT_FALSE(composer.AtEnd());
        const TComposedFrame& step = composer.Next();
        const TComposedFrame whole = ComposeFrame(image, n);
        EXPECT_EQ(step.rgb, whole.rgb) << "frame " << n;
        EXPECT_EQ(step.mask, whole.mask) << "frame " << n;
    }
    EXPECT_TRUE(composer.AtEnd());
}

TEST(GifDecoderWindow, ClearsAnywhereAndLongStretchesWithoutOne) {
    // Our encoder clears every 4094 codes, mid-row; all depths, interlaced or not.
    for (int bits : {1, 4, 8}) {
        for (bool interlaced : {false, true}) {
            const TDib source = Random8(301, 187, bits, bits);
            const std::vector<std::uint8_t> encoded = LzwEncode(source, interlaced, {});
            TDib decoded(301, 187, bits);
            EXPECT_FALSE(LzwDecode(encoded, decoded, bits, interlaced, true, {}));
            EXPECT_TRUE(SameIndices(source, decoded)) << bits << " bits " << interlaced;
        }
    }
    // 600 x 600 literal codes and no clear after the first: the table fills and stays.
    std::vector<int> codes{256};
    for (int i = 0; i < 600 * 600; ++i) codes.push_back((i * 7 + i / 600) & 0xFF);
    codes.push_back(257);
    TDib decoded(600, 600, 8);
    EXPECT_FALSE(LzwDecode(PackCodes(8, codes), decoded, 8, false, true, {}));
    int wrong = 0;
    for (int i = 0; i < 600 * 600; ++i)
        wrong +=
            decoded.PixelIndex(i % 600, i / 600) != static_cast<unsigned>((i * 7 + i / 600) & 0xFF);
    EXPECT_EQ(wrong, 0);
}
