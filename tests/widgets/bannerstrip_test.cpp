// The banner strip's arithmetic: ramps, rounding, text placement and narrowing.
#include "widgets/bannerstrip.h"

#include <gtest/gtest.h>

namespace {

using namespace ctl;
using fw::RGB;
using fw::TRect;

void ExpectBand(const std::vector<ColorBand>& bands, int i, int top, int bottom, fw::TColor c) {
    ASSERT_LT(static_cast<size_t>(i), bands.size());
    EXPECT_EQ(bands[static_cast<size_t>(i)].top, top) << "band " << i;
    EXPECT_EQ(bands[static_cast<size_t>(i)].bottom, bottom) << "band " << i;
    EXPECT_EQ(bands[static_cast<size_t>(i)].color, c) << "band " << i;
}

TEST(MulDiv, RoundsHalvesAwayFromZeroWithoutOverflow) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(-5, -1, 2), 3);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
    EXPECT_EQ(MulDiv(2, 1, 3), 1);
    EXPECT_EQ(MulDiv(-2, 1, 3), -1);
    EXPECT_EQ(MulDiv(1 << 30, 6, 8), 805306368);  // the product does not fit 32 bits
    EXPECT_EQ(MulDiv(7, 3, 0), -1);
}

TEST(ColorBands, FortyBandsOverOneHundredTwentyRows) {
    auto b = ColorBands(40, 0, 120, RGB(0, 0, 0), RGB(181, 208, 192));
    ASSERT_EQ(b.size(), 40u);
    ExpectBand(b, 0, 0, 3, RGB(0, 0, 0));
    ExpectBand(b, 1, 3, 6, RGB(5, 5, 5));
    ExpectBand(b, 2, 6, 9, RGB(9, 11, 10));
    ExpectBand(b, 20, 60, 63, RGB(93, 107, 98));
    ExpectBand(b, 39, 117, 120, RGB(181, 208, 192));
}

TEST(ColorBands, FifteenBandsOverSeventyRowsAndAnOffsetStrip) {
    auto b = ColorBands(15, 0, 70, RGB(0, 0, 0), RGB(185, 210, 200));
    ExpectBand(b, 1, 5, 9, RGB(13, 15, 14));
    ExpectBand(b, 14, 65, 70, RGB(185, 210, 200));
    auto moved = ColorBands(15, 10, 70, RGB(0, 0, 0), RGB(185, 210, 200));
    ExpectBand(moved, 14, 75, 80, RGB(185, 210, 200));
}

TEST(ColorBands, OneBandEqualColoursMoreBandsThanRowsAndNone) {
    auto one = ColorBands(1, 0, 50, RGB(0, 0, 0), RGB(200, 10, 10));
    ASSERT_EQ(one.size(), 1u);
    ExpectBand(one, 0, 0, 50, RGB(0, 0, 0));

    for (const ColorBand& band : ColorBands(6, 0, 30, RGB(9, 8, 7), RGB(9, 8, 7)))
        EXPECT_EQ(band.color, RGB(9, 8, 7));

    auto many = ColorBands(10, 0, 4, RGB(0, 0, 0), RGB(90, 90, 90));
    ASSERT_EQ(many.size(), 10u);
    int empty = 0, covered = 0;
    for (size_t i = 0; i < many.size(); ++i) {
        if (i > 0) {
            EXPECT_EQ(many[i].top, many[i - 1].bottom);
        }
        empty += many[i].bottom == many[i].top;
        covered += many[i].bottom - many[i].top;
    }
    EXPECT_EQ(empty, 6);
    EXPECT_EQ(covered, 4);
    EXPECT_EQ(many.back().bottom, 4);
    EXPECT_EQ(many.back().color, RGB(90, 90, 90));

    EXPECT_TRUE(ColorBands(0, 0, 10, 0, 1).empty());
    EXPECT_TRUE(ColorBands(-3, 0, 10, 0, 1).empty());
}

// A strip 13 wide and 120 high; a text 50 long and 15 high.
struct PlacementRow {
    TBannerJustification j;
    TBannerDirection d;
    fw::TPoint noImage;
    fw::TPoint withImage;
};

TEST(BannerText, EveryPlacementRowWithAndWithoutTheImageSlot) {
    const TRect strip = fw::Rect(0, 0, 13, 120);
    const TRect plain = BannerTextArea(strip, -1);
    const TRect slot = BannerTextArea(strip, 0);
    EXPECT_EQ(plain, fw::Rect(0, 0, 13, 120));
    EXPECT_EQ(slot, fw::Rect(0, 0, 13, 103));  // the foot, 13 + 4 rows, stays free
    // (W - cy) = -2 divides to -1 toward zero: upward text starts at x = -1, downward at 13.
    const PlacementRow rows[] = {
        {bjCenter, bdUpwards, {-1, 84}, {-1, 76}},   {bjCenter, bdDownwards, {13, 36}, {13, 27}},
        {bjTop, bdUpwards, {-1, 51}, {-1, 51}},      {bjTop, bdDownwards, {13, 1}, {13, 1}},
        {bjBottom, bdUpwards, {-1, 119}, {-1, 102}}, {bjBottom, bdDownwards, {13, 69}, {13, 52}},
    };
    for (const PlacementRow& r : rows) {
        EXPECT_EQ(BannerTextOrigin(r.j, r.d, plain, 50, 15), r.noImage) << r.j << "/" << r.d;
        EXPECT_EQ(BannerTextOrigin(r.j, r.d, slot, 50, 15), r.withImage) << r.j << "/" << r.d;
    }
    // Upward text from the bottom with the slot starts w + 5 rows above the strip's foot.
    EXPECT_EQ(120 - BannerTextOrigin(bjBottom, bdUpwards, slot, 50, 15).Y, 13 + 5);
    // A text longer than the strip: the negative remainder also divides toward zero.
    EXPECT_EQ(BannerTextOrigin(bjCenter, bdUpwards, plain, 151, 15).Y, 119 + 15);
}

TEST(BannerRect, LeftAndRightStripsAndNarrowedItems) {
    // Entries in screen coordinates; the strip is in the level's client coordinates.
    std::vector<TRect> entries = {fw::Rect(200, 100, 300, 120), fw::Rect(200, 120, 300, 129),
                                  fw::Rect(200, 129, 300, 149)};
    TRect left = BannerRectFor(baLeft, 13, entries);
    TRect right = BannerRectFor(baRight, 13, entries);
    EXPECT_EQ(left, fw::Rect(0, 0, 13, 49));
    EXPECT_EQ(right, fw::Rect(87, 0, 100, 49));
    EXPECT_EQ(BannerRectFor(baLeft, 13, {}), TRect{});

    TRect item = fw::Rect(0, 20, 100, 40);
    EXPECT_EQ(NarrowForBanner(baLeft, item, left, 13), fw::Rect(15, 20, 100, 40));
    // The right strip: items end BannerWidth + 2 pixels before the edge.
    EXPECT_EQ(NarrowForBanner(baRight, item, right, 13), fw::Rect(0, 20, 85, 40));
    // An item that does not touch the strip's edge (a second column) stays as it is.
    TRect second = fw::Rect(104, 0, 204, 20);
    EXPECT_EQ(NarrowForBanner(baLeft, second, left, 13), second);
    EXPECT_EQ(NarrowForBanner(baRight, second, right, 13), second);
}

}  // namespace
