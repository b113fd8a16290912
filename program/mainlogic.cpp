#include "program/mainlogic.h"

#include "framework/controls/controls.h"
#include "framework/controls/screen.h"

namespace app {

RefreshTimerState RefreshTimerFor(bool everySecond, bool everyMinute) {
    return {everySecond || everyMinute, everyMinute ? 60000u : 1000u};
}

bool StartsDrag(unsigned shift) { return shift == fw::ssLeft; }

DragMoveResult DragMove(const DragState& drag, const WindowPlacement& w, int x, int y, bool snap,
                        const std::vector<fw::TRect>& monitors) {
    if (!drag.Dragging) return {false, w.left, w.top};
    int newLeft = w.left + x - drag.DownX;
    int newTop = w.top + y - drag.DownY;
    if (snap) {
        const fw::TRect* mostly =
            fw::ScreenMostlyHolding(fw::Bounds(newLeft, newTop, w.width, w.height), monitors);
        const fw::TRect m = mostly ? *mostly : fw::Bounds(0, 0, 800, 600);
        if (newLeft < m.Left + kSnapDistance) newLeft = m.Left;
        if (newTop < m.Top + kSnapDistance) newTop = m.Top;
        if (m.Right < newLeft + w.width + kSnapDistance) newLeft = m.Right - w.width;
        if (m.Bottom < newTop + w.height + kSnapDistance) newTop = m.Bottom - w.height;
    }
    bool move = newLeft != w.left || newTop != w.top;
    return {move, newLeft, newTop};
}

CompactLayout CompactLayoutFor(bool compact) {
    if (compact) return {1, 24, false, 22, 7, false};
    return {0, 51, true, 27, 23, true};
}

std::string ClipboardText(const std::string& s) { return s.substr(0, 255); }

}  // namespace app
