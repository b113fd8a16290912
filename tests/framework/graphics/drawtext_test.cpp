// Formatted text: measuring, word breaks, tab stops, access-key underlines and clipping,
// on a bitmap's pixels.
#include "framework/graphics/drawtext.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "../graphics_testsupport.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/qtgraphics.h"

using namespace fw;

namespace {

class DrawTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gfxtest::EnsureApp();
        bmp_.SetSize(200, 80);
        c().Brush().SetColor(clWhite);
        c().FillRect(Rect(0, 0, 200, 80));
        c().Font().SetName("Arial");
        c().Font().SetHeight(-12);
        c().Font().SetColor(clBlack);
        c().Brush().SetStyle(bsClear);
    }
    TCanvas& c() { return bmp_.Canvas(); }
    int LineHeight() { return c().TextHeight("Wg"); }
    // Rows holding any black pixel within the columns.
    std::vector<int> InkRows(int x0, int x1) {
        std::vector<int> rows;
        for (int y = 0; y < 80; ++y)
            for (int x = x0; x < x1; ++x)
                if (c().Pixels(x, y) == clBlack) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }
    TBitmap bmp_;
};

TEST_F(DrawTextTest, MeasuringGivesTheExtentAndDrawsNothing) {
    TRect r = Rect(5, 5, 195, 75);
    EXPECT_EQ(DrawText(c(), "Two\r\nlines", r, DT_CALCRECT), 2 * LineHeight());
    EXPECT_EQ(r.Left, 5);
    EXPECT_EQ(r.Right, 5 + std::max(c().TextWidth("Two"), c().TextWidth("lines")));
    EXPECT_EQ(r.Bottom, 5 + 2 * LineHeight());
    EXPECT_TRUE(InkRows(0, 200).empty());
    TRect empty = Rect(5, 5, 50, 50);
    EXPECT_EQ(DrawText(c(), "", empty, DT_CALCRECT), 0);
    EXPECT_EQ(empty, Rect(5, 5, 5, 5));
}

TEST_F(DrawTextTest, WordBreaksAtBlanksAndKeepsALongWordWhole) {
    TRect r = Rect(0, 0, c().TextWidth("alpha beta") + 2, 80);
    EXPECT_EQ(DrawText(c(), "alpha beta gamma", r, DT_WORDBREAK | DT_CALCRECT), 2 * LineHeight());
    TRect narrow = Rect(0, 0, 5, 80);
    EXPECT_EQ(DrawText(c(), "unbreakable", narrow, DT_WORDBREAK | DT_CALCRECT), LineHeight());
    EXPECT_EQ(narrow.Right, c().TextWidth("unbreakable")) << "the word widens the extent";
}

TEST_F(DrawTextTest, ExpandedTabsJumpToStopsOfEightCharacters) {
    const int stop = 8 * QFontMetrics(ToQFont(c().Font())).averageCharWidth();
    TRect tabs = Rect(0, 0, 200, 80);
    DrawText(c(), "a\tb", tabs, DT_CALCRECT | DT_EXPANDTABS);
    EXPECT_EQ(tabs.Right, stop + c().TextWidth("b")) << "b stands at the first stop";
    TRect two = Rect(0, 0, 200, 80);
    DrawText(c(), "a\t\tb", two, DT_CALCRECT | DT_EXPANDTABS);
    EXPECT_EQ(two.Right, 2 * stop + c().TextWidth("b"));
}

TEST_F(DrawTextTest, AccessMarksUnderlineUnlessNoPrefix) {
    TRect r = Rect(0, 0, 200, 30);
    DrawText(c(), "&Wide", r, DT_LEFT);
    const int wideW = c().TextWidth("W");
    // The underline runs below the baseline under the first letter only.
    const int underline = c().TextHeight("W") - 1;
    int marked = 0;
    for (int y = underline - 2; y <= underline + 1; ++y)
        if (c().Pixels(wideW / 2, y) == clBlack) ++marked;
    EXPECT_GT(marked, 0);
    TRect m1 = Rect(0, 0, 200, 30), m2 = m1;
    DrawText(c(), "a&&b", m1, DT_CALCRECT);
    DrawText(c(), "a&&b", m2, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(m1.Right, c().TextWidth("a&b"));
    EXPECT_EQ(m2.Right, c().TextWidth("a&&b"));
}

TEST_F(DrawTextTest, RightAlignedTextIsClippedToItsRectangle) {
    TRect r = Rect(100, 10, 150, 10 + LineHeight());
    DrawText(c(), "WWWWWWWWWW", r, DT_RIGHT);
    EXPECT_TRUE(InkRows(0, 100).empty()) << "nothing left of the rectangle";
    EXPECT_FALSE(InkRows(100, 150).empty());
    EXPECT_TRUE(InkRows(150, 200).empty());
}

}  // namespace
