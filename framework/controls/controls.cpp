#include "framework/controls/controls.h"

#include <QWidget>
#include <algorithm>

#include "framework/controls/accessible.h"
#include "framework/controls/cursors.h"
#include "framework/controls/hint.h"
#include "framework/core/classbuilder.h"
#include "framework/core/qtconvert.h"
#include "framework/core/setifchanged.h"
#include "framework/graphics/canvasimpl.h"

namespace fw {

const EnumInfo& AlignInfo() {
    static const EnumInfo info{"TAlign",
                               {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
    return info;
}

// TControl

const TClassInfo& TControl::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TControl>("TControl", &TComponent::StaticClassInfo())
            .Integer("Left", &TControl::Left, &TControl::SetLeft, std::nullopt)
            .Integer("Top", &TControl::Top, &TControl::SetTop, std::nullopt)
            .Integer("Width", &TControl::Width, &TControl::SetWidth, std::nullopt)
            .Integer("Height", &TControl::Height, &TControl::SetHeight, std::nullopt)
            .Enum("Align", &TControl::Align, &TControl::SetAlign, AlignInfo(), alNone)
            .String("Caption", &TControl::Caption, &TControl::SetCaption, std::string())
            .Color("Color", &TControl::Color, &TControl::SetColor, clBtnFace)
            .StoredWhen(&TControl::ColorStored)
            .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, 0)
            .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
            .Object("Font", &TControl::Font)
            .StoredWhen(&TControl::FontStored)
            .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
            .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
            .Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint,
                     true)
            .Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .String("Hint", &TControl::Hint, &TControl::SetHint, std::string())
            // Written only where it is the control's own, and then always: a value taken
            // from the parent is not the control's to store, and reading it back would end
            // the following; an own False must be kept from the parent's True on reading.
            .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, std::nullopt)
            .StoredWhen(&TControl::ShowHintStored)
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
            .Event("OnClick", &TControl::OnClick)
            .Event("OnDblClick", &TControl::OnDblClick)
            .Event("OnMouseDown", &TControl::OnMouseDown)
            .Event("OnMouseMove", &TControl::OnMouseMove)
            .Event("OnMouseUp", &TControl::OnMouseUp)
            .Build();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_->OnChange = [this] {
        if (!fontChanging_) parentFont_ = false;
        FontChanged();
    };
}

TControl::~TControl() {
    hint::Forget(this);
    if (parent_) parent_->RemoveControl(this);
    if (popupMenuComponent_) RemoveFreeNotification(popupMenuComponent_);
}

void TControl::Perform(unsigned msg, TMessageData data) {
    TMessage m{msg, std::move(data)};
    WindowProc(m);
}

