#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "testpaths.h"
#include "tests/framework/graphics_testsupport.h"
#include "tests/support/tempdir.h"

using namespace fw;

namespace {

class GraphicsPicture : public ::testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureApp(); }
};

void Checker(TBitmap& b, int w, int h) {
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Canvas().SetPixel(x, y, (x + y) % 2 ? clRed : clBlue);
}

TEST_F(GraphicsPicture, DataRoundTripOfABitmap) {
    TPicture a;
    Checker(a.Bitmap(), 5, 3);
    Bytes data = a.Data();
    // Class name with its length byte, then a 32-bit count and the BMP file image.
    ASSERT_GT(data.size(), 12u);
    EXPECT_EQ(data[0], 7);
    EXPECT_EQ(std::string(data.begin() + 1, data.begin() + 8), "TBitmap");
    uint32_t count =
        data[8] | (data[9] << 8) | (data[10] << 16) | (static_cast<uint32_t>(data[11]) << 24);
    EXPECT_EQ(count, data.size() - 12);
    EXPECT_EQ(data[12], 'B');
    EXPECT_EQ(data[13], 'M');

    TPicture b;
    b.SetData(data);
    ASSERT_NE(dynamic_cast<TBitmap*>(b.Graphic()), nullptr);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(b.Bitmap().Canvas().Pixels(x, y), (x + y) % 2 ? clRed : clBlue);
    EXPECT_EQ(b.Data(), data);
}

TEST_F(GraphicsPicture, UnknownClassOrBadDataKeepsTheOldPicture) {
    TPicture p;
    Checker(p.Bitmap(), 2, 2);
    Bytes unknown{8, 'T', 'G', 'I', 'F', 'I', 'm', 'a', 'g', 0, 0, 0, 0};
    try {
        p.SetData(unknown);
        FAIL() << "no error for an unknown class";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("TGIFImag"), std::string::npos) << e.what();
    }
    EXPECT_EQ(p.Width(), 2);

    Bytes truncatedName{20, 'T', 'B'};
    EXPECT_THROW(p.SetData(truncatedName), EInvalidGraphic);
    Bytes badCount{7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 0xFF, 0, 0, 0, 'B', 'M'};
    EXPECT_THROW(p.SetData(badCount), EInvalidGraphic);
    EXPECT_EQ(p.Width(), 2);

    p.SetData({});
    EXPECT_EQ(p.Graphic(), nullptr);
    EXPECT_TRUE(p.Data().empty());
}

TEST_F(GraphicsPicture, DataIsStoredOnlyWithAGraphic) {
    const PropInfo* data = TPicture::StaticClassInfo().FindProp("Data");
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->isStored);
    TPicture p;
    EXPECT_FALSE(data->isStored(p));
    p.Bitmap();
    EXPECT_TRUE(data->isStored(p));
}

TEST_F(GraphicsPicture, AssignCopiesAndBitmapReplacesOtherGraphics) {
    TPicture a;
    Checker(a.Bitmap(), 3, 3);
    TPicture b;
    b.Assign(a);
    ASSERT_NE(b.Graphic(), a.Graphic());
    a.Bitmap().Canvas().SetPixel(0, 0, clLime);
    EXPECT_EQ(b.Bitmap().Canvas().Pixels(0, 0), clBlue);  // a copy, not a share

    TIcon& icon = b.Icon();
    EXPECT_TRUE(icon.Empty());  // the bitmap was replaced, not converted
    TBitmap& bmp = b.Bitmap();
    EXPECT_TRUE(bmp.Empty());

    b.Assign(nullptr);
    EXPECT_EQ(b.Graphic(), nullptr);
    EXPECT_EQ(b.Width(), 0);
}

TEST_F(GraphicsPicture, ChangesOfTheGraphicReachThePicture) {
    TPicture p;
    int changes = 0;
    p.OnChange = [&] { ++changes; };
    TBitmap& b = p.Bitmap();
    EXPECT_EQ(changes, 1);
    b.SetSize(4, 4);
    EXPECT_EQ(changes, 2);
    b.Canvas().FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(changes, 3);
}

TEST_F(GraphicsPicture, LoadFromFileByExtension) {
    testsupport::TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    std::string path = dir / "picture.BMP";
    {
        TBitmap b;
        Checker(b, 4, 2);
        b.SaveToFile(path);
    }
    TPicture p;
    p.LoadFromFile(path);
    ASSERT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 4);
    EXPECT_EQ(p.Bitmap().Canvas().Pixels(1, 0), clRed);

    EXPECT_THROW(p.LoadFromFile(dir / "x.unknownext"), EInvalidGraphic);
    EXPECT_THROW(p.LoadFromFile(dir / "missing.bmp"), Exception);
    EXPECT_EQ(p.Width(), 4);
}

