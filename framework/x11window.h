#pragma once
// Window-manager hints that Qt does not offer: on X11 through the window's EWMH state;
// elsewhere they do nothing.
class QWidget;

namespace fw {

// Keeps the window out of the taskbar (and the pager): _NET_WM_STATE_SKIP_TASKBAR. Works
// before the window is mapped (the state is part of the window from its first showing)
// and after (the window manager is asked).
void SetSkipTaskbar(QWidget* window, bool skip);

// A window manager that follows the desktop hints runs on the display (always false off X11).
bool WindowManagerRunning();

}  // namespace fw
