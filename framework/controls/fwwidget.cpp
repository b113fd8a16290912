#include "framework/controls/fwwidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <cctype>
#include <optional>

#include "framework/controls/controls.h"
#include "framework/controls/cursors.h"
#include "framework/controls/forms.h"
#include "framework/core/qtconvert.h"
#include "framework/core/savemoments.h"
#include "framework/graphics/canvas.h"
#include "framework/x11/firstpaint.h"
#include "framework/x11/windowstate.h"

namespace fw {

FwWidget::FwWidget(TWinControl* control, QWidget* parent) : QWidget(parent), control_(control) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FwWidget::paintEvent(QPaintEvent* e) {
    if (!control_) return;
    QPainter p(this);
    TCanvas canvas;
    canvas.Attach(&p, Rect(0, 0, width(), height()));
    TWinControl* c = control_;
    Guarded(c, [&] { c->PaintWindow(canvas, FromQRect(e->rect())); });
    canvas.Detach();
    if (AwaitingFirstPaint()) ReleaseFirstPaintWork();
}

namespace {
TModifierState ShiftOf(QMouseEvent* e) {
    TModifierState k = 0;
    Qt::MouseButtons b = e->buttons();
    if (b & Qt::LeftButton) k |= ssLeft;
    if (b & Qt::RightButton) k |= ssRight;
    if (b & Qt::MiddleButton) k |= ssMiddle;
    Qt::KeyboardModifiers m = e->modifiers();
    if (m & Qt::ShiftModifier) k |= ssShift;
    if (m & Qt::ControlModifier) k |= ssCtrl;
    if (m & Qt::AltModifier) k |= ssAlt;
    return k;
}

unsigned PressMessage(Qt::MouseButton b, bool dbl) {
    switch (b) {
        case Qt::LeftButton:
            return dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        case Qt::RightButton:
            return dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
        case Qt::MiddleButton:
            return dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
        default:
            return 0;
    }
}

unsigned ReleaseMessage(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return WM_LBUTTONUP;
        case Qt::RightButton:
            return WM_RBUTTONUP;
        case Qt::MiddleButton:
            return WM_MBUTTONUP;
        default:
            return 0;
    }
}
}  // namespace

void FwWidget::SendMouse(unsigned msg, QMouseEvent* e) {
    NoteMousePos(FromQPoint(e->globalPosition().toPoint()), e->buttons() != Qt::NoButton);
    if (!control_ || !msg) return;
    QPoint pos = e->position().toPoint();
    TMessage m{msg, TMouseData{{pos.x(), pos.y()}, ShiftOf(e)}};
    TWinControl* c = control_;
    Guarded(c, [&] { c->DispatchMouse(m); });
}

void FwWidget::mousePressEvent(QMouseEvent* e) {
    // A click gives the window the keyboard, as a window manager would: with none running
    // nobody else does, and the window's keys would go nowhere.
    if (auto* top = dynamic_cast<FwWidget*>(window());
        top && !top->isActiveWindow() && dynamic_cast<TFormBase*>(top->control_))
        top->activateWindow();
    SendMouse(PressMessage(e->button(), false), e);
}
void FwWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    SendMouse(PressMessage(e->button(), true), e);
}
void FwWidget::mouseReleaseEvent(QMouseEvent* e) { SendMouse(ReleaseMessage(e->button()), e); }
void FwWidget::mouseMoveEvent(QMouseEvent* e) { SendMouse(WM_MOUSEMOVE, e); }

void FwWidget::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (!control_) return;
    TMessage m{WM_MOUSEMOVE, TMouseData{{-1, -1}, 0}};
    TWinControl* c = control_;
    Guarded(c, [&] { c->DispatchMouse(m); });
}

void FwWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (control_) control_->WidgetResized(width(), height());
}

void FwWidget::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (control_) control_->WidgetMoved(x(), y());
}

void FwWidget::closeEvent(QCloseEvent* e) {
    // The window manager's close button goes through the form's own close logic.
    auto* form = dynamic_cast<TFormBase*>(control_);
    if (!form) return QWidget::closeEvent(e);
    e->ignore();
    Guarded(form, [&] { form->Close(); });
}

namespace {
std::optional<TWindowKey> WindowKeyOf(const QKeyEvent* e) {
    const Qt::KeyboardModifiers m =
        e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (e->key() == Qt::Key_Escape && m == Qt::NoModifier) return TWindowKey::Escape;
    if ((e->key() == Qt::Key_Menu && m == Qt::NoModifier) ||
        (e->key() == Qt::Key_F10 && m == Qt::ShiftModifier))
        return TWindowKey::ContextMenu;
    if (e->key() == Qt::Key_Space && m == Qt::AltModifier) return TWindowKey::SystemMenu;
    return std::nullopt;
}
}  // namespace

