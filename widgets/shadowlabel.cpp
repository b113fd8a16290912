#include "widgets/shadowlabel.h"

#include <algorithm>

#include "framework/controls/cursors.h"
#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/drawtext.h"

using namespace fw;

namespace ctl {

namespace {
const EnumInfo& LayoutInfo() {
    static const EnumInfo info{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
    return info;
}

// Measuring happens outside painting, on a surface of its own.
TCanvas& MeasureCanvas() {
    static TBitmap bmp(1, 1);
    return bmp.Canvas();
}
}  // namespace

const EnumInfo& ShadowPositionInfo() {
    static const EnumInfo info{"TShadowPosition",
                               {"spLeftTop", "spLeftBottom", "spRightBottom", "spRightTop"}};
    return info;
}

int DrawShadowText(TCanvas& canvas, const std::string& text, TShadowPosition pos,
                   TColor shadowColor, int size, unsigned flags, TRect& r) {
    TRect textRect = r, shadowRect = r;
    switch (pos) {
        case spLeftTop:
            shadowRect = r.Offset(-size, -size);
            break;
        case spLeftBottom:
            shadowRect = r.Offset(-size, size);
            break;
        case spRightBottom:
            shadowRect = r.Offset(size, size);
            break;
        case spRightTop:
            shadowRect = r.Offset(size, -size);
            break;
    }
    const TColor textColor = canvas.Font().Color();
    canvas.Font().SetColor(shadowColor);
    const int height = DrawText(canvas, text, shadowRect, flags);
    canvas.Font().SetColor(textColor);
    DrawText(canvas, text, textRect, flags);
    r = {std::min(textRect.Left, shadowRect.Left), std::min(textRect.Top, shadowRect.Top),
         std::max(textRect.Right, shadowRect.Right), std::max(textRect.Bottom, shadowRect.Bottom)};
    return height > 0 ? height + size : height;
}

const TClassInfo& TCustomShadowLabel::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TCustomShadowLabel>("TCustomShadowLabel", &TGraphicControl::StaticClassInfo())
            .Build();
    return info;
}

const TClassInfo& TShadowLabel::StaticClassInfo() {
    using L = TCustomShadowLabel;
    static const TClassInfo info =
        ClassBuilder<TShadowLabel>("TShadowLabel", &TCustomShadowLabel::StaticClassInfo())
            .Enum("Alignment", &L::Alignment, &L::SetAlignment, AlignmentInfo(), taLeftJustify)
            .Boolean("AutoSize", &L::AutoSize, &L::SetAutoSize, true)
            .Component("FocusControl", &L::FocusControl, &L::SetFocusControl)
            .Enum("Layout", &L::Layout, &L::SetLayout, LayoutInfo(), tlTop)
            .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
            .Color("ShadowColor", &L::ShadowColor, &L::SetShadowColor, clBtnHighlight)
            .Integer("ShadowSize", &L::ShadowSize, &L::SetShadowSize, 1)
            .Enum("ShadowPos", &L::ShadowPos, &L::SetShadowPos, ShadowPositionInfo(), spLeftTop)
            .Boolean("ShowAccelChar", &L::ShowAccelChar, &L::SetShowAccelChar, true)
            .Boolean("ShowFocus", &L::ShowFocus, &L::SetShowFocus, false)
            .Boolean("Transparent", &TControl::Transparent, &TControl::SetTransparent, false)
            .Boolean("WordWrap", &L::WordWrap, &L::SetWordWrap, false)
            .Event("OnMouseEnter", &L::OnMouseEnter)
            .Event("OnMouseLeave", &L::OnMouseLeave)
            .Creatable()
            .Build();
    return info;
}

TCustomShadowLabel::TCustomShadowLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() | csOpaque);
    // Opaque on whatever it stands on.
    SetParentColor(true);
    TControl::SetBounds(Left(), Top(), 65, 17);
}

TCustomShadowLabel::~TCustomShadowLabel() {
    if (focusControl_) RemoveFreeNotification(focusControl_);
}

void TCustomShadowLabel::SetFocusControl(TWinControl* c) {
    if (focusControl_) RemoveFreeNotification(focusControl_);
    focusControl_ = c;
    if (c) FreeNotification(c);
    if (showFocus_) Invalidate();
}

