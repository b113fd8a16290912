#pragma once
// Shared by the main-window tests: the one application object of the test program, with
// every class registered, and mouse events delivered to a window as the platform would.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "app/mainwindow.h"
#include "controls/registercontrols.h"
#include "framework/app/application.h"
#include "framework/core/classregistry.h"
#include "gif/registergif.h"
#include "settings/propstore.h"

namespace testapp {

inline fw::TAppController& App() {
    static fw::TAppController* app = [] {
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        auto* a = new fw::TAppController(nullptr);
        a->Initialize(argc, argv);
        fw::RegisterFrameworkClasses();
        ctl::RegisterControlClasses();
        settings::RegisterPropStoreClasses();
        gif::RegisterGifClasses();
        RegisterAppClasses();
        return a;
    }();
    return *app;
}

// One mouse event at a point of the window, with the buttons held after it and the keys.
inline void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                  Qt::MouseButtons held, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, keys);
    QApplication::sendEvent(w, &e);
}
inline void Press(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers keys = Qt::NoModifier) {
    Mouse(w, QEvent::MouseButtonPress, at, b, b, keys);
}
inline void MoveTo(QWidget* w, QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
    Mouse(w, QEvent::MouseMove, at, Qt::NoButton, held);
}
inline void Release(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonRelease, at, b, Qt::NoButton);
}
inline void Click(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    Press(w, at, b);
    Release(w, at, b);
}
inline void DoubleClick(QWidget* w, QPoint at) {
    Click(w, at);
    Mouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Release(w, at);
}

}  // namespace testapp
