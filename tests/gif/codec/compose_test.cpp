// Composing a frame over the ones before it, by disposal method.
#include "gif/codec/compose.h"

#include <gtest/gtest.h>

#include <utility>

#include "gif/codec/gifimagecore.h"

using namespace gifcodec;

namespace {

constexpr TColor kA = Rgb(10, 0, 0), kB = Rgb(0, 20, 0), kC = Rgb(0, 0, 30);
constexpr TColor kWindow = Rgb(250, 250, 250);

TDib Solid(int w, int h, TColor c) {
    TDib dib(w, h, 1);
    dib.SetPaletteEntry(
        0, {static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
            static_cast<std::uint8_t>(RedOf(c)), 0});
    return dib;
}

TColor At(const TComposedFrame& f, int x, int y) {
    const std::uint8_t* p = f.rgb.data() + (y * f.width + x) * 3;
    return Rgb(p[0], p[1], p[2]);
}

// A 4x4 full frame of A, a 2x2 frame of B at (1,1) with the given disposal, a 1x1 C at (0,0).
void Build(TGIFImageCore& image, int middleDisposal) {
    image.AddFrame(Solid(4, 4, kA)).SetDisposal(1);
    TGIFFrame& middle = image.AddFrame(Solid(2, 2, kB));
    middle.SetOrigin({1, 1});
    middle.SetDisposal(static_cast<std::uint8_t>(middleDisposal));
    image.AddFrame(Solid(1, 1, kC));
    image.UpdateScreenSize();
    image.SetCurrentFrame(0);
}

}  // namespace

// The reserved methods 4 to 7 leave the frame in place, as 0 and 1 do; composing frame by
// frame agrees.
TEST(GifCompose, LeaveInPlaceDrawsEarlierFrames) {
    for (int disposal : {0, 1, 4, 5, 6, 7}) {
        SCOPED_TRACE(disposal);
        TGIFImageCore image;
        Build(image, disposal);
        const TComposedFrame f = ComposeFrame(image, 2, kWindow);
        ASSERT_EQ(f.width, 4);
        EXPECT_EQ(At(f, 0, 0), kC);
        EXPECT_EQ(At(f, 1, 1), kB);
        EXPECT_EQ(At(f, 2, 2), kB);
        EXPECT_EQ(At(f, 3, 3), kA);
        EXPECT_EQ(f.key, clNone);
        TFrameComposer composer(image, kWindow);
        composer.Next();
        composer.Next();
        EXPECT_EQ(composer.Next().rgb, f.rgb);
    }
}

TEST(GifCompose, RestoreToBackgroundClearsRectangle) {
    TGIFImageCore image;
    Build(image, 2);
    const TComposedFrame f = ComposeFrame(image, 2, kWindow);
    EXPECT_EQ(At(f, 1, 1), kWindow);
    EXPECT_EQ(At(f, 2, 2), kWindow);
    EXPECT_EQ(At(f, 3, 1), kA);
    EXPECT_EQ(At(f, 0, 0), kC);
    // The frame itself is shown while it is current.
    EXPECT_EQ(At(ComposeFrame(image, 1, kWindow), 1, 1), kB);
}

TEST(GifCompose, RestoreToPreviousSkipsFrame) {
    TGIFImageCore image;
    Build(image, 3);
    const TComposedFrame f = ComposeFrame(image, 2, kWindow);
    EXPECT_EQ(At(f, 1, 1), kA);
    EXPECT_EQ(At(f, 0, 0), kC);
}

