#include "framework/controls/controls.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

#include "framework/app/application.h"
#include "framework/controls/accessible.h"
#include "framework/controls/cursors.h"
#include "framework/controls/fwwidget.h"
#include "framework/controls/hint.h"
#include "framework/core/classbuilder.h"
#include "framework/menus/menus.h"

namespace fw {

namespace {
// The one window whose windowless child holds the implicit capture: there is one mouse.
TWinControl* captureHolder = nullptr;
}  // namespace

void EndMouseCapture() {
    if (captureHolder) captureHolder->EndMouseCapture();
}

void EndMouseCaptureIn(QWidget* window) {
    if (!captureHolder || !captureHolder->HandleAllocated()) return;
    if (captureHolder->Handle()->window() == window) captureHolder->EndMouseCapture();
}

const EnumInfo& AlignInfo() {
    static const EnumInfo info{"TAlign",
                               {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
    return info;
}

void Guarded(TObject* sender, const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& e) {
        if (Application)
            Application->HandleException(sender, e);
        else
            fprintf(stderr, "%s\n", e.what());
    }
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
            .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
            .Event("OnClick", &TControl::OnClick)
            .Event("OnDblClick", &TControl::OnDblClick)
            .Event("OnMouseDown", &TControl::OnMouseDown)
            .Event("OnMouseMove", &TControl::OnMouseMove)
            .Event("OnMouseUp", &TControl::OnMouseUp)
            .Build();
    return info;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_->OnChange = [this] {
        if (!fontChanging_) parentFont_ = false;
        FontChanged();
    };
}

TControl::~TControl() {
    hint::Forget(this);
    if (parent_) parent_->RemoveControl(this);
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
}

void TControl::Perform(unsigned msg, uintptr_t wparam, intptr_t lparam) {
    TMessage m{msg, wparam, lparam, 0};
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

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    Invalidate();
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
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

// A hidden or disabled control neither keeps the mouse nor shows its hint.
void TControl::LoseMouse() {
    hint::Forget(this);
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        w->EndMouseCapture();
        w->SetHovered(nullptr);
    }
    if (!parent_) return;
    if (parent_->captured_ == this) parent_->EndMouseCapture();
    if (parent_->hovered_ == this) parent_->SetHovered(nullptr);
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
    if (s == caption_) return;
    caption_ = s;
    TextChanged();
    Invalidate();
    AccessibleTextChanged(this);
}

void TControl::SetColor(TColor c) {
    if (c == color_) return;
    color_ = c;
    parentColor_ = false;
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (TControl* child : w->controls_) child->ParentColorChanged();
}

void TControl::SetParentColor(bool v) {
    if (v == parentColor_) return;
    parentColor_ = v;
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
    if (v == parentFont_) return;
    parentFont_ = v;
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

void TControl::SetPopupMenu(TPopupMenu* m) {
    if (m == popupMenu_) return;
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    popupMenu_ = m;
    if (m) FreeNotification(m);
}

void TControl::SetAlign(TAlign a) {
    if (a == align_) return;
    align_ = a;
    if (parent_) parent_->AlignControls();
}

void TControl::SetCursor(int c) {
    cursor_ = c;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        ApplyScreenCursor(w->Handle(), c);
}

void TControl::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
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

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Click() { OnClick(this); }
void TControl::DblClick() { OnDblClick(this); }
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }

void TControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            HandleMouse(Message);
            break;
        case WM_CANCELMODE:
            clicking_ = false;
            rightPressed_ = false;
            if (Message.WParam >= 1 && Message.WParam <= 3 && enabled_)
                MouseUp(static_cast<TMouseButton>(Message.WParam - 1), 0,
                        LoWordSigned(Message.LParam), HiWordSigned(Message.LParam));
            break;
        default:
            break;
    }
}

namespace {
TShiftState ShiftFromKeys(uintptr_t keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_ALT) s |= ssAlt;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    return s;
}
}  // namespace

