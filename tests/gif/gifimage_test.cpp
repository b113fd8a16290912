// The GIF picture as a framework graphic: drawing with its transparent colour, assignment
// to and from bitmaps, form data, the registered file and clipboard formats.
#include "gif/gifimage.h"

#include <gtest/gtest.h>

#include "framework/graphics/clipboard.h"
#include "framework/graphics/graphicsicon.h"
#include "framework/graphics/picture.h"
#include "testpaths.h"
#include "tests/gif/codec/gifbuilder.h"
#include "tests/gif/gifsupport.h"

using gif::TGIFImage;

namespace {

constexpr fw::TColor kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kRed = 0x0000FF;
const std::string kIndicator = REZAZO_SOURCE_DIR "/resources/art/indicator.gif";

fw::TColor Px(fw::TBitmap& b, int x, int y) { return b.Canvas().Pixels(x, y) & 0xFFFFFF; }

class GifImageTest : public ::testing::Test {
  protected:
    void SetUp() override { giftest::EnsureApp(); }
};

// Three colours in a 3 x 2 picture.
std::unique_ptr<fw::TBitmap> Sample() {
    return giftest::MakeBitmap(3, 2, [](int x, int y) { return y ? kWhite : x ? kRed : kBlue; });
}

TEST_F(GifImageTest, DrawingKeysOutTheTransparentColour) {
    auto g = giftest::MakeGif(2, 2, {[](int x, int y) { return x == y ? kGreen : kWhite; }});
    auto target = giftest::MakeBitmap(4, 2, [](int, int) { return kBlue; });

    g->Draw(target->Canvas(), fw::Rect(0, 0, 2, 2));  // no transparent colour yet
    EXPECT_EQ(Px(*target, 0, 0), kGreen);

    g->Frames(0).SetTransparentColor(kGreen);
    g->Draw(target->Canvas(), fw::Rect(2, 0, 4, 2));
    EXPECT_EQ(Px(*target, 2, 0), kBlue);
    EXPECT_EQ(Px(*target, 3, 1), kBlue);
    EXPECT_EQ(Px(*target, 3, 0), kWhite);

    // Stretched to twice the size, keyed all the same.
    auto wide = giftest::MakeBitmap(4, 4, [](int, int) { return kBlue; });
    g->Draw(wide->Canvas(), fw::Rect(0, 0, 4, 4));
    EXPECT_EQ(Px(*wide, 1, 1), kBlue);
    EXPECT_EQ(Px(*wide, 3, 0), kWhite);

    // A picture with no current frame draws nothing.
    TGIFImage empty;
    empty.Draw(wide->Canvas(), fw::Rect(0, 0, 4, 4));
    EXPECT_EQ(Px(*wide, 3, 0), kWhite);
}

TEST_F(GifImageTest, DrawingKeysOutOnlyTheTransparentIndex) {
    // A palette holding black at 0 and at the transparent index 3: pixels 0, 3.
    giftest::GifBuilder b;
    b.Text("GIF89a").Word(2).Word(1).Raw({0x91, 0, 0});
    b.Raw({0, 0, 0, 128, 128, 128, 255, 0, 0, 0, 0, 0});
    b.Control(0, 0, 3).Image(0, 0, 2, 1).Raw(giftest::LiteralImage(2, {0, 3})).Trailer();
    TGIFImage g;
    g.LoadFromStream(b.bytes());
    auto target = giftest::MakeBitmap(4, 2, [](int, int) { return kBlue; });
    g.Draw(target->Canvas(), fw::Rect(0, 0, 4, 2));  // stretched twice
    EXPECT_EQ(Px(*target, 1, 1), 0u);
    EXPECT_EQ(Px(*target, 2, 0), kBlue);
    EXPECT_EQ(Px(*target, 3, 1), kBlue);
}

TEST_F(GifImageTest, AssignedFromABitmapAndBackAgain) {
    TGIFImage g;
    int changes = 0;
    g.OnChange = [&] { ++changes; };
    auto source = Sample();
    g.Assign(*source);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(g.FrameCount(), 1);
    EXPECT_EQ(g.CurrentFrame(), 0);
    EXPECT_EQ(g.Width(), 3);
    EXPECT_EQ(g.Height(), 2);
    EXPECT_EQ(g.ScreenWidth(), 3);

    fw::TBitmap back;
    back.Assign(g);
    ASSERT_EQ(back.Width(), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(Px(back, x, y), Px(*source, x, y)) << x << y;

    // Through the encoder (reduced to a palette) and back: the colours survive.
    fw::Bytes file;
    g.SaveToStream(file);
    TGIFImage reloaded;
    reloaded.LoadFromStream(file);
    fw::TBitmap again;
    again.Assign(reloaded);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(Px(again, x, y), Px(*source, x, y)) << x << y;

    // An empty picture empties the bitmap.
    TGIFImage empty;
    again.Assign(empty);
    EXPECT_TRUE(again.Empty());
}

TEST_F(GifImageTest, AssignmentBetweenPicturesSharesTheDataAndRefusesOthers) {
    TGIFImage a, b;
    a.Assign(*Sample());
    b.Assign(a);
    EXPECT_TRUE(b.Equals(a));
    EXPECT_EQ(b.FrameCount(), 1);
    EXPECT_FALSE(b.Equals(TGIFImage()));

    // From a picture property holding a GIF image.
    fw::TPicture picture;
    picture.SetGraphic(&a);
    TGIFImage c;
    c.Assign(picture);
    EXPECT_EQ(c.FrameCount(), 1);

    fw::TIcon icon;
    EXPECT_THROW(c.Assign(icon), fw::Exception);
    EXPECT_EQ(c.FrameCount(), 1);

    try {
        c.SetWidth(10);
        FAIL() << "no exception";
    } catch (const gif::EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot change the Size of a GIF image");
        EXPECT_EQ(e.Id(), 61099);
    }
    EXPECT_THROW(c.SetHeight(10), gif::EInvalidGraphicOperation);
}

TEST_F(GifImageTest, FormDataIsACountedGifFileAndRoundTrips) {
    auto g =
        giftest::MakeGif(2, 2, {[](int, int) { return kRed; }, [](int, int) { return kBlue; }});
    g->Frames(0).SetDelay(300);
    g->Frames(1).SetDelay(50);
    fw::Bytes data = g->Data();
    ASSERT_GT(data.size(), 10u);
    const uint32_t count = data[0] | (data[1] << 8) | (data[2] << 16) | (uint32_t(data[3]) << 24);
    EXPECT_EQ(count, data.size() - 4);
    EXPECT_EQ(std::string(data.begin() + 4, data.begin() + 10), "GIF89a");

    TGIFImage back;
    int changes = 0;
    back.OnChange = [&] { ++changes; };
    back.SetData(data);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(back.FrameCount(), 2);
    EXPECT_EQ(back.Frames(0).Delay(), 300);
    EXPECT_EQ(back.Frames(1).Delay(), 50);
    EXPECT_EQ(back.Frames(1).Bitmap().PixelColor(1, 1), kBlue);
    EXPECT_EQ(back.Data(), data);  // loaded frames keep their encoded data
}

TEST_F(GifImageTest, FormDataEdgeCases) {
    TGIFImage g;
    g.Assign(*Sample());
    int changes = 0;
    g.OnChange = [&] { ++changes; };
    g.ReadData(fw::Bytes{0, 0, 0, 0});  // a count of 0: empty, and still a change
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(g.FrameCount(), 0);
    EXPECT_EQ(g.CurrentFrame(), -1);
    EXPECT_TRUE(g.Empty());
    EXPECT_FALSE(TGIFImage::StaticClassInfo().FindProp("Data")->isStored(g));

    try {
        g.ReadData(fw::Bytes{9, 0, 0, 0, 'G', 'I', 'F'});  // count beyond the data
        FAIL() << "no exception";
    } catch (const gif::EStreamError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    try {
        g.ReadData(giftest::Counted({'G', 'I', 'F', '8', '8', 'a', 0, 0}));
        FAIL() << "no exception";
    } catch (const gif::EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "Unknown GIF version");
    }
    fw::Bytes out;
    EXPECT_THROW(g.WriteData(out), gif::EInvalidGraphicOperation);  // no frames to write
    EXPECT_TRUE(out.empty());
}

TEST_F(GifImageTest, RegisteredAsAPictureClassAndFileFormat) {
    EXPECT_EQ(fw::GraphicClassForFile("/tmp/anim.GIF"), "TGIFImage");
    fw::TPicture picture;
    picture.LoadFromFile(kIndicator);
    auto* g = dynamic_cast<TGIFImage*>(picture.Graphic());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->FrameCount(), 6);
    EXPECT_EQ(g->Width(), 11);
    EXPECT_EQ(g->Height(), 15);
    EXPECT_TRUE(g->Core().Looping());

    // The picture property's own data names the class, then the counted file.
    fw::TPicture copy;
    copy.SetData(picture.Data());
    auto* h = dynamic_cast<TGIFImage*>(copy.Graphic());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->FrameCount(), 6);
    EXPECT_EQ(h->Data(), giftest::Counted(giftest::ReadFileBytes(kIndicator)));
}

