#pragma once
// Shared set-up for the control tests: one Qt application and the registered classes.
#include <QApplication>

#include "controls/registercontrols.h"
#include "framework/core/classregistry.h"

namespace ctltest {

inline void EnsureApp() {
    static bool registered = false;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_controls";
        static char* argv[] = {name, nullptr};
        // Left alive to the end: destroying it among the exit handlers runs after Qt's
        // own globals are gone.
        static QApplication* app = new QApplication(argc, argv);
        (void)app;
    }
    if (!registered) {
        fw::RegisterFrameworkClasses();
        ctl::RegisterControlClasses();
        registered = true;
    }
}

}  // namespace ctltest
