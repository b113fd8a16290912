#include "app/mainlogic.h"

#include "framework/controls/controls.h"

namespace app {

RefreshTimerState RefreshTimerFor(bool everySecond, bool everyMinute) {
    return {everySecond || everyMinute, everyMinute ? 60000u : 1000u};
}

bool StartsDrag(unsigned shift) { return shift == fw::ssLeft; }

DragMoveResult DragMove(const DragState& drag, const WindowPlacement& w, int x, int y, bool snap,
                        int screenWidth, int screenHeight) {
    if (!drag.Dragging) return {false, w.left, w.top};
    int newLeft = w.left + x - drag.DownX;
    int newTop = w.top + y - drag.DownY;
    if (snap) {
        if (newLeft < kSnapDistance) newLeft = 0;
        if (newTop < kSnapDistance) newTop = 0;
        if (screenWidth < newLeft + w.width + kSnapDistance) newLeft = screenWidth - w.width;
        if (screenHeight < newTop + w.height + kSnapDistance) newTop = screenHeight - w.height;
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
