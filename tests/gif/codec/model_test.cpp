// The picture model: shared records, empty states and assignment.
#include <gtest/gtest.h>

#include "gif/codec/giferrors.h"
#include "gif/codec/gifimagecore.h"
#include "tests/gif/codec/gifbuilder.h"

using namespace gifcodec;
using giftest::GifBuilder;
using giftest::LiteralImage;

namespace {

giftest::Bytes TwoFrames() {
    return GifBuilder()
        .Header("GIF89a", 4, 3, 2, 1)
        .Loop(5, 0)
        .Control(1, 10, 2)
        .Comment({"first"})
        .Image(0, 0, 2, 1)
        .Raw(LiteralImage(2, {1, 2}))
        .Control(2, 20)
        .Image(2, 2, 2, 1, 0, 2)
        .Raw(LiteralImage(2, {3, 0}))
        .Trailer()
        .bytes();
}

TDib Solid(int w, int h, std::uint8_t index) {
    TDib dib(w, h, 8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dib.ScanLine(y)[x] = index;
    dib.SetPaletteEntry(index, {1, 2, 3, 0});
    return dib;
}

}  // namespace

TEST(GifModel, SharedRecordsLiveUntilLastRelease) {
    auto a = TSharedRef<TGIFItem>::Create();
    EXPECT_EQ(a->RefCount(), 1);
    {
        TSharedRef<TGIFItem> b = a;
        EXPECT_EQ(a->RefCount(), 2);
        b = TSharedRef<TGIFItem>::Create();
        EXPECT_EQ(a->RefCount(), 1);
    }
    TSharedImage::Release(nullptr);  // nothing happens
    a = a;
    EXPECT_EQ(a->RefCount(), 1);
}

TEST(GifModel, EmptyPicture) {
    TGIFImageCore image;
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.CurrentFrame(), -1);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.ScreenWidth(), 0);
    EXPECT_EQ(image.BackgroundColor(), clNone);
    EXPECT_EQ(image.RepeatCount(), 1);
    EXPECT_EQ(image.Version(), 0);
    // Asking for the current bitmap of nothing gives one empty frame.
    EXPECT_TRUE(image.CurrentBitmap().Empty());
    EXPECT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.CurrentFrame(), 0);
    EXPECT_TRUE(image.Empty());
}

TEST(GifModel, SizeCannotBeSet) {
    TGIFImageCore image;
    try {
        image.SetWidth(3);
        FAIL();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot change the Size of a GIF image");
    }
    EXPECT_THROW(image.SetHeight(3), EInvalidGraphicOperation);
}

TEST(GifModel, AssignPictureSharesDataAndItems) {
    auto copy = std::make_unique<TGIFImageCore>();
    TGIFImageCore original;
    original.LoadFromBytes(TwoFrames());
    int changes = 0;
    copy->SetOnChange([&] { ++changes; });
    copy->Assign(original);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(copy->Equals(original));
    EXPECT_EQ(original.Data().RefCount(), 2);
    ASSERT_EQ(copy->FrameCount(), 2);
    EXPECT_TRUE(copy->Frame(1).SharesItemWith(original.Frame(1)));
    EXPECT_EQ(original.Frame(1).Item().RefCount(), 2);
    EXPECT_FALSE(copy->Frame(0).LocalColors());
    EXPECT_TRUE(copy->Frame(1).LocalColors());
    EXPECT_EQ(copy->Frame(0).Delay(), 100);
    EXPECT_EQ(copy->Frame(1).Origin(), (TPoint{2, 2}));
    EXPECT_EQ(*copy->Frame(0).Comment(), TLineList{"first"});
    EXPECT_EQ(copy->RawScreenWidth(), 4);
    EXPECT_EQ(copy->RepeatCount(), 5);
    EXPECT_TRUE(copy->Looping());
    EXPECT_EQ(copy->BackgroundColor(), Rgb(16, 16, 16));
    copy.reset();
    EXPECT_EQ(original.Data().RefCount(), 1);
    EXPECT_EQ(original.Frame(1).Item().RefCount(), 1);
    EXPECT_EQ(original.Frame(1).Bitmap().PixelIndex(0, 0), 3u);
}

