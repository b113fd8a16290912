#include "framework/graphics/imagelist.h"

#include <gtest/gtest.h>

#include "framework/core/classregistry.h"
#include "framework/core/lifelong.h"
#include "framework/graphics/pixelimage.h"
#include "framework/text/componenttext.h"
#include "tests/framework/graphics_testsupport.h"

using namespace fw;

namespace {

class ImageList : public ::testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureApp(); }
};

// Two 103 x 14 images side by side: image 0 red with a blue first column, image 1 green.
void TitleStrip(TBitmap& strip) {
    strip.SetSize(206, 14);
    TCanvas& c = strip.Canvas();
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 103, 14));
    c.Brush().SetColor(clBlue);
    c.FillRect(Rect(0, 0, 1, 14));
    c.Brush().SetColor(clGreen);
    c.FillRect(Rect(103, 0, 206, 14));
}

TEST_F(ImageList, GetBitmapSizesTheReceiverAndCopiesPixels) {
    ComponentPtr<TImageList> list(new TImageList(nullptr));
    list->SetSize(103, 14);
    TBitmap strip;
    TitleStrip(strip);
    EXPECT_EQ(list->Add(strip, nullptr), 0);
    ASSERT_EQ(list->Count(), 2);

    TPicture picture;
    picture.Bitmap().SetSize(164, 51);  // whatever it held before
    list->GetBitmap(0, picture.Bitmap());
    EXPECT_EQ(picture.Width(), 103);
    EXPECT_EQ(picture.Height(), 14);
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(0, 13), clBlue);
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(1, 0), clRed);
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(102, 13), clRed);
    list->GetBitmap(1, picture.Bitmap());
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(0, 0), clGreen);
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(102, 13), clGreen);

    EXPECT_THROW(list->GetBitmap(2, picture.Bitmap()), Exception);
    EXPECT_THROW(list->GetBitmap(-1, picture.Bitmap()), Exception);
}

// Opaque images are handed out without a copy: drawing on the receiver must leave the list's
// image alone, and receivers that keep another pixel format still get one in that format.
TEST_F(ImageList, SharedOpaqueImagesStayTheListsOwnAndFormatsAreKept) {
    ComponentPtr<TImageList> list(new TImageList(nullptr));
    list->SetSize(103, 14);
    TBitmap strip;
    TitleStrip(strip);
    list->Add(strip, nullptr);

    TBitmap first;
    first.SetPixelFormat(pf24bit);
    list->GetBitmap(0, first);
    EXPECT_EQ(first.PixelFormat(), pf24bit);
    EXPECT_EQ(first.Image().constBits(), list->ImageAt(0).constBits()) << "shared, not copied";
    first.Canvas().SetPixel(5, 5, clYellow);
    EXPECT_EQ(first.Canvas().Pixels(5, 5), clYellow);
    TBitmap second;
    list->GetBitmap(0, second);
    EXPECT_EQ(second.Canvas().Pixels(5, 5), clRed) << "the drawing reached the list's image";
    EXPECT_EQ(list->ImageAt(0).pixel(5, 5), qRgb(255, 0, 0));

    for (TPixelFormat pf : {pf8bit, pf32bit}) {
        TBitmap other;
        other.SetPixelFormat(pf);
        list->GetBitmap(1, other);
        EXPECT_EQ(other.PixelFormat(), pf);
        EXPECT_EQ(other.Width(), 103);
        EXPECT_EQ(other.Canvas().Pixels(50, 7), clGreen);
    }

    // An image with clear pixels is still drawn onto white.
    list->SetSize(250, 14);
    list->Add(strip, nullptr);  // wider than the strip: its last 44 columns are clear
    TBitmap padded;
    list->GetBitmap(0, padded);
    EXPECT_EQ(padded.Canvas().Pixels(205, 7), clGreen);
    EXPECT_EQ(padded.Canvas().Pixels(220, 7), clWhite);
}

