#include <gtest/gtest.h>

#include "framework/graphics/canvasimpl.h"
#include "tests/framework/graphics_testsupport.h"

using namespace fw;

namespace {

class GraphicsCanvas : public ::testing::Test {
  protected:
    void SetUp() override { gfxtest::EnsureApp(); }

    // Every pixel of the bitmap that is not the colour, inside and outside a rectangle.
    static int CountNot(const TBitmap& b, TColor c, const TRect& area, bool inside) {
        int n = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                bool in = area.Contains({x, y});
                if (in == inside && FromQRgb(b.Image().pixel(x, y)) != c) ++n;
            }
        return n;
    }
    static void Fill(TBitmap& b, TColor c) {
        TColor old = b.Canvas().Brush().Color();
        b.Canvas().Brush().SetColor(c);
        b.Canvas().FillRect(Bounds(0, 0, b.Width(), b.Height()));
        b.Canvas().Brush().SetColor(old);
    }
};

TEST_F(GraphicsCanvas, TextOutFillsExactlyItsCellAndDrawsInside) {
    TBitmap b(80, 30);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetHeight(-9);
    c.Font().SetColor(clBlack);
    c.Brush().SetColor(clYellow);
    TSize ext = c.TextExtent("Host");
    ASSERT_GT(ext.cx, 0);
    ASSERT_GT(ext.cy, 8);
    c.TextOut(5, 4, "Host");
    TRect cell = Bounds(5, 4, ext.cx, ext.cy);
    // Outside the cell nothing changed; inside, only yellow background and black ink.
    EXPECT_EQ(CountNot(b, clWhite, cell, false), 0);
    int ink = 0, other = 0;
    for (int y = cell.Top; y < cell.Bottom; ++y)
        for (int x = cell.Left; x < cell.Right; ++x) {
            TColor p = c.Pixels(x, y);
            if (p == clBlack)
                ++ink;
            else if (p != clYellow)
                ++other;
        }
    EXPECT_GT(ink, 10);
    EXPECT_EQ(other, 0);  // crisp text: no blended pixels
    EXPECT_EQ(c.PenPos(), (TPoint{5 + ext.cx, 4}));
}

TEST_F(GraphicsCanvas, ClearBrushLeavesBackgroundAndClipStopsDrawing) {
    TBitmap b(60, 20);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    c.Font().SetColor(clRed);
    c.Brush().SetStyle(bsClear);
    c.SetClipRect(Rect(0, 0, 12, 20));
    c.TextOut(2, 2, "WWWWWW");
    EXPECT_EQ(CountNot(b, clWhite, Rect(0, 0, 12, 20), false), 0);
    int red = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 12; ++x) red += c.Pixels(x, y) == clRed;
    EXPECT_GT(red, 0);
    EXPECT_EQ(CountNot(b, clWhite, Rect(0, 0, 12, 20), true), red);  // only ink, no fill

    // An empty clip draws nothing at all.
    TBitmap e(20, 20);
    Fill(e, clWhite);
    e.Canvas().SetClipRect(Rect(5, 5, 5, 5));
    e.Canvas().Brush().SetColor(clBlue);
    e.Canvas().FillRect(Bounds(0, 0, 20, 20));
    EXPECT_EQ(CountNot(e, clWhite, Bounds(0, 0, 20, 20), true), 0);
}

TEST_F(GraphicsCanvas, TextRectFillsTheRectAndClipsTheText) {
    TBitmap b(60, 20);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(clLime);
    c.Font().SetColor(clBlack);
    TRect r = Rect(10, 2, 30, 15);
    c.TextRect(r, 12, 2, "A long text that overflows");
    EXPECT_EQ(CountNot(b, clWhite, r, false), 0);
    EXPECT_EQ(c.Pixels(10, 2), clLime);  // filled though left of the text
    EXPECT_EQ(c.Pixels(29, 14), clLime);
}

TEST_F(GraphicsCanvas, IntersectAndSaveRestoreClip) {
    TBitmap b(40, 40);
    TCanvas& c = b.Canvas();
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 40, 40));
    c.Save();
    c.IntersectClipRect(Rect(10, 10, 50, 50));
    c.IntersectClipRect(Rect(0, 0, 20, 30));
    EXPECT_EQ(c.ClipRect(), Rect(10, 10, 20, 30));
    c.Brush().SetColor(clRed);
    c.Restore();
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 40, 40));
    EXPECT_EQ(c.Brush().Color(), clWhite);
}