TEST(GifModel, AssignFromFrameTakesOwnersGlobalTable) {
    TGIFImageCore original;
    original.LoadFromBytes(TwoFrames());
    TGIFImageCore single;
    single.Assign(original.Frame(1));
    ASSERT_EQ(single.FrameCount(), 1);
    EXPECT_EQ(single.CurrentFrame(), 0);
    EXPECT_EQ(single.Data().colors.count, 4);
    EXPECT_EQ(single.Version(), 1);
    EXPECT_TRUE(single.Frame(0).LocalColors());  // another owner's frame
    // Screen size follows the frame: origin plus size.
    EXPECT_EQ(single.RawScreenWidth(), 4);
    EXPECT_EQ(single.RawScreenHeight(), 3);
    // Assigning one of its own frames keeps that frame intact.
    original.Assign(original.Frame(1));
    ASSERT_EQ(original.FrameCount(), 1);
    EXPECT_EQ(original.Frame(0).Origin(), (TPoint{2, 2}));
    EXPECT_EQ(original.Frame(0).Bitmap().PixelIndex(0, 0), 3u);
}

TEST(GifModel, FrameAssignFromPictureAndNothing) {
    TGIFImageCore original;
    original.LoadFromBytes(TwoFrames());
    TGIFFrame loose;
    loose.Assign(original);
    EXPECT_TRUE(loose.SharesItemWith(original.Frame(0)));
    EXPECT_EQ(loose.TransparentColor(), Rgb(32, 32, 32));
    loose.Assign(nullptr);
    EXPECT_FALSE(loose.SharesItemWith(original.Frame(0)));
    EXPECT_EQ(loose.TransparentColor(), clNone);
    EXPECT_EQ(loose.Width(), 0);
    TGIFImageCore none;
    loose.Assign(Solid(2, 2, 1));
    loose.Assign(none);
    EXPECT_EQ(loose.CachedBitmap(), nullptr);
}

TEST(GifModel, AddFrameSetsVersionAndGrowsScreen) {
    TGIFImageCore image;
    image.AddFrame(Solid(3, 2, 0));
    EXPECT_EQ(image.Version(), 1);
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(image.Width(), 3);
    image.AddFrame(Solid(5, 1, 0));
    EXPECT_EQ(image.Version(), 2);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(image.RawScreenWidth(), 5);
    EXPECT_EQ(image.RawScreenHeight(), 2);
    image.Assign(Solid(7, 7, 0));
    EXPECT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Version(), 1);
    image.Assign(nullptr);
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.FrameCount(), 0);
}

TEST(GifModel, LoadFailureKeepsReadFramesWithoutChange) {
    auto bytes = TwoFrames();
    bytes.pop_back();
    bytes.insert(bytes.end(), {'!', 0x2A, 0});
    TGIFImageCore image;
    int changes = 0;
    image.SetOnChange([&] { ++changes; });
    EXPECT_THROW(image.LoadFromBytes(bytes), EInvalidGraphicOperation);
    EXPECT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(changes, 0);
}

TEST(GifModel, ClipboardDataWithBitmap) {
    TGIFImageCore original;
    original.LoadFromBytes(TwoFrames());
    ASSERT_TRUE(original.CanSaveClipboardData());
    const auto data = original.ClipboardData();
    TGIFImageCore pasted;
    const TDib shown = Solid(2, 1, 9);
    pasted.LoadFromClipboardData(data, &shown);
    ASSERT_EQ(pasted.FrameCount(), 2);
    EXPECT_EQ(pasted.CurrentFrame(), 0);
    EXPECT_EQ(pasted.Frame(0).Bitmap().PixelIndex(0, 0), 9u);
    EXPECT_EQ(pasted.Frame(1).CachedBitmap(), nullptr);  // not decoded
    TGIFImageCore fresh;
    fresh.AddFrame(Solid(1, 1, 0));
    EXPECT_FALSE(fresh.CanSaveClipboardData());
}
