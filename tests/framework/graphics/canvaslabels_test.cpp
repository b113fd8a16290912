// Labels, locks and lent surfaces of the canvas, and the image list's mask.
#include <gtest/gtest.h>

#include "framework/core/classregistry.h"
#include "framework/graphics/canvasimpl.h"
#include "framework/graphics/imagelist.h"
#include "tests/framework/graphics_testsupport.h"

using namespace fw;

namespace {

class CanvasLabels : public ::testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureApp(); }

    static void Fill(TBitmap& b, TColor c) {
        b.Canvas().Brush().SetColor(c);
        b.Canvas().FillRect(Rect(0, 0, b.Width(), b.Height()));
    }
    // The bounding box of every pixel that is not white (empty when there is none).
    static TRect Ink(TBitmap& b) {
        TRect r{b.Width(), b.Height(), 0, 0};
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                if (b.Canvas().Pixels(x, y) != clWhite) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }
    static void UseFont(TCanvas& c, int height) {
        c.Font().SetName("Arial");
        c.Font().SetHeight(height);
        c.Font().SetColor(clBlack);
    }
};

TEST_F(CanvasLabels, ExtentHidesTheAccessKeyMarkAndExpandsTabs) {
    TCanvas c;
    UseFont(c, -11);
    const TSize plain = c.LabelExtent("File");
    EXPECT_GT(plain.cx, 0);
    EXPECT_EQ(c.LabelExtent("&File"), plain);                     // the mark takes no room
    EXPECT_GT(c.LabelExtent("a&&b").cx, c.LabelExtent("ab").cx);  // "&&" shows one "&"
    EXPECT_GT(c.LabelExtent("a\tb").cx, c.LabelExtent("a b").cx);
    EXPECT_EQ(c.LabelExtent("").cy, plain.cy);  // the line height, text or not
}

TEST_F(CanvasLabels, MeasuringFollowsEveryFontChange) {
    // The canvas keeps the resolved font between measures: a change must not be missed.
    TCanvas c;
    UseFont(c, -11);
    const TSize small = c.LabelExtent("Refresh rate");
    const int smallWidth = c.TextWidth("Refresh rate");
    c.Font().SetHeight(-22);
    EXPECT_GT(c.LabelExtent("Refresh rate").cx, small.cx);
    EXPECT_GT(c.LabelExtent("Refresh rate").cy, small.cy);
    EXPECT_GT(c.TextWidth("Refresh rate"), smallWidth);
    c.Font().SetStyle(fsBold);
    c.Font().SetHeight(-11);
    EXPECT_GE(c.TextWidth("Refresh rate"), smallWidth);
    c.Font().SetStyle(0);
    EXPECT_EQ(c.LabelExtent("Refresh rate"), small);
    EXPECT_EQ(c.TextWidth("Refresh rate"), smallWidth);
}

TEST_F(CanvasLabels, LabelsSitAtTheirEdgeInTheFontColourWithoutBackground) {
    TBitmap b(120, 30);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    UseFont(c, -11);
    c.Font().SetColor(clRed);
    c.Brush().SetColor(clBlue);  // a label fills nothing
    const TRect r = Rect(10, 5, 110, 25);
    c.LabelRect(r, "Ab", laLeft);
    TRect left = Ink(b);
    ASSERT_FALSE(left.IsEmpty());
    EXPECT_GE(left.Left, 10);
    EXPECT_LT(left.Right, 60);
    // Centred vertically: as much room above the ink as below, give or take the descent.
    EXPECT_LE(std::abs((left.Top - r.Top) - (r.Bottom - left.Bottom)), 4);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            TColor p = c.Pixels(x, y);
            ASSERT_NE(p, clBlue) << x << "," << y;
        }
    Fill(b, clWhite);
    c.LabelRect(r, "Ab", laRight);
    TRect right = Ink(b);
    EXPECT_GT(right.Left, 60);
    EXPECT_LE(right.Right, 110);
    // The canvas's clip holds for labels too.
    Fill(b, clWhite);
    c.SetClipRect(Rect(0, 0, 60, 30));
    c.LabelRect(r, "Ab", laRight);
    EXPECT_TRUE(Ink(b).IsEmpty());
}

TEST_F(CanvasLabels, TurnedLabelsStartAtTheReferencePoint) {
    TBitmap b(40, 80);
    TCanvas& c = b.Canvas();
    UseFont(c, -12);
    const TSize e = c.LabelExtent("Banner");
    const TSize cell{e.cx, e.cy + 2};
    ASSERT_LT(cell.cx, 70);
    // Upwards: the cell extends up and right of (5, 75); its text reads bottom to top.
    Fill(b, clWhite);
    c.LabelTurned(5, 75, cell, "Banner", true);
    TRect up = Ink(b);
    ASSERT_FALSE(up.IsEmpty());
    EXPECT_GE(up.Left, 5);
    EXPECT_LE(up.Right, 5 + cell.cy);
    EXPECT_LE(up.Bottom, 76);
    EXPECT_GE(up.Top, 75 - cell.cx);
    EXPECT_GT(up.Height(), up.Width());  // turned, not flat
    // Downwards: the cell extends down and left of (30, 4).
    Fill(b, clWhite);
    c.LabelTurned(30, 4, cell, "Banner", false);
    TRect down = Ink(b);
    ASSERT_FALSE(down.IsEmpty());
    EXPECT_LE(down.Right, 31);
    EXPECT_GE(down.Left, 30 - cell.cy);
    EXPECT_GE(down.Top, 4);
    EXPECT_LE(down.Bottom, 4 + cell.cx + 1);
    EXPECT_GT(down.Height(), down.Width());
}