TEST_F(GraphicsPicture, BitmapTransparencyAndMask) {
    TBitmap b;
    b.SetSize(3, 2);
    b.Canvas().SetPixel(0, 1, clFuchsia);  // bottom-left decides the automatic colour
    b.Canvas().SetPixel(2, 0, clFuchsia);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    EXPECT_EQ(b.TransparentColor(), clFuchsia);
    b.SetTransparentColor(clWhite);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clWhite);

    std::unique_ptr<TBitmap> m = b.CreateMask(clFuchsia);
    EXPECT_TRUE(m->Monochrome());
    EXPECT_EQ(m->Canvas().Pixels(0, 1), clWhite);
    EXPECT_EQ(m->Canvas().Pixels(2, 0), clWhite);
    EXPECT_EQ(m->Canvas().Pixels(1, 0), clBlack);

    // A transparent bitmap drawn on another leaves the key colour's pixels alone.
    b.SetTransparentColor(clFuchsia);
    b.SetTransparent(true);
    TBitmap target(3, 2);
    target.Canvas().Brush().SetColor(clGreen);
    target.Canvas().FillRect(Rect(0, 0, 3, 2));
    target.Canvas().Draw(0, 0, b);
    EXPECT_EQ(target.Canvas().Pixels(0, 1), clGreen);
    EXPECT_EQ(target.Canvas().Pixels(1, 1), clWhite);
}

TEST_F(GraphicsPicture, PixelFormatsSurviveTheirOwnFormData) {
    for (TPixelFormat pf : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(static_cast<int>(pf));
        TBitmap b;
        b.SetPixelFormat(pf);
        b.SetSize(9, 3);
        b.Canvas().Brush().SetColor(clBlack);
        b.Canvas().FillRect(Rect(0, 0, 4, 3));
        Bytes data;
        b.WriteData(data);
        TBitmap c;
        c.ReadData(data);
        EXPECT_EQ(c.PixelFormat(), pf);
        EXPECT_EQ(c.Canvas().Pixels(3, 2), clBlack);
        EXPECT_EQ(c.Canvas().Pixels(4, 0), clWhite);
    }
}

TEST_F(GraphicsPicture, IconFromBitmapAndIcoFile) {
    TBitmap b;
    b.SetSize(2, 2);
    b.Canvas().SetPixel(0, 1, clFuchsia);
    b.SetTransparent(true);
    TIcon icon;
    icon.Assign(b);
    EXPECT_EQ(qAlpha(icon.Image().pixel(0, 1)), 0);
    EXPECT_EQ(qAlpha(icon.Image().pixel(1, 1)), 255);
    EXPECT_FALSE(ToQIcon(icon).isNull());

    // A 2x2 ICO: 24-bit colour rows then the AND mask, top-right pixel masked out.
    Bytes ico{0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 24, 0};
    Bytes img;
    gfxtest::Put32(img, 40);
    gfxtest::Put32(img, 2);
    gfxtest::Put32(img, 4);  // twice the height
    gfxtest::Put16(img, 1);
    gfxtest::Put16(img, 24);
    for (int i = 0; i < 6; ++i) gfxtest::Put32(img, 0);
    for (uint8_t v : {0, 0, 255, 0, 0, 255, 0, 0}) img.push_back(v);  // bottom: red, red
    for (uint8_t v : {255, 0, 0, 255, 0, 0, 0, 0}) img.push_back(v);  // top: blue, blue
    for (uint8_t v : {0, 0, 0, 0}) img.push_back(v);                  // mask bottom row
    for (uint8_t v : {0x40, 0, 0, 0}) img.push_back(v);               // mask top row
    gfxtest::Put32(ico, static_cast<uint32_t>(img.size()));
    gfxtest::Put32(ico, 22);
    ico.insert(ico.end(), img.begin(), img.end());
    TIcon fromIco;
    fromIco.LoadFromStream(ico);
    ASSERT_EQ(fromIco.Width(), 2);
    EXPECT_EQ(fromIco.Image().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(qAlpha(fromIco.Image().pixel(1, 0)), 0);
    EXPECT_EQ(fromIco.Image().pixel(1, 1), qRgb(255, 0, 0));

    Bytes bad = ico;
    bad.resize(30);
    EXPECT_THROW(fromIco.LoadFromStream(bad), EInvalidGraphic);
}

TEST_F(GraphicsPicture, LoadsTheProgramArtwork) {
    const std::string art = std::string(REZAZO_SOURCE_DIR) + "/resources/art/";
    struct File {
        const char* name;
        int w, h;
    };
    for (File f : {File{"skin_full.bmp", 165, 51}, File{"title_dim.bmp", 103, 14},
                   File{"glyphs.bmp", 45, 8}, File{"trayicon.bmp", 32, 32}}) {
        SCOPED_TRACE(f.name);
        TPicture p;
        ASSERT_NO_THROW(p.LoadFromFile(art + f.name));
        EXPECT_EQ(p.Width(), f.w);
        EXPECT_EQ(p.Height(), f.h);
        // Saved and read back through the form data, every pixel stays.
        TPicture q;
        q.SetData(p.Data());
        QImage a = p.Bitmap().ToRGBImage(), b = q.Bitmap().ToRGBImage();
        EXPECT_EQ(a, b);
    }
    TIcon icon;
    icon.LoadFromFile(art + "trayicon.bmp");
    EXPECT_EQ(icon.Width(), 32);
    EXPECT_FALSE(ToQIcon(icon).isNull());
}

}  // namespace
