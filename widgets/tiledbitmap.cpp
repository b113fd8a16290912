#include "widgets/tiledbitmap.h"

#include "framework/core/classbuilder.h"
#include "framework/graphics/canvas.h"

using namespace fw;

namespace ctl {

const TClassInfo& TTiledBitmap::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TTiledBitmap>("TTiledBitmap", &TGraphicControl::StaticClassInfo())
            .Object("BitMap", &TTiledBitmap::BitMap)
            .Integer("Height", &TControl::Height, &TControl::SetHeight, 32)
            .Integer("Width", &TControl::Width, &TControl::SetWidth, 32)
            .Creatable()
            .Build();
    return info;
}

TTiledBitmap::TTiledBitmap(TComponent* owner)
    : TGraphicControl(owner), bitmap_(std::make_unique<TBitmap>()) {
    TControl::SetBounds(Left(), Top(), 32, 32);
    bitmap_->OnChange = [this] { Invalidate(); };
    // Every pixel is painted: nothing beneath needs drawing first.
    SetControlStyle(ControlStyle() | csOpaque);
}

TTiledBitmap::~TTiledBitmap() { bitmap_->OnChange = nullptr; }

void TTiledBitmap::SetBitMap(const TBitmap* value) {
    if (value)
        bitmap_->Assign(*value);
    else
        bitmap_->Clear();
    if (Height() == 0) SetHeight(32);
    if (Width() == 0) SetWidth(32);
}

void TTiledBitmap::Paint() {
    TCanvas& c = *Canvas();
    const int w = bitmap_->Width(), h = bitmap_->Height();
    if (w <= 0 || h <= 0) {
        c.Brush().SetColor(clWhite);
        c.Brush().SetStyle(bsSolid);
        c.FillRect(ClientRect());
    } else {
        // The last row and column reach past the control and are clipped by it.
        const TRect source = Rect(0, 0, w, h);
        for (int y = 0; y < Height(); y += h)
            for (int x = 0; x < Width(); x += w)
                c.CopyRect(Rect(x, y, x + w, y + h), bitmap_->Canvas(), source);
    }
    if (Designing()) {
        c.Pen().SetStyle(psDash);
        c.Brush().SetStyle(bsClear);
        c.Rectangle(0, 0, Width(), Height());
    }
}

}  // namespace ctl