TEST_F(CanvasLabels, ALentBitmapIsGivenBackAndNeverTakenFromItsOwner) {
    TBitmap target(4, 4), other(4, 4);
    Fill(target, clWhite);
    Fill(other, clWhite);
    TCanvas c;
    EXPECT_FALSE(c.HandleAllocated());
    c.Attach(target);
    EXPECT_TRUE(c.HandleAllocated());
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 4, 4));
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 1, 1));
    c.Detach();
    EXPECT_FALSE(c.HandleAllocated());
    EXPECT_EQ(target.Canvas().Pixels(0, 0), clRed);
    c.FillRect(Rect(1, 1, 2, 2));  // detached: goes nowhere
    EXPECT_EQ(target.Canvas().Pixels(1, 1), clWhite);

    // A bitmap's own canvas keeps drawing on its bitmap, whatever it is lent or told.
    TCanvas& own = target.Canvas();
    own.Attach(other);
    own.Detach();
    own.Brush().SetColor(clBlue);
    own.FillRect(Rect(3, 3, 4, 4));
    EXPECT_EQ(target.Canvas().Pixels(3, 3), clBlue);
    EXPECT_EQ(other.Canvas().Pixels(3, 3), clWhite);

    // Lending a painter after a bitmap: the bitmap is given back first.
    QImage surface(4, 4, QImage::Format_RGB32);
    surface.fill(Qt::white);
    QPainter painter(&surface);
    c.Attach(other);
    c.Attach(&painter, Rect(0, 0, 4, 4));
    c.Brush().SetColor(clLime);
    c.FillRect(Rect(0, 0, 4, 4));
    c.Detach();
    painter.end();
    EXPECT_EQ(surface.pixel(2, 2) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(other.Canvas().Pixels(2, 2), clWhite);
    EXPECT_FALSE(c.HandleAllocated());
}

TEST_F(CanvasLabels, LocksNestAndEndWithTheLastUnlock) {
    TBitmap b(6, 2);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    int changes = 0;
    c.OnChange = [&] { ++changes; };
    c.Unlock();  // an unlock without a lock changes nothing
    c.Lock();
    c.Lock();
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 2, 2));
    c.SetPixel(5, 1, clNavy);
    c.Unlock();
    c.Brush().SetColor(clBlue);
    c.FillRect(Rect(2, 0, 4, 2));  // still inside the outer lock's painter
    const int whileLocked = changes;
    c.Unlock();
    EXPECT_GT(changes, whileLocked);  // ending the painter tells the owner
    c.OnChange = nullptr;
    EXPECT_EQ(c.Pixels(1, 1), clRed);
    EXPECT_EQ(c.Pixels(3, 1), clBlue);
    EXPECT_EQ(c.Pixels(5, 1), clNavy);
    EXPECT_EQ(c.Pixels(4, 0), clWhite);
    // After the lock, operations open their own painter again.
    c.Brush().SetColor(clLime);
    c.FillRect(Rect(4, 0, 5, 1));
    EXPECT_EQ(c.Pixels(4, 0), clLime);
}

TEST_F(CanvasLabels, ALockedPalettedBitmapKeepsItsFormat) {
    TBitmap b;
    b.SetPixelFormat(pf8bit);
    b.SetSize(4, 4);
    TCanvas& c = b.Canvas();
    c.Lock();
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 2, 4));
    c.Unlock();
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_EQ(c.Pixels(1, 1), clRed);
    EXPECT_EQ(c.Pixels(3, 1), clWhite);
}

TEST_F(CanvasLabels, ACanvasFreedWhileLockedLeavesItsDrawing) {
    TBitmap b(2, 2);
    Fill(b, clWhite);
    {
        TCanvas c;
        c.Attach(b);
        c.Lock();
        c.Brush().SetColor(clRed);
        c.FillRect(Rect(0, 0, 1, 1));
    }
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clRed);
    b.Canvas().Brush().SetColor(clBlue);  // and the bitmap takes a painter again
    b.Canvas().FillRect(Rect(1, 1, 2, 2));
    EXPECT_EQ(b.Canvas().Pixels(1, 1), clBlue);
}

TEST_F(CanvasLabels, AnImageListsMaskIsBlackWhereTheImageShows) {
    ComponentPtr<TImageList> list(new TImageList(nullptr));
    list->SetSize(3, 2);
    TBitmap glyph(3, 2);
    Fill(glyph, clFuchsia);
    glyph.Canvas().SetPixel(0, 0, clWhite);  // white shows: only the key is masked
    glyph.Canvas().SetPixel(2, 1, clBlack);
    list->AddMasked(glyph, clFuchsia);
    TBitmap mask(9, 9);  // whatever size it had
    list->GetMask(0, mask);
    ASSERT_EQ(mask.Width(), 3);
    ASSERT_EQ(mask.Height(), 2);
    EXPECT_EQ(mask.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(mask.Canvas().Pixels(2, 1), clBlack);
    EXPECT_EQ(mask.Canvas().Pixels(1, 0), clWhite);
    EXPECT_EQ(mask.Canvas().Pixels(0, 1), clWhite);
    EXPECT_THROW(list->GetMask(1, mask), Exception);
    EXPECT_THROW(list->GetMask(-1, mask), Exception);
}

}  // namespace
