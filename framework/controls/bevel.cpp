#include "framework/controls/bevel.h"

#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/canvas.h"

namespace fw {

namespace {
const EnumInfo& ShapeInfo() {
    static const EnumInfo info{
        "TBevelShape",
        {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}};
    return info;
}
const EnumInfo& StyleInfo() {
    static const EnumInfo info{"TBevelStyle", {"bsLowered", "bsRaised"}};
    return info;
}
}  // namespace

const TClassInfo& TBevel::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TBevel>("TBevel", &TGraphicControl::StaticClassInfo())
            .Enum("Shape", &TBevel::Shape, &TBevel::SetShape, ShapeInfo(), bsBox)
            .Enum("Style", &TBevel::Style, &TBevel::SetStyle, StyleInfo(), bsLowered)
            .Creatable()
            .Build();
    return info;
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { TControl::SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape v) {
    if (SetIfChanged(shape_, v)) Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
    if (SetIfChanged(style_, v)) Invalidate();
}

void TBevel::Paint() {
    TCanvas& c = *Canvas();
    const TColor light = clBtnHighlight, dark = clBtnShadow;
    const TColor first = style_ == bsRaised ? light : dark;   // top and left
    const TColor second = style_ == bsRaised ? dark : light;  // bottom and right
    const int w = Width(), h = Height();
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        c.Pen().SetColor(color);
        c.Pen().SetStyle(psSolid);
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };
    // A box: one ring, light and dark corners; the last pixel of each line belongs to
    // the next edge.
    auto box = [&](TRect r, TColor tl, TColor br) {
        line(tl, r.Left, r.Bottom - 1, r.Left, r.Top);
        line(tl, r.Left, r.Top, r.Right - 1, r.Top);
        line(br, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
        line(br, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1);
    };
    switch (shape_) {
        case bsBox:
            box(ClientRect(), first, second);
            break;
        case bsFrame:
            // Two rings offset by one pixel give an etched (or embossed) groove.
            box(Rect(0, 0, w - 1, h - 1), second, second);
            box(Rect(1, 1, w, h), first, first);
            break;
        case bsTopLine:
            line(second, 0, 0, w, 0);
            line(first, 0, 1, w, 1);
            break;
        case bsBottomLine:
            line(second, 0, h - 2, w, h - 2);
            line(first, 0, h - 1, w, h - 1);
            break;
        case bsLeftLine:
            line(second, 0, 0, 0, h);
            line(first, 1, 0, 1, h);
            break;
        case bsRightLine:
            line(second, w - 2, 0, w - 2, h);
            line(first, w - 1, 0, w - 1, h);
            break;
        case bsSpacer:
            break;
    }
}

}  // namespace fw
