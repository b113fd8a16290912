#pragma once
// A drawing surface with a font, a pen and a brush. It draws either on a bitmap's image
// (bitmap canvas) or on a surface that a widget's paint event lends it (control canvas).
// Every operation opens its own painter scope, applies the canvas's clip, font, pen and
// brush, and leaves the surface's state as it found it. The painter itself stays inside
// the framework (canvasimpl.h).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/types.h"
#include "framework/graphics/colors.h"
#include "framework/graphics/font.h"
#include "framework/graphics/graphicsobjects.h"

namespace fw {

class TGraphic;
class TBitmap;
// A painter lent by a paint event; complete only inside the framework (canvasimpl.h).
class TLentPainter;

// How a label sits in its rectangle: vertically centred, at the left or the right edge.
enum TLabelAlign { laLeft, laRight };

class TCanvas {
  public:
    TCanvas();
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Control canvas: drawing goes through the painter until Detach. bounds is the area
    // in the painter's coordinates that ClipRect reports (the control's client area).
    void Attach(const TLentPainter& painter, const TRect& bounds);
    // Draws on the bitmap's image until Detach (a surface to measure on, or an offscreen
    // target the bitmap does not own the canvas of).
    void Attach(TBitmap& bitmap);
    void Detach();
    bool HandleAllocated() const;  // attached to a painter or to a bitmap

    TFont& Font() { return *font_; }
    TPen& Pen() { return *pen_; }
    TBrush& Brush() { return *brush_; }
    const TFont& Font() const { return *font_; }
    const TPen& Pen() const { return *pen_; }
    const TBrush& Brush() const { return *brush_; }
    void SetFont(const TFont& f) { font_->Assign(f); }
    void SetPen(const TPen& p) { pen_->Assign(p); }
    void SetBrush(const TBrush& b) { brush_->Assign(b); }

    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }

    // Text: (x, y) is the top-left corner of the text cell. The cell's background is
    // filled with the brush unless the brush style is bsClear.
    void TextOut(int x, int y, const std::string& text);
    // As TextOut, clipped to rect; unless the brush style is bsClear the whole rect is
    // filled with the brush first.
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    // Text turned counter-clockwise by tenths of a degree about (x, y), the corner that is
    // the cell's top-left before turning: at 900 the text runs upward with its cell to
    // the right of x.
    void TextOutAngle(int x, int y, const std::string& text, int tenthsOfDegree);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;
    TSize TextExtent(const std::string& text) const;
    // The pixels TextOut(x, y, text) may touch (smoothing included); nothing
    // when that cannot be told (texts with tabs or breaks).
    std::optional<TRect> TextInkRect(int x, int y, const std::string& text) const;

    // Labels: one line, tabs expanded, "&" marking the access key (underlined, "&&" shows
    // one "&"), drawn in the font's colour with no background. The extent is the label's
    // width and the font's line height.
    TSize LabelExtent(const std::string& text) const;
    void LabelRect(const TRect& rect, const std::string& text, TLabelAlign align);
    // A label turned a quarter turn in a cell of the given unturned size, the cell's first
    // pixel at (x, y): upwards it reads from bottom to top and the cell extends up and to
    // the right of (x, y); downwards it reads from top to bottom, the cell extending down
    // and to the left.
    void LabelTurned(int x, int y, TSize cell, const std::string& text, bool upwards);

    // Shapes: rectangles exclude their right and bottom edges.
    void FillRect(const TRect& r);   // with the brush, no outline
    void FrameRect(const TRect& r);  // one-pixel frame in the brush colour
    void Rectangle(const TRect& r);  // pen outline, brush inside
    void Rectangle(int l, int t, int r, int b) { Rectangle(Rect(l, t, r, b)); }
    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    // A line from the pen position to (x, y), the end point itself not drawn.
    void LineTo(int x, int y);

    // Pictures.
    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const TRect& rect, TGraphic& graphic);
    // Copies (and stretches when the sizes differ) srcRect of another canvas into dest.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& srcRect);
    // As CopyRect from a bitmap, with the source pixels of one colour replaced by the
    // brush; with a bsClear brush they are transparent (the destination stays). clNone
    // gives a plain copy.
    void BrushCopy(const TRect& dest, const TBitmap& source, const TRect& srcRect,
                   TColor transparentColor);
    // Paints the brush colour where the mask is black and leaves the destination where it
    // is white (a one-bit mask made by TBitmap::Mask).
    void BrushMask(int x, int y, const TBitmap& mask);
    // Copies srcRect of a bitmap stretched into dest; destination pixels stay where the
    // source pixel has the key colour (clNone: a plain stretched copy). Leaves the brush
    // alone, unlike BrushCopy.
    void CopyTransparent(const TRect& dest, const TBitmap& source, const TRect& srcRect,
                         TColor key);
    // The dotted focus frame, drawn by inverting every other pixel of the rectangle's edge
    // (drawing it twice takes it away).
    void DrawFocusRect(const TRect& r);

    // Pixels: RGB colours; reading a canvas with no image behind it gives clNone.
    TColor Pixels(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Clipping, in canvas coordinates. ClipRect is the clip when one is set, otherwise the
    // whole surface.
    TRect ClipRect() const;
    void SetClipRect(const TRect& r);
    void IntersectClipRect(const TRect& r);
    void ResetClip();

    // Keeps one painter open on the surface from Lock to the matching Unlock, so that a
    // run of small operations does not open one each (locks nest).
    void Lock();
    void Unlock();

    // Saved state: font, pen, brush, pen position and clip.
    void Save();
    void Restore();

    // Told after each drawing operation (a bitmap marks itself changed).
    std::function<void()> OnChange;

    // The painter of the current operation, for framework code that draws with it
    // directly (defined in canvasimpl.h).
    class PaintScope;

  protected:
    // Bitmap canvas: the bitmap lends its image for each operation.
    friend class TBitmap;
    explicit TCanvas(TBitmap* owner);

  private:
    struct Impl;  // the painters and the measuring cache (canvasimpl.h)
    struct State {
        TFont font;
        TPen pen;
        TBrush brush;
        TPoint penPos;
        std::optional<TRect> clip;
    };
    TRect SurfaceRect() const;
    void Changed();

    std::unique_ptr<Impl> impl_;
    TBitmap* bitmap_ = nullptr;
    bool lentBitmap_ = false;  // bitmap_ came from Attach(TBitmap&), not from the owner
    TRect bounds_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    TPoint penPos_;
    std::optional<TRect> clip_;
    std::vector<State> saved_;
};

}  // namespace fw