// A frame that restores what lay under it but falls wholly off the screen, or the screen
// has no width: nothing to keep or put back, and the frames around it still compose.
TEST(GifCompose, RestoreToPreviousOffTheScreen) {
    for (const auto& [width, origin] : {std::pair{4, TPoint{4, 1}}, std::pair{0, TPoint{0, 0}}}) {
        SCOPED_TRACE(width);
        TGIFImageCore image;
        Build(image, 3);
        image.Frame(1).SetOrigin(origin);
        image.SetScreenSize(static_cast<std::uint16_t>(width), 4);
        TFrameComposer composer(image, kWindow);
        composer.Frame(1);
        const TComposedFrame& f = composer.Frame(2);
        ASSERT_EQ(f.width, width);
        if (width > 0) {
            EXPECT_EQ(At(f, 0, 0), kC);
            EXPECT_EQ(At(f, 1, 1), kA);
        }
    }
}

TEST(GifCompose, FullScreenRestoreStartsComposition) {
    TGIFImageCore image;
    image.AddFrame(Solid(4, 4, kA));
    image.AddFrame(Solid(4, 4, kB)).SetDisposal(2);
    image.AddFrame(Solid(1, 1, kC)).SetOrigin({3, 3});
    image.UpdateScreenSize();
    const TComposedFrame f = ComposeFrame(image, 2, kWindow);
    EXPECT_EQ(At(f, 0, 0), kWindow);  // neither A nor the start frame B is drawn
    EXPECT_EQ(At(f, 3, 3), kC);
    // Past the last frame the last one is shown.
    EXPECT_EQ(At(ComposeFrame(image, 9, kWindow), 3, 3), kC);
}

TEST(GifCompose, TransparentColourBecomesKeyAndMask) {
    TGIFImageCore image;
    image.AddFrame(Solid(4, 4, kA)).SetTransparentColor(kA);
    image.AddFrame(Solid(2, 2, kB)).SetOrigin({1, 1});
    image.UpdateScreenSize();
    image.SetCurrentFrame(0);
    const TComposedFrame f = ComposeFrame(image, 1, kWindow);
    EXPECT_EQ(f.key, kA);
    EXPECT_EQ(At(f, 0, 0), kA);
    EXPECT_EQ(f.mask[0], 1);
    EXPECT_EQ(At(f, 1, 1), kB);
    EXPECT_EQ(f.mask[1 * 4 + 1], 0);
}

TEST(GifCompose, BackgroundColourFillsWhenPictureHasTransparency) {
    TGIFImageCore image;
    image.AddFrame(Solid(2, 2, kA));
    image.AddFrame(Solid(1, 1, kB)).SetTransparentColor(kB);
    image.SetBackgroundColor(kC);
    image.UpdateScreenSize();
    image.SetCurrentFrame(0);  // the current frame has no transparent colour
    const TComposedFrame f = ComposeFrame(image, 1, kWindow);
    EXPECT_EQ(f.key, clNone);
    EXPECT_EQ(At(f, 0, 0), kA);  // B is transparent, A shows
    image.Frame(0).SetDisposal(2);
    image.Frame(1).SetOrigin({1, 1});
    image.Frame(1).SetTransparentColor(clNone);
    image.Frame(0).SetTransparentColor(kB);  // keeps HasTransparency, not a colour in use
    image.SetCurrentFrame(1);
    const TComposedFrame g = ComposeFrame(image, 1, kWindow);
    EXPECT_EQ(At(g, 0, 0), kC);
}

TEST(GifCompose, AnOpaquePictureLeavesTheWindowColourOutsideItsFirstFrame) {
    TGIFImageCore image;
    image.AddFrame(Solid(1, 1, kA));
    image.AddFrame(Solid(1, 1, kB)).SetOrigin({1, 1});
    image.SetBackgroundColor(kC);  // stored, but only a picture with transparency uses it
    image.UpdateScreenSize();
    image.SetCurrentFrame(0);
    ASSERT_FALSE(image.HasTransparency());
    const TComposedFrame f = ComposeFrame(image, 0, kWindow);
    ASSERT_EQ(f.width, 2);
    EXPECT_EQ(At(f, 0, 0), kA);
    EXPECT_EQ(At(f, 1, 1), kWindow);
    EXPECT_EQ(At(f, 1, 0), kWindow);
}