TEST_F(GraphicsCanvas, MeasuringMatchesDrawing) {
    TBitmap b(200, 30);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetHeight(-9);
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(clBlack);
    const std::string text = "Loading Hostname...";
    c.TextOut(0, 0, text);
    int right = -1, bottom = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x)
            if (c.Pixels(x, y) == clBlack) {
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0);
    EXPECT_LT(right, c.TextWidth(text));
    EXPECT_GT(right, c.TextWidth(text) - 6);
    EXPECT_LT(bottom, c.TextHeight(text));
    EXPECT_EQ(c.TextWidth(""), 0);
}

TEST_F(GraphicsCanvas, TurnedTextRunsUpwardRightOfItsPoint) {
    TBitmap b(30, 100);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(clBlack);
    c.TextOutAngle(5, 90, "Banner", 900);
    int ink = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 30; ++x)
            if (c.Pixels(x, y) == clBlack) {
                ++ink;
                EXPECT_GE(x, 5);
                EXPECT_LE(y, 90);
            }
    EXPECT_GT(ink, 10);
}

TEST_F(GraphicsCanvas, ShapesCoverExactPixels) {
    TBitmap b(20, 20);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    c.Pen().SetColor(clBlack);
    c.Brush().SetColor(clRed);
    c.Rectangle(Rect(2, 3, 8, 9));
    EXPECT_EQ(CountNot(b, clWhite, Rect(2, 3, 8, 9), false), 0);
    EXPECT_EQ(c.Pixels(2, 3), clBlack);
    EXPECT_EQ(c.Pixels(7, 8), clBlack);
    EXPECT_EQ(c.Pixels(4, 5), clRed);

    // Lines leave out their end point.
    c.MoveTo(10, 10);
    c.LineTo(15, 10);
    EXPECT_EQ(c.Pixels(10, 10), clBlack);
    EXPECT_EQ(c.Pixels(14, 10), clBlack);
    EXPECT_EQ(c.Pixels(15, 10), clWhite);
    c.MoveTo(10, 12);
    c.LineTo(14, 16);
    EXPECT_EQ(c.Pixels(13, 15), clBlack);
    EXPECT_EQ(c.Pixels(14, 16), clWhite);

    c.Brush().SetColor(clBlue);
    c.FrameRect(Rect(10, 0, 14, 4));
    EXPECT_EQ(c.Pixels(10, 0), clBlue);
    EXPECT_EQ(c.Pixels(13, 3), clBlue);
    EXPECT_EQ(c.Pixels(11, 1), clWhite);
    EXPECT_EQ(c.Pixels(14, 4), clWhite);
}