void TControl::HandleMouse(TMessage& m) {
    const int x = LoWordSigned(m.LParam);
    const int y = HiWordSigned(m.LParam);
    TShiftState shift = ShiftFromKeys(m.WParam);
    if (!enabled_) return;
    switch (m.Msg) {
        case WM_MOUSEMOVE:
            MouseMove(shift, x, y);
            break;
        case WM_LBUTTONDOWN:
            if (controlStyle_ & csClickEvents) clicking_ = true;
            MouseDown(mbLeft, shift, x, y);
            break;
        case WM_LBUTTONDBLCLK:
            if (controlStyle_ & csDoubleClicks) DblClick();
            MouseDown(mbLeft, shift | ssDouble, x, y);
            break;
        case WM_LBUTTONUP: {
            bool click = clicking_;
            clicking_ = false;
            MouseUp(mbLeft, shift, x, y);
            if (click && x >= 0 && y >= 0 && x < width_ && y < height_) Click();
            break;
        }
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            rightPressed_ = true;
            MouseDown(mbRight, shift | (m.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0u), x, y);
            break;
        case WM_RBUTTONUP: {
            // Only a release that ends this control's own press asks for the context menu:
            // a release left over from a menu or dialog that took the press does not.
            bool pressed = rightPressed_;
            rightPressed_ = false;
            MouseUp(mbRight, shift, x, y);
            if (pressed) ShowPopupMenu(x, y);
            break;
        }
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            MouseDown(mbMiddle, shift | (m.Msg == WM_MBUTTONDBLCLK ? ssDouble : 0u), x, y);
            break;
        case WM_MBUTTONUP:
            MouseUp(mbMiddle, shift, x, y);
            break;
        default:
            break;
    }
}

void TControl::ShowPopupMenu(int x, int y) {
    for (TControl* c = this; c; c = c->parent_) {
        if (c->popupMenu_ && c->popupMenu_->AutoPopup()) {
            TPoint p = ClientToScreen({x, y});
            c->popupMenu_->SetPopupComponent(this);
            c->popupMenu_->Popup(p.X, p.Y);
            return;
        }
    }
}

// TGraphicControl

const TClassInfo& TGraphicControl::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TGraphicControl>("TGraphicControl", &TControl::StaticClassInfo()).Build();
    return info;
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), canvas_(std::make_unique<TCanvas>()) {}
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

// TWinControl

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TWinControl>("TWinControl", &TControl::StaticClassInfo()).Build();
    return info;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
}

TWinControl::~TWinControl() {
    if (captureHolder == this) captureHolder = nullptr;
    for (TControl* c : std::vector<TControl*>(controls_)) c->parent_ = nullptr;
    controls_.clear();
    if (auto* fw = dynamic_cast<FwWidget*>(widget_.get())) fw->Detach();
    widget_.reset();
}

void TWinControl::InsertControl(TControl* c) {
    controls_.push_back(c);
    c->parent_ = this;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->widget_ && widget_)
        w->widget_->setParent(widget_.get());
    if (c->parentFont_) c->ParentFontChanged();
    if (c->parentColor_) c->ParentColorChanged();
    if (c->parentShowHint_) c->showHint_ = ShowHint();
    c->Invalidate();
    AlignControls();
}

void TWinControl::RemoveControl(TControl* c) {
    auto it = std::find(controls_.begin(), controls_.end(), c);
    if (it == controls_.end()) return;
    c->Invalidate();
    controls_.erase(it);
    c->parent_ = nullptr;
    if (captured_ == c) {
        captured_ = nullptr;
        if (captureHolder == this) captureHolder = nullptr;
    }
    if (hovered_ == c) hovered_ = nullptr;
}

void TWinControl::BringControlToFront(TControl* c) {
    auto it = std::find(controls_.begin(), controls_.end(), c);
    if (it == controls_.end()) return;
    controls_.erase(it);
    controls_.push_back(c);
    c->Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->widget_) w->widget_->raise();
}

QWidget* TWinControl::CreateWidget() {
    QWidget* parentWidget = Parent() ? Parent()->Handle() : nullptr;
    return new FwWidget(this, parentWidget);
}