class GifClipboardTest : public GifImageTest {
  protected:
    void SetUp() override {
        GifImageTest::SetUp();
        if (!fw::Clipboard().Available()) GTEST_SKIP() << "no clipboard on this platform";
    }
};

TEST_F(GifClipboardTest, ThePictureTravelsAsGifImageBesideItsFirstBitmap) {
    EXPECT_EQ(fw::ClipboardFormatName(gif::CF_GIF()), "GIF Image");
    fw::TPicture picture;
    picture.LoadFromFile(kIndicator);
    fw::Clipboard().Assign(picture);
    EXPECT_TRUE(fw::Clipboard().HasFormat(gif::CF_GIF()));
    EXPECT_TRUE(fw::Clipboard().HasFormat(fw::CF_BITMAP));

    fw::TPicture back;
    ASSERT_TRUE(fw::Clipboard().GetPicture(back));
    auto* g = dynamic_cast<TGIFImage*>(back.Graphic());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->FrameCount(), 6);
    EXPECT_EQ(g->CurrentFrame(), 0);
    EXPECT_EQ(g->Frames(0).Bitmap().PixelColor(10, 1),
              dynamic_cast<TGIFImage*>(picture.Graphic())->Frames(0).Bitmap().PixelColor(10, 1));
    EXPECT_EQ(g->Data(), giftest::Counted(giftest::ReadFileBytes(kIndicator)));
}

TEST_F(GifClipboardTest, APictureWithoutEncodedDataOffersOnlyItsBitmap) {
    TGIFImage g;
    g.Assign(*Sample());
    fw::ClipboardData data;
    g.SaveToClipboardFormat(data);
    EXPECT_TRUE(data.Has(fw::CF_BITMAP));
    EXPECT_FALSE(data.Has(gif::CF_GIF()));

    // Loaded from the bitmap alone, the picture is assigned from it.
    TGIFImage back;
    back.LoadFromClipboardFormat(fw::CF_BITMAP, data);
    ASSERT_EQ(back.FrameCount(), 1);
    EXPECT_EQ(back.Frames(0).Bitmap().PixelColor(1, 0), kRed);

    TGIFImage none;
    fw::ClipboardData nothing;
    none.SaveToClipboardFormat(nothing);
    EXPECT_TRUE(nothing.formats.empty());
}

}  // namespace
