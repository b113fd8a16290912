#pragma once
// Shared by the main-window tests: the one application object of the test program, with
// every class registered, and mouse events delivered to a window as the platform would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <chrono>
#include <thread>

#include "framework/app/application.h"
#include "program/mainwindow.h"
#include "program/registerallclasses.h"

namespace testapp {

inline fw::TAppController& App() {
    static fw::TAppController* app = [] {
        if (!fw::Application) {
            static int argc = 1;
            static char name[] = "test_program";
            static char* argv[] = {name, nullptr};
            (new fw::TAppController(nullptr))->Initialize(argc, argv);
        }
        RegisterAllClasses();
        return fw::Application;
    }();
    return *app;
}

// Lets the address probe's answers reach the window: handles events until no lookup runs
// and nothing waits to be handed over (the test backends answer at once).
inline void SettleProbe(const TForm1& form) {
    for (int i = 0; i < 20000; ++i) {
        QCoreApplication::processEvents();
        if (form.Probe().Idle()) {
            QCoreApplication::processEvents();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ADD_FAILURE() << "the address probe did not answer";
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