QWidget* TWinControl::Handle() {
    if (!widget_) {
        widget_.reset(CreateWidget());
        widget_->setMouseTracking(true);
        // The way back from a widget to its control (focus changes, key messages).
        widget_->setProperty("fw.control", QVariant::fromValue(static_cast<void*>(this)));
        if (Cursor() != crDefault) ApplyScreenCursor(widget_.get(), Cursor());
        UpdateWidgetGeometry();
        for (TControl* c : controls_)
            if (auto* w = dynamic_cast<TWinControl*>(c)) {
                w->Handle()->setParent(widget_.get());
                w->UpdateWidgetGeometry();
            }
        if (Parent()) widget_->setVisible(Visible());
    }
    return widget_.get();
}

QWidget* TWinControl::NearestWidget() const { return const_cast<TWinControl*>(this)->Handle(); }

void TWinControl::UpdateWidgetGeometry() {
    if (!widget_ || inSync_) return;
    inSync_ = true;
    widget_->setGeometry(Left(), Top(), std::max(0, Width()), std::max(0, Height()));
    inSync_ = false;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    bool resized = AWidth != Width() || AHeight != Height();
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdateWidgetGeometry();
    if (resized) AlignControls();
}

void TWinControl::SetVisible(bool v) {
    TControl::SetVisible(v);
    if (widget_ && Parent()) widget_->setVisible(v);
}

void TWinControl::SetEnabled(bool v) {
    TControl::SetEnabled(v);
    if (widget_) widget_->setEnabled(v);
}

void TWinControl::Invalidate() {
    if (widget_) widget_->update();
}

void TWinControl::InvalidateRect(const TRect& r) {
    if (widget_) widget_->update(ToQRect(r));
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* c : controls_) c->ParentFontChanged();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TControl* c : controls_)
        if (c->Owner() == root) proc(c);
}

bool TWinControl::Focused() const { return widget_ && widget_->hasFocus(); }

bool TWinControl::CanFocus() const {
    if (!Enabled() || !Showing()) return false;
    return !widget_ || widget_->focusPolicy() != Qt::NoFocus;
}

void TWinControl::SetFocus() {
    QWidget* w = Handle();
    w->activateWindow();
    w->setFocus(Qt::OtherFocusReason);
}

void TWinControl::Broadcast(TMessage& m) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        c->WindowProc(m);
        if (m.Result) return;
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            w->Broadcast(m);
            if (m.Result) return;
        }
    }
}

TControl* TWinControl::ControlAtPos(TPoint p) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c)) continue;
        if (c->Visible() && c->BoundsRect().Contains(p)) return c;
    }
    return nullptr;
}

void TWinControl::AlignControls() {
    TRect area = ClientRect();
    auto place = [&](TAlign which) {
        for (TControl* c : controls_) {
            if (!c->Visible() || c->Align() != which) continue;
            switch (which) {
                case alTop:
                    c->SetBounds(area.Left, area.Top, area.Width(), c->Height());
                    area.Top += c->Height();
                    break;
                case alBottom:
                    c->SetBounds(area.Left, area.Bottom - c->Height(), area.Width(), c->Height());
                    area.Bottom -= c->Height();
                    break;
                case alLeft:
                    c->SetBounds(area.Left, area.Top, c->Width(), area.Height());
                    area.Left += c->Width();
                    break;
                case alRight:
                    c->SetBounds(area.Right - c->Width(), area.Top, c->Width(), area.Height());
                    area.Right -= c->Width();
                    break;
                case alClient:
                    c->SetBounds(area.Left, area.Top, area.Width(), area.Height());
                    break;
                case alNone:
                    break;
            }
        }
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
}

namespace {
unsigned ButtonOf(unsigned msg) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
            return mbLeft + 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
            return mbRight + 1;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_MBUTTONUP:
            return mbMiddle + 1;
        default:
            return 0;
    }
}
uintptr_t KeyOfButton(unsigned button) {
    switch (button) {
        case mbLeft + 1:
            return MK_LBUTTON;
        case mbRight + 1:
            return MK_RBUTTON;
        case mbMiddle + 1:
            return MK_MBUTTON;
        default:
            return 0;
    }
}
constexpr uintptr_t kButtonKeys = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
}  // namespace

