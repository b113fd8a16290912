#include "widgets/scrolllabel.h"

#include "framework/controls/accessible.h"
#include "framework/controls/imagepanel.h"
#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvas.h"

namespace ctl {

using namespace fw;

const EnumInfo& ScrollDirectionInfo() {
    static const EnumInfo info{"TScrollDirection",
                               {"LeftToRight", "RightToLeft", "TopToBottom", "BottomToTop"}};
    return info;
}

void ScrollMotion::Advance(TScrollDirection dir, int by, int clientWidth, int clientHeight,
                           int textW, int textH) {
    textWidth = textW;
    textHeight = textH;
    switch (dir) {
        case LeftToRight:
            y = 1;
            x += by;
            if (x >= clientWidth) x = -textWidth;
            break;
        case RightToLeft:
            y = 1;
            x -= by;
            if (x <= -textWidth) x = clientWidth;
            break;
        case TopToBottom:
            x = 1;
            y += by;
            if (y >= clientHeight) y = -textHeight;
            break;
        case BottomToTop:
            x = 1;
            y -= by;
            if (y <= -textHeight) y = clientHeight;
            break;
    }
}

void ScrollMotion::Start(TScrollDirection dir, int clientWidth, int clientHeight) {
    switch (dir) {
        case LeftToRight:
            x = -textWidth;
            y = 1;
            break;
        case RightToLeft:
            x = clientWidth;
            y = 1;
            break;
        case TopToBottom:
            x = 1;
            y = -textHeight;
            break;
        case BottomToTop:
            x = 1;
            y = clientHeight;
            break;
    }
}

const TClassInfo& TScrollLabel::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TScrollLabel>("TScrollLabel", &TCustomLabel::StaticClassInfo())
            // The base label's text is never shown, so it must not size the control.
            .Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, false)
            .Boolean("Transparent", &TControl::Transparent, &TCustomLabel::SetTransparent, true)
            .String("Caption", &TScrollLabel::Caption, &TScrollLabel::SetCaption,
                    std::string("ScrollLabel"))
            .Integer("Interval", &TScrollLabel::Interval, &TScrollLabel::SetInterval, 100)
            .Integer("ScrollBy", &TScrollLabel::ScrollBy, &TScrollLabel::SetScrollBy, 1)
            .Enum("ScrollDirection", &TScrollLabel::ScrollDirection,
                  &TScrollLabel::SetScrollDirection, ScrollDirectionInfo(), LeftToRight)
            .Boolean("Active", &TScrollLabel::Active, &TScrollLabel::SetActive, true)
            .Creatable()
            .Build();
    return info;
}

TScrollLabel::TScrollLabel(TComponent* owner) : TCustomLabel(owner) {
    SetAutoSize(false);
    SetTransparent(true);
    // A stored form holding this label also holds its timer's class.
    RegisterClass(TTimer::StaticClassInfo());
    // The timer lives among the owner's components; the label still frees it, and hears
    // when the owner frees it first.
    timer_ = new TTimer(owner);
    FreeNotification(timer_);
    timer_->OnTimer.Set([this](TPropertyObject* sender) { TimerTick(sender); });
    timer_->SetInterval(static_cast<unsigned>(interval_));
}

TScrollLabel::~TScrollLabel() {
    if (timer_) {
        TTimer* t = timer_;
        timer_ = nullptr;
        RemoveFreeNotification(t);
        TComponent::Free(t);
    }
}

void TScrollLabel::Notification(TComponent* component, TOperation Operation) {
    TCustomLabel::Notification(component, Operation);
    if (Operation == TOperation::opRemove && component == timer_) timer_ = nullptr;
}

void TScrollLabel::TimerTick(TPropertyObject*) { Invalidate(); }

void TScrollLabel::SetCaption(const std::string& s) {
    if (fw::SetIfChanged(caption_, s)) fw::AccessibleTextChanged(this);
}

void TScrollLabel::SetInterval(int v) {
    if (v < 1 || v > 1000 || !fw::SetIfChanged(interval_, v)) return;
    if (timer_) timer_->SetInterval(static_cast<unsigned>(v));
}

void TScrollLabel::SetScrollBy(uint8_t v) { fw::SetIfChanged(scrollBy_, v); }

bool TScrollLabel::Active() const { return timer_ && timer_->Enabled(); }

void TScrollLabel::SetActive(bool v) {
    if (timer_) timer_->SetEnabled(v);
}

void TScrollLabel::SetScrollDirection(TScrollDirection d) {
    if (!fw::SetIfChanged(direction_, d)) return;
    motion_.Start(d, ClientWidth(), ClientHeight());
    if (Designing()) {
        TBitmap measure(1, 1);
        TCanvas& c = measure.Canvas();
        c.SetFont(*Font());
        if (d == LeftToRight || d == RightToLeft)
            SetHeight(c.TextHeight(caption_));
        else
            SetWidth(c.TextWidth(caption_) + 2);
    }
    Invalidate();
}

void TScrollLabel::Paint() {
    TCanvas& c = *Canvas();
    const TFont& font = *Font();
    c.SetFont(font);
    Measured& m = measured_;
    if (m.width < 0 || m.text != caption_ || m.fontName != font.Name() ||
        m.fontHeight != font.Height() || m.fontStyle != static_cast<unsigned>(font.Style()) ||
        m.pitch != static_cast<int>(font.Pitch())) {
        m = {caption_,
             font.Name(),
             font.Height(),
             static_cast<unsigned>(font.Style()),
             static_cast<int>(font.Pitch()),
             c.TextWidth(caption_),
             c.TextHeight(caption_)};
    }
    // A paint of the whole label steps the text. A paint of part of it (a neighbour that
    // overlaps it repainting itself) draws the text where it stands: stepping there would
    // tear the text and speed the marquee up.
    TRect shown = ClientRect();
    if (Parent()) shown = shown.Intersect(Parent()->ClientRect().Offset(-Left(), -Top()));
    if (c.ClipRect().Intersect(shown) == shown)
        motion_.Advance(direction_, scrollBy_, ClientWidth(), ClientHeight(), m.width, m.height);
    c.Brush().SetStyle(bsClear);
    c.TextRect(ClientRect(), motion_.x, motion_.y, caption_);
}

}  // namespace ctl
