#pragma once
// Window-manager hints that Qt does not offer: on X11 through the window's EWMH state;
// elsewhere they do nothing.
class QWidget;

namespace fw {

// Keeps the window out of the taskbar and the pager. For a form the form keeps the state
// (TFormBase::SetSkipTaskbar), so that it holds on every native window and every show.
void SetSkipTaskbar(QWidget* window, bool skip);

// A window manager that follows the desktop hints runs on the display (always false off X11).
bool WindowManagerRunning();

}  // namespace fw
