#include "framework/controls/hint.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

#include "framework/controls/controls.h"

namespace fw::hint {

namespace {
struct State {
    TControl* control = nullptr;  // hovered control with a hint to show
    QPointer<QTimer> pause;       // goes with the application
};

State& Current() {
    static State s;
    return s;
}

void Show() {
    TControl* c = Current().control;
    if (!c) return;
    QWidget* w = c->NearestWidget();
    if (!w || !w->isVisible()) return;
    const TPoint o = c->OriginInWindow();
    const QRect area(o.X, o.Y, c->Width(), c->Height());
    // The tip stands below the cursor, as the platform places its own tips; Qt hides it
    // when the mouse leaves the control's rectangle.
    QToolTip::showText(QCursor::pos(), QString::fromStdString(c->Hint()), w, area);
}

QTimer& Pause() {
    State& s = Current();
    if (!s.pause) {
        s.pause = new QTimer(QCoreApplication::instance());
        s.pause->setSingleShot(true);
        QObject::connect(s.pause.data(), &QTimer::timeout, [] { Show(); });
    }
    return *s.pause;
}
}  // namespace

void MouseEntered(TControl* c) {
    Cancel();
    if (!c || !c->ShowHint() || c->Hint().empty() || !c->Showing()) return;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    Current().control = c;
    Pause().start(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay));
}

void MouseLeft(TControl* c) {
    if (Current().control == c) Cancel();
}

void Cancel() {
    State& s = Current();
    const bool had = s.control != nullptr;
    s.control = nullptr;
    if (s.pause) s.pause->stop();
    if (had && qobject_cast<QApplication*>(QCoreApplication::instance())) QToolTip::hideText();
}

void Forget(TControl* c) {
    if (Current().control == c) Cancel();
}

TControl* Pending() { return Current().control; }

}  // namespace fw::hint
