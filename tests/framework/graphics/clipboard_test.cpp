#include "framework/graphics/clipboard.h"

#include <gtest/gtest.h>

#include "tests/framework/graphics_testsupport.h"

using namespace fw;

namespace {

class ClipboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gfxtest::EnsureApp();
        if (!Clipboard().Available()) GTEST_SKIP() << "no clipboard on this platform";
    }
};

TEST_F(ClipboardTest, TextRoundTripReplacesContent) {
    Clipboard().SetAsText("192.168.0.17");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard().AsText(), "192.168.0.17");
    Clipboard().SetAsText("h\xC3\xB6stname");  // UTF-8 passes unchanged
    EXPECT_EQ(Clipboard().AsText(), "h\xC3\xB6stname");
    Clipboard().SetAsText("");
    EXPECT_EQ(Clipboard().AsText(), "");
}

TEST_F(ClipboardTest, RegisteredFormatsTravelAsTheirMimeType) {
    TClipboardFormat gif = RegisterClipboardFormat("GIF Image");
    EXPECT_GE(gif, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("gif image"), gif);
    EXPECT_NE(RegisterClipboardFormat("Other Format"), gif);
    EXPECT_EQ(ClipboardFormatMime(gif), "application/x-rezazo-gif-image");

    Bytes payload{4, 0, 0, 0, 'G', 'I', 'F', '8'};
    Clipboard().SetFormatData(gif, payload);
    EXPECT_TRUE(Clipboard().HasFormat(gif));
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
    auto back = Clipboard().GetFormatData(gif);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, payload);
}

TEST_F(ClipboardTest, OpenCloseKeepsSeveralFormatsTogether) {
    TClipboardFormat gif = RegisterClipboardFormat("GIF Image");
    Clipboard().Open();
    Clipboard().SetAsText("both");
    Clipboard().SetFormatData(gif, {1, 2, 3});
    Clipboard().Close();
    EXPECT_EQ(Clipboard().AsText(), "both");
    EXPECT_EQ(Clipboard().GetFormatData(gif), (Bytes{1, 2, 3}));
    // Without Open, a new Set replaces everything.
    Clipboard().SetAsText("alone");
    EXPECT_FALSE(Clipboard().HasFormat(gif));
}

TEST_F(ClipboardTest, PictureThroughTheClipboard) {
    TPicture src;
    src.Bitmap().SetSize(3, 2);
    src.Bitmap().Canvas().SetPixel(2, 1, clRed);
    Clipboard().Assign(src);
    EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));

    TPicture dst;
    ASSERT_TRUE(Clipboard().GetPicture(dst));
    ASSERT_NE(dynamic_cast<TBitmap*>(dst.Graphic()), nullptr);
    EXPECT_EQ(dst.Width(), 3);
    EXPECT_EQ(dst.Bitmap().Canvas().Pixels(2, 1), clRed);
    EXPECT_EQ(dst.Bitmap().Canvas().Pixels(0, 0), clWhite);

    Clipboard().SetAsText("no picture");
    TPicture none;
    EXPECT_FALSE(Clipboard().GetPicture(none));
    EXPECT_EQ(none.Graphic(), nullptr);
}

}  // namespace