void TCustomShadowLabel::Notification(TComponent* component, TOperation Operation) {
    TGraphicControl::Notification(component, Operation);
    if (Operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomShadowLabel::SetAlignment(TAlignment v) {
    if (fw::SetIfChanged(alignment_, v)) Invalidate();
}
void TCustomShadowLabel::SetAutoSize(bool v) {
    if (fw::SetIfChanged(autoSize_, v)) AdjustBounds();
}
void TCustomShadowLabel::SetLayout(TTextLayout v) {
    if (fw::SetIfChanged(layout_, v)) Invalidate();
}
void TCustomShadowLabel::SetShadowColor(TColor v) {
    if (fw::SetIfChanged(shadowColor_, v)) Invalidate();
}
void TCustomShadowLabel::SetShadowSize(uint8_t v) {
    if (!fw::SetIfChanged(shadowSize_, v)) return;
    AdjustBounds();
    Invalidate();
}
// The position alone does not re-fit: the size follows at the next re-fit.
void TCustomShadowLabel::SetShadowPos(TShadowPosition v) {
    if (fw::SetIfChanged(shadowPos_, v)) Invalidate();
}
void TCustomShadowLabel::SetWordWrap(bool v) {
    if (fw::SetIfChanged(wordWrap_, v)) AdjustBounds();
}
void TCustomShadowLabel::SetShowAccelChar(bool v) {
    if (fw::SetIfChanged(showAccelChar_, v)) Invalidate();
}
void TCustomShadowLabel::SetShowFocus(bool v) {
    if (fw::SetIfChanged(showFocus_, v)) Invalidate();
}

void TCustomShadowLabel::SetEnabled(bool v) {
    const bool changed = v != Enabled();
    TGraphicControl::SetEnabled(v);
    if (changed) CheckMouse();
}

void TCustomShadowLabel::TextChanged() {
    Invalidate();
    AdjustBounds();
}

void TCustomShadowLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomShadowLabel::VisibleChanged() {
    if (Visible()) CheckMouse();
}

void TCustomShadowLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

unsigned TCustomShadowLabel::AlignmentFlags() const {
    switch (alignment_) {
        case taRightJustify:
            return DT_RIGHT;
        case taCenter:
            return DT_CENTER;
        default:
            return DT_LEFT;
    }
}

unsigned TCustomShadowLabel::WordWrapFlags() const { return wordWrap_ ? DT_WORDBREAK : 0; }

void TCustomShadowLabel::DoDrawText(TCanvas& canvas, TRect& rect, unsigned flags) {
    std::string text = Caption();
    // Measuring nothing (or a lone access mark) still measures one line.
    if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
    canvas.SetFont(*Font());
    TColor shadow = shadowColor_;
    int size = shadowSize_;
    TShadowPosition pos = shadowPos_;
    if (!Enabled()) {
        canvas.Font().SetColor(clGrayText);
        shadow = clBtnHighlight;
        if (size == 0) {
            // Disabled text always gets an embossed look.
            size = 1;
            pos = spRightBottom;
        }
    }
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    DrawShadowText(canvas, text, pos, ColorToRGB(shadow), size, flags, rect);
}

void TCustomShadowLabel::Paint() {
    TCanvas& c = *Canvas();
    if (!Enabled() && !Designing()) dragging_ = false;
    const TRect client = ClientRect();
    if (!Transparent()) {
        c.Brush().SetColor(Color());
        c.Brush().SetStyle(bsSolid);
        c.FillRect(client);
    }
    c.Brush().SetStyle(bsClear);
    TRect rect{client.Left + leftMargin_ + 1, client.Top, client.Right - rightMargin_ - 1,
               client.Bottom};
    if (layout_ != tlTop) {
        DoDrawText(c, rect, AlignmentFlags() | WordWrapFlags() | DT_EXPANDTABS | DT_CALCRECT);
        rect.Left = client.Left + leftMargin_;
        rect.Right = client.Right - rightMargin_;
        int dy = Height() - rect.Bottom;
        if (layout_ == tlCenter) dy /= 2;  // toward zero
        rect = rect.Offset(0, dy);
    }
    DoDrawText(c, rect, AlignmentFlags() | WordWrapFlags() | DT_EXPANDTABS);
    if (showFocus_ && focusControl_ && focusControl_->Focused() && !Designing()) {
        rect = rect.Inflate(1, 0);
        c.Brush().SetColor(Color());
        c.DrawFocusRect(rect);
    }
}

void TCustomShadowLabel::AdjustBounds() {
    if (!autoSize_ || Loading()) return;
    const TRect client = ClientRect();
    TRect rect{client.Left + leftMargin_ + 1, client.Top, client.Right - rightMargin_ - 1,
               client.Bottom};
    DoDrawText(MeasureCanvas(), rect, WordWrapFlags() | DT_EXPANDTABS | DT_CALCRECT);
    rect.Left -= leftMargin_ + 1;
    rect.Right += rightMargin_ + 1;
    const int width = rect.Right, height = rect.Bottom;
    int left = Left();
    if (alignment_ == taRightJustify) left += Width() - width;
    SetBounds(left, Top(), width, height);
}

void TCustomShadowLabel::CheckMouse() {
    const bool inside =
        Enabled() && FindControlAt(CursorPos()) == this && ApplicationIsForeground();
    if (inside == mouseIn_) return;
    mouseIn_ = inside;
    if (inside)
        MouseEnter();
    else
        MouseLeave();
}

void TCustomShadowLabel::MouseDown(TMouseButton Button, TModifierState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) dragging_ = true;
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbRight) CheckMouse();
}

void TCustomShadowLabel::MouseUp(TMouseButton Button, TModifierState Shift, int X, int Y) {
    if (Button == mbLeft) dragging_ = false;
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    CheckMouse();
}

void TCustomShadowLabel::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case CM_MOUSEENTER:
            if (!mouseIn_ && Enabled() && ApplicationIsForeground()) {
                mouseIn_ = true;
                MouseEnter();
            }
            break;
        case CM_MOUSELEAVE:
            if (mouseIn_ && Enabled() && !dragging_) {
                mouseIn_ = false;
                MouseLeave();
            }
            break;
        case CM_FOCUSCHANGED: {
            const TFocusChange* change = Message.Get<TFocusChange>();
            const bool now = focusControl_ && change && change->Focused == focusControl_;
            if (now != focused_) {
                focused_ = now;
                if (showFocus_) Invalidate();
            }
            break;
        }
        case CM_DIALOGCHAR: {
            const TDialogChar* typed = Message.Get<TDialogChar>();
            char key = 0;
            StripAccelChars(Caption(), &key);
            if (focusControl_ && Enabled() && showAccelChar_ && key && typed && key == typed->Key &&
                focusControl_->CanFocus()) {
                focusControl_->SetFocus();
                Message.Result = 1;
            }
            break;
        }
        default:
            break;
    }
    TGraphicControl::WndProc(Message);
}

}  // namespace ctl
