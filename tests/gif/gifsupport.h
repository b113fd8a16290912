#pragma once
// Shared by the GIF widget tests: one Qt application with the framework's and this
// module's classes registered, an application object whose exception display records
// instead of opening a message box, and bounded waiting for events.
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/classregistry.h"
#include "gif/registergif.h"

namespace giftest {

inline void EnsureApp() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_gif";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
    static bool registered = false;
    if (!registered) {
        fw::RegisterFrameworkClasses();
        gif::RegisterGifClasses();
        registered = true;
    }
}

// The messages the application's exception display was given.
class RecordingApplication {
  public:
    RecordingApplication() : app_(nullptr) {
        app_.OnException.Set(
            [this](fw::TObject*, const std::exception& e) { messages.push_back(e.what()); });
    }
    std::vector<std::string> messages;

  private:
    fw::TApplication app_;
};

// Processes events until the condition holds or a generous deadline passes; returns the
// condition. Used instead of measuring time: a test asserts what happened, not when.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Processes events for a while without expecting anything (to let wrong ticks show up).
inline void Pump(std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

}  // namespace giftest
