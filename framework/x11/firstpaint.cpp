#include "framework/x11/firstpaint.h"

#include <QCoreApplication>
#include <QTimer>
#include <vector>

#include "framework/x11/xcbdisplay.h"

namespace fw {

namespace {

// A window that never gets exposed (placed off every screen, on another desktop) does not
// hold the rest back for longer than this.
constexpr int kLongestWaitMs = 1000;

struct Waiting {
    bool held = false;
    bool released = false;
    unsigned hold = 0;  // which hold a fallback belongs to: an old one's must not end a new one
    std::vector<std::function<void()>> work;
};

Waiting& State() {
    static Waiting state;
    return state;
}

void RunWaiting(unsigned hold) {
    Waiting& s = State();
    if (!s.held || hold != s.hold) return;
    s.held = false;
    s.released = false;
    // The frame's pixels may still sit in the connection's buffer: they go first.
    if (xcb_connection_t* c = XcbConnection()) xcb_flush(c);
    // Work may queue more work; it runs at once now, as nothing is held any more.
    std::vector<std::function<void()>> work;
    work.swap(s.work);
    for (auto& w : work) w();
}

}  // namespace

void HoldUntilFirstPaint() {
    Waiting& s = State();
    if (s.held || !QCoreApplication::instance()) return;
    s.held = true;
    QTimer::singleShot(kLongestWaitMs, QCoreApplication::instance(),
                       [hold = ++s.hold] { RunWaiting(hold); });
}

void AfterFirstPaint(std::function<void()> work) {
    if (!State().held) {
        work();
        return;
    }
    State().work.push_back(std::move(work));
}

bool AwaitingFirstPaint() { return State().held; }

void ReleaseFirstPaintWork() {
    Waiting& s = State();
    if (!s.held || s.released) return;
    s.released = true;
    // Called while the frame is being painted: the work runs after the toolkit has put it
    // out.
    QTimer::singleShot(0, QCoreApplication::instance(), [hold = s.hold] { RunWaiting(hold); });
}

}  // namespace fw
