#pragma once
// Shared set-up for the control tests: one Qt application and the registered classes.
#include <QApplication>

#include "framework/app/registerclasses.h"
#include "framework/core/classregistry.h"
#include "tests/support/qtapp.h"
#include "widgets/registerwidgets.h"

namespace ctltest {

inline void EnsureApp() {
    testsupport::EnsureQtApp();
    static bool registered = [] {
        fw::RegisterFrameworkClasses();
        ctl::RegisterWidgetClasses();
        return true;
    }();
    (void)registered;
}

}  // namespace ctltest