TEST_F(ImageList, MaskedImagesDrawOnlyTheirVisiblePixels) {
    ComponentPtr<TImageList> list(new TImageList(nullptr));
    list->SetSize(3, 1);
    TBitmap glyph(3, 1);
    glyph.Canvas().SetPixel(0, 0, clBlack);
    glyph.Canvas().SetPixel(1, 0, clFuchsia);
    glyph.Canvas().SetPixel(2, 0, clRed);
    list->AddMasked(glyph, clFuchsia);

    TBitmap target(5, 1);
    target.Canvas().Brush().SetColor(clLime);
    target.Canvas().FillRect(Rect(0, 0, 5, 1));
    list->Draw(target.Canvas(), 1, 0, 0);
    EXPECT_EQ(target.Canvas().Pixels(0, 0), clLime);
    EXPECT_EQ(target.Canvas().Pixels(1, 0), clBlack);
    EXPECT_EQ(target.Canvas().Pixels(2, 0), clLime);
    EXPECT_EQ(target.Canvas().Pixels(3, 0), clRed);

    // Taken out of the list, the masked pixel shows the background colour.
    TBitmap out;
    list->GetBitmap(0, out);
    EXPECT_EQ(out.Canvas().Pixels(1, 0), clWhite);
    list->SetBkColor(clYellow);
    list->GetBitmap(0, out);
    EXPECT_EQ(out.Canvas().Pixels(1, 0), clYellow);

    // An explicit mask: black marks the visible pixels.
    TBitmap mask(3, 1);
    mask.Canvas().SetPixel(2, 0, clBlack);
    list->SetBkColor(clNone);
    list->Add(glyph, &mask);
    target.Canvas().FillRect(Rect(0, 0, 5, 1));
    list->Draw(target.Canvas(), 0, 0, 1);
    EXPECT_EQ(target.Canvas().Pixels(0, 0), clLime);
    EXPECT_EQ(target.Canvas().Pixels(2, 0), clRed);
}

TEST_F(ImageList, BitmapPropertyRoundTripThroughComponentText) {
    ComponentPtr<TImageList> a(new TImageList(nullptr));
    a->SetName("ImageList2");
    a->SetSize(4, 2);
    TBitmap strip(8, 2);
    strip.Canvas().SetPixel(0, 0, clRed);
    strip.Canvas().SetPixel(1, 0, clFuchsia);
    strip.Canvas().SetPixel(7, 1, clBlue);
    a->AddMasked(strip, clFuchsia);
    std::string text = WriteComponentText(*a);
    EXPECT_NE(text.find("Width = 4"), std::string::npos) << text;
    EXPECT_NE(text.find("Bitmap = {"), std::string::npos) << text;
    EXPECT_EQ(text.find("Masked"), std::string::npos) << text;  // at its default

    ComponentPtr<TImageList> b(new TImageList(nullptr));
    ApplyComponentText(*b, text, b.get());
    ASSERT_EQ(b->Count(), 2);
    EXPECT_EQ(b->Width(), 4);
    EXPECT_EQ(b->ImageAt(0).pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(b->ImageAt(0).pixel(1, 0)), 0);  // the mask survived
    EXPECT_EQ(b->ImageAt(1).pixel(3, 1), qRgb(0, 0, 255));

    // An empty list writes no Bitmap.
    ComponentPtr<TImageList> empty(new TImageList(nullptr));
    EXPECT_EQ(WriteComponentText(*empty).find("Bitmap"), std::string::npos);

    // Read but not yet unpacked, the data is written back as it came, and what empties a
    // list empties it before its first use too.
    ComponentPtr<TImageList> unread(new TImageList(nullptr));
    ApplyComponentText(*unread, text, unread.get());
    const std::string written = WriteComponentText(*unread);
    EXPECT_EQ(written.substr(written.find("Width")), text.substr(text.find("Width")));
    using Change = void (*)(TImageList&);
    for (Change empties : {Change([](TImageList& l) { l.Clear(); }),
                           Change([](TImageList& l) { l.SetSize(3, 2); })}) {
        ApplyComponentText(*unread, text, unread.get());
        empties(*unread);
        EXPECT_EQ(unread->Count(), 0);
        EXPECT_FALSE(unread->HasImages());
    }
}

TEST_F(ImageList, ResizingEmptiesAndShortImagesArePadded) {
    ComponentPtr<TImageList> list(new TImageList(nullptr));
    list->SetSize(9, 8);
    TBitmap small(5, 3);  // narrower than one image: still one image
    small.Canvas().SetPixel(4, 2, clRed);
    list->Add(small, nullptr);
    ASSERT_EQ(list->Count(), 1);
    QImage img = list->ImageAt(0);
    EXPECT_EQ(img.size(), QSize(9, 8));
    EXPECT_EQ(img.pixel(4, 2), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(img.pixel(8, 7)), 0);
    list->SetWidth(10);
    EXPECT_EQ(list->Count(), 0);
    list->SetWidth(10);
    list->Add(small, nullptr);
    list->SetWidth(10);  // unchanged: the image stays
    EXPECT_EQ(list->Count(), 1);
}

