#include "platform/syscolors.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(SysColors, SystemColoursResolveThroughTheClassicTable) {
    EXPECT_EQ(ColorToRGB(kSystemColorBase + scBtnFace), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(0x8000000D), 0x800000u);  // clHighlight: navy
    EXPECT_EQ(ColorToRGB(0x80000005), 0xFFFFFFu);  // clWindow
    EXPECT_EQ(ColorToRGB(0x80000008), 0x000000u);  // clWindowText
    EXPECT_EQ(ColorToRGB(0x80000002), 0x800000u);  // clActiveCaption
    EXPECT_EQ(ColorToRGB(0x80000018), 0xE1FFFFu);  // clInfoBk: pale yellow
    EXPECT_EQ(ColorToRGB(0x80000010), 0x808080u);  // clBtnShadow
    EXPECT_EQ(ColorToRGB(0x80000014), 0xFFFFFFu);  // clBtnHighlight
}

TEST(SysColors, PlainColoursNoneAndUnknownIndices) {
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
    EXPECT_EQ(ColorToRGB(0), 0u);
    EXPECT_EQ(ColorToRGB(kColorNone), 0x1FFFFFFFu);
    EXPECT_EQ(ColorToRGB(kSystemColorBase + 25), 0u);
    EXPECT_EQ(SysColor(-1), 0u);
    EXPECT_EQ(SysColor(kSystemColorCount), 0u);
    EXPECT_EQ(SysColor(scInfoText), 0u);
}

}  // namespace
}  // namespace platform
