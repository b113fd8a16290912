// Pixel images, the form the build gives the windows' pictures: every layout a BMP file
// decodes to comes back pixel for pixel with the file's bit count, through the bitmap's form
// data too, and damaged ones are refused.
#include "framework/graphics/pixelimage.h"

#include <gtest/gtest.h>

#include "framework/graphics/picture.h"
#include "framework/graphics/qtgraphics.h"
#include "platform/bytes.h"
#include "tests/framework/graphics_testsupport.h"

using namespace fw;

namespace {

QImage Filled(int w, int h, QImage::Format format, int colors) {
    QImage img(w, h, format);
    QList<QRgb> table;
    for (int i = 0; i < colors; ++i) table.push_back(qRgb(i * 40, 255 - i, i));
    if (colors) img.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            colors ? img.setPixel(x, y, static_cast<uint>((x + y) % colors))
                   : img.setPixel(x, y, qRgba(x * 9, y * 7, x ^ y, 128 + x));
    return img;
}

TEST(PixelImage, EveryLayoutComesBackThroughBitmapFormData) {
    struct Case {
        QImage::Format format;
        int colors, bitCount;
        TPixelFormat pixelFormat;
    };
    for (const Case& c :
         {Case{QImage::Format_Mono, 2, 1, pf1bit}, Case{QImage::Format_Indexed8, 16, 4, pf4bit},
          Case{QImage::Format_Indexed8, 200, 8, pf8bit}, Case{QImage::Format_RGB32, 0, 24, pf24bit},
          Case{QImage::Format_ARGB32, 0, 32, pf32bit}}) {
        SCOPED_TRACE(c.bitCount);
        const QImage img = Filled(13, 5, c.format, c.colors);  // rows that need padding
        TBitmap bmp;
        bmp.SetImage(img);
        // The form data a description holds, with its file image made a pixel image.
        const Bytes fromFile = WrapCounted(bmp.FileImage(c.bitCount));
        const Bytes pixels = PixelFormData(fromFile);
        ASSERT_NE(pixels, fromFile);
        TBitmap a, b;
        a.ReadData(fromFile);
        b.ReadData(pixels);
        EXPECT_EQ(b.Image(), a.Image());
        EXPECT_EQ(b.PixelFormat(), c.pixelFormat);
        EXPECT_EQ(a.PixelFormat(), c.pixelFormat);
    }
}

TEST(PixelImage, PictureFormDataKeepsItsClassName) {
    gfxtest::EnsureApp();
    TPicture pic;
    pic.Bitmap().SetImage(Filled(3, 2, QImage::Format_RGB32, 0));
    TPicture copy;
    copy.SetData(PixelFormData(pic.Data()));
    EXPECT_EQ(copy.Data(), pic.Data());
    const Bytes gif = {3, 0, 0, 0, 'G', 'I', 'F'};  // not a file image: left alone
    EXPECT_EQ(PixelFormData(gif), gif);
}

TEST(PixelImage, RefusesDamage) {
    const Bytes good = WritePixelImage({Filled(5, 3, QImage::Format_Indexed8, 4), 8});
    ASSERT_NO_THROW(ReadPixelImage(good));
    auto with = [&](size_t at, uint8_t v) {
        Bytes d = good;
        d[at] = v;
        return d;
    };
    const std::pair<const char*, Bytes> cases[] = {
        {"truncated", Bytes(good.begin(), good.end() - 1)},
        {"a byte more",
         [&] {
             Bytes d = good;
             d.push_back(0);
             return d;
         }()},
        {"no rows", Bytes(good.begin(), good.begin() + 16)},
        {"width 0", with(4, 0)},
        {"wider than the rows", with(5, 1)},
        {"unknown layout", with(12, 4)},
        {"bit count 5", with(13, 5)},
        {"more colours than given", with(14, 5)},
        {"index past the palette", with(good.size() - 4, 4)},
        {"magic", with(0, 'Q')},
    };
    for (const auto& [what, data] : cases)
        EXPECT_THROW(ReadPixelImage(data), EInvalidGraphic) << what;
}

}  // namespace
