#pragma once
// The main window's rules that need no window: the refresh timer's state, dragging with
// snapping, and the compact layout.
#include <string>
#include <vector>

#include "framework/core/types.h"

namespace app {

struct RefreshTimerState {
    bool enabled;
    unsigned interval;
};
// From the refresh-rate check marks: running when "every second" or "every minute" is
// checked, at 60000 ms when "every minute" is, else 1000 ms.
RefreshTimerState RefreshTimerFor(bool everySecond, bool everyMinute);

struct DragState {
    bool Dragging = false;
    int DownX = 0;
    int DownY = 0;
};

// A press starts a drag only for the left button alone: no Shift, Ctrl or Alt, no other
// button, not the second press of a double-click.
bool StartsDrag(unsigned shift);

struct WindowPlacement {
    int left, top, width, height;
};
struct DragMoveResult {
    bool move;
    int left, top;
};
inline constexpr int kSnapDistance = 40;
// Where a drag motion to (x, y), in the pressed control's coordinates, puts the window: it
// follows the pointer across every monitor. Snapping takes the edges of the monitor that
// shows most of the window there (the nearest when none shows any; with no monitor known,
// an 800 x 600 one at the origin). The right and bottom tests run after the left and top
// ones, so they win for a window too large for both. With snapping off a purely vertical
// motion moves the window at once.
DragMoveResult DragMove(const DragState& drag, const WindowPlacement& window, int x, int y,
                        bool snap, const std::vector<fw::TRect>& monitors);

struct CompactLayout {
    int skinIndex;
    int height;
    bool titleVisible;
    int ipLeft, ipTop;
    bool indicatorVisible;
};
CompactLayout CompactLayoutFor(bool compact);

inline constexpr const char* kIpPrefix = "Local IP : ";
// At most the first 255 characters, as the clipboard copies take them.
std::string ClipboardText(const std::string& s);

}  // namespace app