TEST_F(GraphicsCanvas, BrushCopyReplacesOrSkipsTheKeyColour) {
    TBitmap src(4, 1);
    src.Canvas().SetPixel(0, 0, clWhite);
    src.Canvas().SetPixel(1, 0, clBlack);
    src.Canvas().SetPixel(2, 0, clSilver);
    src.Canvas().SetPixel(3, 0, clWhite);

    TBitmap dst(4, 1);
    Fill(dst, clGreen);
    dst.Canvas().Brush().SetColor(clRed);
    dst.Canvas().BrushCopy(Rect(0, 0, 4, 1), src, Rect(0, 0, 4, 1), clWhite);
    EXPECT_EQ(dst.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(dst.Canvas().Pixels(1, 0), clBlack);
    EXPECT_EQ(dst.Canvas().Pixels(2, 0), clSilver);
    EXPECT_EQ(dst.Canvas().Pixels(3, 0), clRed);

    TBitmap keep(4, 1);
    Fill(keep, clGreen);
    keep.Canvas().Brush().SetStyle(bsClear);
    keep.Canvas().BrushCopy(Rect(0, 0, 4, 1), src, Rect(0, 0, 4, 1), clWhite);
    EXPECT_EQ(keep.Canvas().Pixels(0, 0), clGreen);
    EXPECT_EQ(keep.Canvas().Pixels(1, 0), clBlack);
    EXPECT_EQ(keep.Canvas().Pixels(3, 0), clGreen);
}

TEST_F(GraphicsCanvas, CopyRectStretchesAndCopiesWithinOneBitmap) {
    TBitmap src(2, 1);
    src.Canvas().SetPixel(0, 0, clRed);
    src.Canvas().SetPixel(1, 0, clBlue);
    TBitmap dst(8, 2);
    Fill(dst, clWhite);
    dst.Canvas().CopyRect(Rect(0, 0, 4, 2), src.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(dst.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(dst.Canvas().Pixels(1, 1), clRed);
    EXPECT_EQ(dst.Canvas().Pixels(2, 0), clBlue);
    EXPECT_EQ(dst.Canvas().Pixels(3, 1), clBlue);
    EXPECT_EQ(dst.Canvas().Pixels(4, 0), clWhite);
    // Overlapping copy inside one bitmap reads the pixels from before the copy.
    dst.Canvas().CopyRect(Rect(1, 0, 5, 2), dst.Canvas(), Rect(0, 0, 4, 2));
    EXPECT_EQ(dst.Canvas().Pixels(1, 0), clRed);
    EXPECT_EQ(dst.Canvas().Pixels(2, 0), clRed);
    EXPECT_EQ(dst.Canvas().Pixels(3, 0), clBlue);
    EXPECT_EQ(dst.Canvas().Pixels(4, 0), clBlue);
}

TEST_F(GraphicsCanvas, DrawingOnAPalettedBitmapKeepsItsPalette) {
    TBitmap b;
    b.SetPixelFormat(pf8bit);
    b.SetSize(4, 4);
    b.Canvas().Brush().SetColor(clRed);
    b.Canvas().FillRect(Rect(0, 0, 2, 4));
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_EQ(b.Image().format(), QImage::Format_Indexed8);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixels(3, 0), clWhite);
    // A colour that is not in the palette lands on the nearest entry.
    b.Canvas().SetPixel(3, 3, RGB(250, 2, 3));
    EXPECT_EQ(b.Canvas().Pixels(3, 3), clRed);
}

TEST_F(GraphicsCanvas, ControlCanvasDrawsThroughALentPainter) {
    QImage surface(20, 10, QImage::Format_RGB32);
    surface.fill(Qt::white);
    QPainter painter(&surface);
    painter.translate(5, 0);  // the control sits at 5, 0 of its parent
    TCanvas c;
    c.Attach(&painter, Rect(0, 0, 10, 10));
    EXPECT_TRUE(c.HandleAllocated());
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 10, 10));
    c.Brush().SetColor(clNavy);
    c.FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(c.Pixels(1, 1), clNavy);
    c.Detach();
    painter.end();
    EXPECT_EQ(surface.pixel(5, 0) & 0xFFFFFF, 0x000080u);
    EXPECT_EQ(surface.pixel(4, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(GraphicsCanvas, TransparentCopyAndFocusFrame) {
    TBitmap src(2, 2);
    src.Canvas().SetPixel(0, 0, clRed);
    src.Canvas().SetPixel(1, 1, clRed);  // white elsewhere: the key
    TBitmap dst(4, 4);
    Fill(dst, clNavy);
    dst.Canvas().Brush().SetColor(clYellow);  // must not show through
    dst.Canvas().CopyTransparent(Rect(0, 0, 4, 4), src, Rect(0, 0, 2, 2), clWhite);
    EXPECT_EQ(dst.Canvas().Pixels(1, 1), clRed);  // stretched twice
    EXPECT_EQ(dst.Canvas().Pixels(3, 3), clRed);
    EXPECT_EQ(dst.Canvas().Pixels(2, 0), clNavy);  // key pixel: destination kept
    EXPECT_EQ(dst.Canvas().Pixels(0, 3), clNavy);

    TBitmap f(6, 6);
    Fill(f, clWhite);
    f.Canvas().DrawFocusRect(Rect(0, 0, 6, 6));
    EXPECT_EQ(f.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(f.Canvas().Pixels(1, 0), clWhite);
    EXPECT_EQ(f.Canvas().Pixels(2, 2), clWhite);  // inside untouched
    f.Canvas().DrawFocusRect(Rect(0, 0, 6, 6));
    EXPECT_EQ(CountNot(f, clWhite, Rect(0, 0, 6, 6), true), 0);
}

TEST_F(GraphicsCanvas, OperationsInsideAnOpenScopeShareItsPainter) {
    TBitmap b(10, 10);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    {
        TCanvas::PaintScope outer(c);
        outer->fillRect(QRect(0, 0, 5, 10), Qt::red);
        c.Brush().SetColor(clBlue);
        c.FillRect(Rect(5, 0, 10, 10));  // a second painter on the image would fail
    }
    EXPECT_EQ(c.Pixels(0, 0), clRed);
    EXPECT_EQ(c.Pixels(9, 9), clBlue);
}

}  // namespace