// Lists read from data that lives as long as the program show their images where they lie,
// and only there: drawing on an image taken out leaves the data alone, and an image whose
// clear pixels are not clear black, or data that is not lifelong or not aligned, is copied
// and shows the same pixels.
TEST_F(ImageList, LifelongDataIsShownInPlaceAndNeverWritten) {
    ComponentPtr<TImageList> source(new TImageList(nullptr));
    source->SetSize(103, 14);
    TBitmap strip;
    TitleStrip(strip);
    source->Add(strip, nullptr);
    source->SetSize(3, 1);  // a second list: a masked image beside an opaque one
    TBitmap glyphs(6, 1);
    glyphs.Canvas().SetPixel(1, 0, clFuchsia);
    source->AddMasked(glyphs, clFuchsia);
    const Bytes masked = PixelFormData(source->BitmapData());
    source->SetSize(103, 14);
    source->Add(strip, nullptr);
    const Bytes titles = PixelFormData(source->BitmapData());

    // The pixel image's rows start 20 bytes into a buffer of the allocator's alignment.
    auto* lifelong = new std::vector<Bytes>{titles, masked, masked, titles};  // never freed
    Bytes& dirty = (*lifelong)[2];
    dirty[dirty.size() - 4 * 3 + 3] = 0;  // glyph 1's first pixel: clear but not black
    Bytes& shifted = (*lifelong)[3];
    shifted.insert(shifted.begin(), 0);
    for (const Bytes& b : *lifelong) Lifelong({reinterpret_cast<const char*>(b.data()), b.size()});
    const Bytes copied = titles;  // the same bytes, not lifelong

    struct Case {
        const char* name;
        ByteView data;
        bool inPlace;
    };
    for (const Case& c :
         {Case{"lifelong", (*lifelong)[0], true}, Case{"not lifelong", copied, false},
          Case{"not aligned", ByteView(shifted).subspan(1), false}}) {
        SCOPED_TRACE(c.name);
        const Bytes before(c.data.begin(), c.data.end());
        ComponentPtr<TImageList> list(new TImageList(nullptr));
        list->SetSize(103, 14);
        list->SetBitmapData(c.data);
        ASSERT_EQ(list->Count(), 2);
        const uint8_t* bits = list->ImageAt(0).constBits();
        EXPECT_EQ(bits >= c.data.data() && bits < c.data.data() + c.data.size(), c.inPlace);
        TBitmap shown;
        list->GetBitmap(0, shown);
        EXPECT_EQ(shown.Canvas().Pixels(0, 13), clBlue);
        shown.Canvas().SetPixel(0, 13, clYellow);
        EXPECT_EQ(shown.Canvas().Pixels(0, 13), clYellow);
        EXPECT_EQ(list->ImageAt(0).pixel(0, 13), qRgb(0, 0, 255));
        EXPECT_TRUE(std::equal(before.begin(), before.end(), c.data.begin()));
    }

    ComponentPtr<TImageList> list(new TImageList(nullptr));
    list->SetSize(3, 1);
    list->SetBitmapData(dirty);
    ASSERT_EQ(list->Count(), 2);
    auto inside = [&](const QImage& img) {
        return img.constBits() >= dirty.data() && img.constBits() < dirty.data() + dirty.size();
    };
    EXPECT_TRUE(inside(list->ImageAt(0)));
    EXPECT_FALSE(inside(list->ImageAt(1)));
    EXPECT_EQ(list->ImageAt(1).pixel(0, 0), 0u) << "a clear pixel is clear black";
    EXPECT_EQ(qAlpha(list->ImageAt(0).pixel(1, 0)), 0);
}

TEST_F(ImageList, IsCreatableByName) {
    RegisterGraphicsClasses();
    const TClassInfo* info = FindClass("TImageList");
    ASSERT_NE(info, nullptr);
    ASSERT_TRUE(info->create);
    ComponentPtr<TComponent> c(info->create(nullptr));
    EXPECT_NE(dynamic_cast<TImageList*>(c.get()), nullptr);
}

}  // namespace
