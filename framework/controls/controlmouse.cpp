// The mouse in the framework's controls: the message handling of one control, the
// dispatch of a window's mouse messages to its windowless children, and the implicit
// capture a press gives them.
#include <QWidget>
#include <utility>

#include "framework/controls/controls.h"
#include "framework/controls/cursors.h"
#include "framework/controls/hint.h"

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
            // The press ends as if released where the mouse was last seen.
            if (const TMouseData* d = Message.Get<TMouseData>(); d && enabled_) {
                for (auto [bit, button] : {std::pair{ssLeft, mbLeft}, std::pair{ssRight, mbRight},
                                           std::pair{ssMiddle, mbMiddle}})
                    if (d->Shift == bit) MouseUp(button, 0, d->Pos.X, d->Pos.Y);
            }
            break;
        default:
            break;
    }
}

void TControl::HandleMouse(TMessage& m) {
    const TMouseData* d = m.Get<TMouseData>();
    if (!d || !enabled_) return;
    const int x = d->Pos.X;
    const int y = d->Pos.Y;
    const TModifierState shift = d->Shift;
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
            c->popupMenu_->PopupFor(this, p.X, p.Y);
            return;
        }
    }
}

namespace {
// The button of a press or release message, as its TModifierState bit.
unsigned ButtonOf(unsigned msg) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
            return ssLeft;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
            return ssRight;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_MBUTTONUP:
            return ssMiddle;
        default:
            return 0;
    }
}
constexpr unsigned kButtons = ssLeft | ssRight | ssMiddle;
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
    TMessage cancel{WM_CANCELMODE,
                    TMouseData{{lastMouse_.X - o.X, lastMouse_.Y - o.Y}, captureButton_}};
    captureButton_ = 0;
    c->WindowProc(cancel);
}

void TWinControl::DispatchMouse(TMessage& m) {
    const TMouseData* d = m.Get<TMouseData>();
    if (!d) return;
    const TPoint p = d->Pos;
    lastMouse_ = p;
    const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN ||
                       m.Msg == WM_MBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK ||
                       m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
    const bool release = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
    // A capture outlives its button only when the release went elsewhere (a popup or a
    // dialog took the mouse): a move with no button down, or a press of a button while the
    // captured one is up, ends it before anything else happens.
    if (captured_) {
        const unsigned held = d->Shift & kButtons;
        if ((m.Msg == WM_MOUSEMOVE && !held) ||
            (press && captureButton_ && !(held & captureButton_)))
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
    if (release && !(d->Shift & kButtons) && captured_) {
        captured_ = nullptr;
        captureButton_ = 0;
        if (captureHolder == this) captureHolder = nullptr;
    }
    TMessage local = m;
    if (target != this) {
        TPoint o = target->OriginInWindow();
        local.Get<TMouseData>()->Pos = {p.X - o.X, p.Y - o.Y};
    }
    // The handler may free the control or the window (a command closing it): nothing of
    // ours is touched afterwards.
    target->WindowProc(local);
    m.Result = local.Result;
}

void TWinControl::ReleaseCaptureHolder() {
    if (captureHolder == this) captureHolder = nullptr;
}

}  // namespace fw
