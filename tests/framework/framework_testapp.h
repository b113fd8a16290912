#pragma once
// For the framework's window tests: the Qt application (made once, only when nobody else
// made one), the framework's classes, and an application object of the test's own that
// stands in as the global one while the test runs.
#include <QApplication>
#include <QTimer>

#include "framework/app/application.h"
#include "framework/core/classregistry.h"
#include "tests/support/qtapp.h"

namespace fwtest {

inline void EnsureQtApp() {
    testsupport::EnsureQtApp();
    static bool registered = [] {
        fw::RegisterFrameworkClasses();
        return true;
    }();
    (void)registered;
}

// A fresh application object, installed as the global one and put back afterwards, so that
// its termination and minimised state end with the test.
class ScopedApplication {
  public:
    ScopedApplication() : old_(fw::Application) {
        EnsureQtApp();
        app_.reset(new fw::TAppController(nullptr));
        fw::Application = app_.get();
    }
    ~ScopedApplication() {
        app_.reset();  // frees its forms while it is still the global one
        fw::Application = old_;
    }
    ScopedApplication(const ScopedApplication&) = delete;
    ScopedApplication& operator=(const ScopedApplication&) = delete;
    fw::TAppController& operator*() { return *app_; }
    fw::TAppController* operator->() { return app_.get(); }

  private:
    fw::TAppController* old_;
    fw::ComponentPtr<fw::TAppController> app_;
};

// Runs the event loop until something quits it; a safety timer ends a loop that nothing
// quits, so a broken program fails the test instead of hanging it. Returns the loop's code:
// 0 when quit by the program, 1 by the safety timer.
inline int RunLoopUntilQuit() {
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(20000);
    return QCoreApplication::exec();
}

}  // namespace fwtest
