#include "framework/controls.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

#include "framework/application.h"
#include "framework/classbuilder.h"
#include "framework/controls/accessible.h"
#include "framework/fwwidget.h"
#include "framework/menus.h"

namespace fw {

const EnumInfo& AlignInfo() {
    static const EnumInfo info{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
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
            .Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
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
    if (!v) Invalidate();
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
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) {
        w->Handle()->setCursor(c == crHandPoint ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
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

void TControl::Update() {
    if (QWidget* w = NearestWidget()) w->repaint();
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
            MouseDown(mbRight, shift | (m.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0u), x, y);
            break;
        case WM_RBUTTONUP:
            MouseUp(mbRight, shift, x, y);
            ShowPopupMenu(x, y);
            break;
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

void TGraphicControl::PaintControl(TCanvas& target) {
    TCanvas::PaintScope scope(target);
    QPainter& p = scope.Painter();
    p.save();
    p.translate(Left(), Top());
    p.setClipRect(QRect(0, 0, Width(), Height()), Qt::IntersectClip);
    canvas_->Attach(&p, Rect(0, 0, Width(), Height()));
    canvas_->SetFont(*Font());
    try {
        Paint();
    } catch (...) {
        canvas_->Detach();
        p.restore();
        throw;
    }
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
    if (captured_ == c) captured_ = nullptr;
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

QWidget* TWinControl::NearestWidget() const {
    return const_cast<TWinControl*>(this)->Handle();
}

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

void TWinControl::DispatchMouse(TMessage& m) {
    TPoint p{LoWordSigned(m.LParam), HiWordSigned(m.LParam)};
    TControl* target = captured_;
    if (!target) {
        target = ControlAtPos(p);
        if (!target || !target->Enabled()) target = this;
    }
    if (m.Msg == WM_MOUSEMOVE && !captured_) {
        TControl* hover = target == this ? nullptr : target;
        if (hover != hovered_) {
            if (hovered_) hovered_->Perform(CM_MOUSELEAVE);
            hovered_ = hover;
            if (hovered_) hovered_->Perform(CM_MOUSEENTER);
        }
    }
    bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN ||
                 m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK ||
                 m.Msg == WM_MBUTTONDBLCLK;
    bool release = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
    if (press && target != this && (target->ControlStyle() & csCaptureMouse)) captured_ = target;
    TMessage local = m;
    if (target != this) {
        TPoint o = target->OriginInWindow();
        local.LParam = MakeLParam(p.X - o.X, p.Y - o.Y);
    }
    // The handler may free the control (a menu command closing the window): keep only
    // what we still own afterwards.
    target->WindowProc(local);
    m.Result = local.Result;
    if (release && !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) captured_ = nullptr;
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
        Guarded(g, [&] { g->PaintControl(canvas); });
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
