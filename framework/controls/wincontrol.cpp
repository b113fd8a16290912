// Windowed controls: the child list, the widget behind the control, alignment, focus and
// painting of the windowless children.
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "framework/controls/controls.h"
#include "framework/controls/cursors.h"
#include "framework/controls/fwwidget.h"
#include "framework/core/classbuilder.h"
#include "framework/core/qtconvert.h"

namespace fw {

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TWinControl>("TWinControl", &TControl::StaticClassInfo()).Build();
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
}

TWinControl::~TWinControl() {
    ReleaseCaptureHolder();
    for (TControl* c : std::vector<TControl*>(controls_)) c->parent_ = nullptr;
    controls_.clear();
    if (auto* fw = dynamic_cast<FwWidget*>(widget_.get())) fw->Detach();
    widget_.reset();
}

void TWinControl::InsertControl(TControl* c) {
    controls_.push_back(c);
    c->parent_ = this;
    // Once this control has its widget, a windowed child needs its own in it now: the
    // widget is made for the children there are at that moment, and nothing later would
    // make the child's. One made before goes hidden when it changes parent.
    if (auto* w = dynamic_cast<TWinControl*>(c); w && widget_) {
        if (w->widget_) {
            w->widget_->setParent(widget_.get());
            w->UpdateWidgetGeometry();
            w->widget_->setVisible(w->Visible());
        } else {
            w->Handle();
        }
    }
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
        ReleaseCaptureHolder();
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

void TWinControl::SetBounds(int left, int top, int width, int height) {
    bool resized = width != Width() || height != Height();
    TControl::SetBounds(left, top, width, height);
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

void TWinControl::PaintBackground(TCanvas& canvas, const TRect& dirty) {
    if (!(ControlStyle() & csOpaque)) return;
    // What opaque windowless children paint over anyway is not filled first: a skin that
    // covers the whole window leaves nothing to fill.
    QRegion fill(ToQRect(dirty));
    for (TControl* c : controls_) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible()) continue;
        const TRect covered = g->OpaqueRect().Offset(g->Left(), g->Top());
        if (!covered.IsEmpty()) fill -= ToQRect(covered);
    }
    // At a fractional scale a picture's edge may cover a device pixel only in part.
    if (fill != QRegion(ToQRect(dirty)) && widget_) {
        const qreal ratio = widget_->devicePixelRatioF();
        if (ratio != std::floor(ratio)) fill = QRegion(ToQRect(dirty));
    }
    if (fill.isEmpty()) return;
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsSolid);
    for (const QRect& r : fill) canvas.FillRect(FromQRect(r));
}

void TWinControl::PaintWindow(TCanvas& canvas, const TRect& dirty) {
    PaintBackground(canvas, dirty);
    Paint(canvas);
    for (TControl* c : std::vector<TControl*>(controls_)) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible()) continue;
        // Where its box meets the dirty rectangle but nothing it draws does (a label's
        // empty rows under a neighbour), painting it would change no pixel.
        if (g->BoundsRect().Intersect(dirty).IsEmpty()) continue;
        if (g->PaintedRect().Offset(g->Left(), g->Top()).Intersect(dirty).IsEmpty()) continue;
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
