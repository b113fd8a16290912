#pragma once
// The one Qt application of a test program, made by whichever test needs it first. Left
// alive to the end: destroyed among the exit handlers it would run after Qt's own globals
// are gone (input devices made by the window tests then crash the exit).
#include <QApplication>

namespace testsupport {

inline void EnsureQtApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "rezazo_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

}  // namespace testsupport
