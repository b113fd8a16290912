#pragma once
// What the program asks of the window manager itself, apart from a window's states.

namespace fw {

// A window manager that follows the desktop hints runs on the display (always false off X11).
bool WindowManagerRunning();

}  // namespace fw