void TControl::SetParent(TWinControl* p) {
    if (p == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    if (p) p->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
    BoundsChanged();
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetClientWidth(int v) { SetWidth(v + (Width() - ClientWidth())); }
void TControl::SetClientHeight(int v) { SetHeight(v + (Height() - ClientHeight())); }

TPoint TControl::OriginInWindow() const {
    TPoint p{0, 0};
    for (const TControl* c = this; c && !dynamic_cast<const TWinControl*>(c); c = c->parent_) {
        p.X += c->left_;
        p.Y += c->top_;
    }
    return p;
}

TPoint TControl::ClientToScreen(TPoint p) const {
    QWidget* w = NearestWidget();
    TPoint o = OriginInWindow();
    if (!w) return {p.X + o.X, p.Y + o.Y};
    return FromQPoint(w->mapToGlobal(QPoint(p.X + o.X, p.Y + o.Y)));
}

TPoint TControl::ScreenToClient(TPoint p) const {
    QWidget* w = NearestWidget();
    TPoint o = OriginInWindow();
    TPoint local = w ? FromQPoint(w->mapFromGlobal(ToQPoint(p))) : p;
    return {local.X - o.X, local.Y - o.Y};
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    if (!v) {
        LoseMouse();
        Invalidate();
    }
    visible_ = v;
    if (v) Invalidate();
    VisibleChanged();
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    if (!v) LoseMouse();
    enabled_ = v;
    Invalidate();
}

void TControl::SetCaption(const std::string& s) {
    if (!SetIfChanged(caption_, s)) return;
    TextChanged();
    Invalidate();
    AccessibleTextChanged(this);
}

void TControl::SetColor(TColor c) {
    if (!SetIfChanged(color_, c)) return;
    parentColor_ = false;
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (TControl* child : w->controls_) child->ParentColorChanged();
}

void TControl::SetParentColor(bool v) {
    if (!SetIfChanged(parentColor_, v)) return;
    if (v) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_) return;
    color_ = parent_->Color();
    parentColor_ = true;
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (TControl* child : w->controls_) child->ParentColorChanged();
}

void TControl::SetParentFont(bool v) {
    if (!SetIfChanged(parentFont_, v)) return;
    if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    fontChanging_ = true;
    font_->Assign(*parent_->Font());
    fontChanging_ = false;
}

void TControl::FontChanged() { Invalidate(); }

void TControl::SetShowHint(bool v) {
    showHint_ = v;
    parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool v) {
    parentShowHint_ = v;
    if (v && parent_) showHint_ = parent_->ShowHint();
}

void TControl::SetPopupMenu(TContextMenu* m) {
    if (m == popupMenu_) return;
    if (popupMenuComponent_) RemoveFreeNotification(popupMenuComponent_);
    popupMenu_ = m;
    popupMenuComponent_ = m ? m->AsComponent() : nullptr;
    if (popupMenuComponent_) FreeNotification(popupMenuComponent_);
}

void TControl::SetAlign(TAlign a) {
    if (!SetIfChanged(align_, a)) return;
    if (parent_) parent_->AlignControls();
}

void TControl::SetCursor(int c) {
    cursor_ = c;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        ApplyScreenCursor(w->Handle(), c);
}

void TControl::SetTransparent(bool v) {
    if (!SetIfChanged(transparent_, v)) return;
    if (v)
        controlStyle_ &= ~csOpaque;
    else
        controlStyle_ |= csOpaque;
    Invalidate();
}

void TControl::Invalidate() {
    if (!parent_ || !visible_) return;
    parent_->InvalidateRect(BoundsRect());
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

// Paints the control at once. A windowless control paints its own rectangle: the parent's
// background and the windowless controls that overlap it, no more of the window.
void TControl::Update() {
    if (auto* self = dynamic_cast<TWinControl*>(this)) {
        if (self->widget_ && self->widget_->isVisible()) self->widget_->repaint();
        return;
    }
    if (!parent_ || !Showing()) return;
    QWidget* w = NearestWidget();
    if (!w || !w->isVisible()) return;
    const TPoint o = OriginInWindow();
    w->repaint(QRect(o.X, o.Y, width_, height_));
}

void TControl::BringToFront() {
    if (parent_) parent_->BringControlToFront(this);
}

QWidget* TControl::NearestWidget() const { return parent_ ? parent_->NearestWidget() : nullptr; }

void TControl::Loaded() {
    TComponent::Loaded();
    if (parentFont_) ParentFontChanged();
    if (parentColor_) ParentColorChanged();
}

void TControl::Notification(TComponent* component, TOperation Operation) {
    TComponent::Notification(component, Operation);
    if (Operation == TOperation::opRemove && component && component == popupMenuComponent_) {
        popupMenu_ = nullptr;
        popupMenuComponent_ = nullptr;
    }
}

void TControl::Click() { OnClick(this); }
void TControl::DblClick() { OnDblClick(this); }
void TControl::MouseDown(TMouseButton Button, TModifierState Shift, int X, int Y) {
    OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TModifierState Shift, int X, int Y) {
    OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TModifierState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }

// TGraphicControl

const TClassInfo& TGraphicControl::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TGraphicControl>("TGraphicControl", &TControl::StaticClassInfo()).Build();
    return info;
}

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& Message) { TControl::WndProc(Message); }

void TGraphicControl::PaintControl(TCanvas& target, const TRect& dirty) {
    TCanvas::PaintScope scope(target);
    QPainter& p = scope.Painter();
    p.save();
    p.translate(Left(), Top());
    p.setClipRect(QRect(0, 0, Width(), Height()), Qt::IntersectClip);
    canvas_->Attach(&p, Rect(0, 0, Width(), Height()));
    // The canvas's clip is the part of the control being painted, as the paint asked.
    canvas_->SetClipRect(dirty.Intersect(BoundsRect()).Offset(-Left(), -Top()));
    canvas_->SetFont(*Font());
    try {
        Paint();
    } catch (...) {
        canvas_->ResetClip();
        canvas_->Detach();
        p.restore();
        throw;
    }
    canvas_->ResetClip();
    canvas_->Detach();
    p.restore();
}

const TClassInfo& TPaintedWinControl::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TPaintedWinControl>("TPaintedWinControl", &TWinControl::StaticClassInfo())
            .Build();
    return info;
}

}  // namespace fw