void FwWidget::keyPressEvent(QKeyEvent* e) {
    // Alt with a character: the window's access keys. Other keys go on to the parent.
    auto* form = dynamic_cast<TFormBase*>(control_);
    if (auto key = form ? WindowKeyOf(e) : std::nullopt) {
        bool taken = false;
        Guarded(form, [&] { taken = form->WindowKey(*key); });
        if (taken) return e->accept();
    }
    const QString text = e->text();
    if (form && (e->modifiers() & Qt::AltModifier) && text.size() == 1 && text[0].unicode() < 128) {
        bool taken = false;
        const char key = static_cast<char>(std::tolower(text[0].toLatin1()));
        Guarded(form, [&] { taken = form->DialogChar(key); });
        if (taken) return e->accept();
    }
    QWidget::keyPressEvent(e);
}

void FwWidget::CheckMappedLater(int checksLeft) {
    QTimer::singleShot(400, this, [this, checksLeft] {
        if (!isVisible() || !isWindow()) return;
        const TMapCheck check = CheckMapped(this);
        if (check == TMapCheck::Shown) return;
        if (check == TMapCheck::Dropped) {
            if (auto* form = dynamic_cast<TFormBase*>(control_))
                Guarded(form, [&] { form->ApplyWindowStates(); });
            statesAfterMap_ = true;
            MapAgain(this);
        }
        if (checksLeft > 1) CheckMappedLater(checksLeft - 1);
    });
}

bool FwWidget::eventFilter(QObject* watched, QEvent* e) {
    if (watched == watched_ && e->type() == QEvent::Expose && statesAfterMap_ && control_ &&
        watched_->isExposed()) {
        statesAfterMap_ = false;
        if (auto* form = dynamic_cast<TFormBase*>(control_))
            Guarded(form, [&] { form->ReassertWindowStates(); });
    }
    return QWidget::eventFilter(watched, e);
}

bool FwWidget::event(QEvent* e) {
    if (control_) {
        if (e->type() == QEvent::WindowDeactivate || e->type() == QEvent::WindowBlocked) {
            TWinControl* c = control_;
            Guarded(c, [&] { EndMouseCaptureIn(window()); });
        }
        if (!control_) return QWidget::event(e);
        // Before the window is mapped, and whenever Qt makes a new native window, the
        // form's states go onto it (the window manager drops them when it is unmapped).
        if (e->type() == QEvent::Hide) statesOnNewWindow_ = false;
        if (e->type() == QEvent::Show || (e->type() == QEvent::WinIdChange && internalWinId())) {
            if (auto* form = dynamic_cast<TFormBase*>(control_)) {
                // A native window made for this show has the states already, and nothing
                // changes them before it is mapped (a change of the form's puts them itself):
                // putting them again waits for the server twice.
                const bool put = e->type() == QEvent::WinIdChange || !statesOnNewWindow_;
                statesOnNewWindow_ = e->type() == QEvent::WinIdChange;
                if (put) Guarded(form, [&] { form->ApplyWindowStates(); });
                // A window manager still withdrawing the window from a quick hide may drop
                // them again: once the window is on the screen, ask the manager as well.
                if (e->type() == QEvent::Show && windowHandle()) {
                    if (watched_ != windowHandle()) {
                        watched_ = windowHandle();
                        watched_->installEventFilter(this);
                    }
                    statesAfterMap_ = true;
                    // Such a manager may drop the map request itself.
                    CheckMappedLater(kMapChecks);
                }
            }
        }
        if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate) {
            if (auto* form = dynamic_cast<TFormBase*>(control_)) {
                bool on = e->type() == QEvent::WindowActivate;
                Guarded(form, [&] { (on ? form->OnActivate : form->OnDeactivate)(form); });
            }
        }
        if (e->type() == QEvent::WindowStateChange)
            if (auto* form = dynamic_cast<TFormBase*>(control_))
                Guarded(form, [&] { form->WindowStateChanged(); });
    }
    const QEvent::Type type = e->type();
    const bool handled = QWidget::event(e);
    // A drag, a double-click or a key may have changed what the program keeps.
    if (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick ||
        type == QEvent::KeyRelease)
        AnnounceSaveMoment(TSaveMoment::AfterUserAction);
    return handled;
}

}  // namespace fw