void TWinControl::SetHovered(TControl* c) {
    if (c == hovered_) return;
    TControl* old = hovered_;
    hovered_ = c;
    if (old) {
        hint::MouseLeft(old);
        old->Perform(CM_MOUSELEAVE);
    }
    if (hovered_ == c && c) {
        c->Perform(CM_MOUSEENTER);
        hint::MouseEntered(c);
    }
}

void TWinControl::EndMouseCapture() {
    if (captureHolder == this) captureHolder = nullptr;
    TControl* c = captured_;
    if (!c) return;
    captured_ = nullptr;
    const TPoint o = c->OriginInWindow();
    TMessage cancel{WM_CANCELMODE, captureButton_,
                    MakeLParam(lastMouse_.X - o.X, lastMouse_.Y - o.Y), 0};
    captureButton_ = 0;
    c->WindowProc(cancel);
}

void TWinControl::DispatchMouse(TMessage& m) {
    TPoint p{LoWordSigned(m.LParam), HiWordSigned(m.LParam)};
    lastMouse_ = p;
    const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN ||
                       m.Msg == WM_MBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK ||
                       m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
    const bool release = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
    // A capture outlives its button only when the release went elsewhere (a popup or a
    // dialog took the mouse): a move with no button down, or a press of a button while the
    // captured one is up, ends it before anything else happens.
    if (captured_) {
        const uintptr_t held = m.WParam & kButtonKeys;
        const uintptr_t capturedKey = KeyOfButton(captureButton_);
        if ((m.Msg == WM_MOUSEMOVE && !held) || (press && capturedKey && !(held & capturedKey)))
            EndMouseCapture();
    }
    TControl* target = captured_;
    if (!target) {
        target = ControlAtPos(p);
        if (!target || !target->Enabled()) target = this;
    }
    if (m.Msg == WM_MOUSEMOVE && !captured_) {
        SetHovered(target == this ? nullptr : target);
        // A windowless control's cursor shows through its parent's widget.
        ApplyScreenCursor(Handle(), (hovered_ ? hovered_ : static_cast<TControl*>(this))->Cursor());
    }
    if (press) hint::Cancel();
    if (press && !captured_ && target != this && (target->ControlStyle() & csCaptureMouse)) {
        if (captureHolder && captureHolder != this) captureHolder->EndMouseCapture();
        captured_ = target;
        captureButton_ = ButtonOf(m.Msg);
        captureHolder = this;
    }
    // The last release ends the capture before its handler runs: a click handler that
    // hides the window must not end the press a second time.
    if (release && !(m.WParam & kButtonKeys) && captured_) {
        captured_ = nullptr;
        captureButton_ = 0;
        if (captureHolder == this) captureHolder = nullptr;
    }
    TMessage local = m;
    if (target != this) {
        TPoint o = target->OriginInWindow();
        local.LParam = MakeLParam(p.X - o.X, p.Y - o.Y);
    }
    // The handler may free the control or the window (a command closing it): nothing of
    // ours is touched afterwards.
    target->WindowProc(local);
    m.Result = local.Result;
}

void TWinControl::PaintBackground(TCanvas& canvas, const TRect& dirty) {
    if (!(ControlStyle() & csOpaque)) return;
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(dirty);
}

void TWinControl::PaintWindow(TCanvas& canvas, const TRect& dirty) {
    PaintBackground(canvas, dirty);
    Paint(canvas);
    for (TControl* c : std::vector<TControl*>(controls_)) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible()) continue;
        if (g->BoundsRect().Intersect(dirty).IsEmpty()) continue;
        Guarded(g, [&] { g->PaintControl(canvas, dirty); });
    }
}

void TWinControl::WidgetResized(int w, int h) {
    if (inSync_) return;
    inSync_ = true;
    TControl::SetBounds(Left(), Top(), w, h);
    inSync_ = false;
    AlignControls();
}

void TWinControl::WidgetMoved(int x, int y) {
    if (inSync_) return;
    inSync_ = true;
    TControl::SetBounds(x, y, Width(), Height());
    inSync_ = false;
}

}  // namespace fw

namespace fw {
const TClassInfo& TCustomControl::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TCustomControl>("TCustomControl", &TWinControl::StaticClassInfo()).Build();
    return info;
}
}  // namespace fw
