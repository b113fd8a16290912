#include "framework/controls/screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <climits>

namespace fw {

TScreenSize PrimaryScreenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {800, 600};
    QRect r = screen->geometry();
    return {r.width(), r.height()};
}

std::vector<TRect> ScreenRects() {
    std::vector<TRect> rects;
    for (QScreen* s : QGuiApplication::screens()) {
        QRect r = s->geometry();
        rects.push_back(Bounds(r.x(), r.y(), r.width(), r.height()));
    }
    return rects;
}

namespace {
// How far apart two rectangles are along one axis; 0 when they overlap on it.
long long Gap(int lo, int hi, int otherLo, int otherHi) {
    if (hi <= otherLo) return static_cast<long long>(otherLo) - hi;
    if (otherHi <= lo) return static_cast<long long>(lo) - otherHi;
    return 0;
}

int Clamp(int v, int lo, int size, int extent) {
    return std::max(lo, std::min(v, lo + extent - size));
}

// The window moved the least that puts it wholly on the screen (its top-left corner kept on
// the screen when it is the larger).
TPoint ClampOnto(const TRect& window, const TRect& screen) {
    return {Clamp(window.Left, screen.Left, window.Width(), screen.Width()),
            Clamp(window.Top, screen.Top, window.Height(), screen.Height())};
}
}  // namespace

const TRect* ScreenMostlyHolding(const TRect& window, const std::vector<TRect>& screens) {
    const TRect* most = nullptr;
    long long largest = 0;
    for (const TRect& s : screens) {
        const TRect common = window.Intersect(s);
        const long long area = static_cast<long long>(common.Width()) * common.Height();
        if (!common.IsEmpty() && area > largest) {
            largest = area;
            most = &s;
        }
    }
    if (most) return most;
    long long best = LLONG_MAX;
    for (const TRect& s : screens) {
        if (s.IsEmpty()) continue;
        long long dx = Gap(window.Left, window.Right, s.Left, s.Right);
        long long dy = Gap(window.Top, window.Bottom, s.Top, s.Bottom);
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            most = &s;
        }
    }
    return most;
}

TRect ScreenAt(TPoint point) {
    const std::vector<TRect> screens = ScreenRects();
    const TRect* s = ScreenMostlyHolding(Bounds(point.X, point.Y, 1, 1), screens);
    return s ? *s : Bounds(0, 0, 800, 600);
}

TPoint PlaceOnScreens(const TRect& window, const std::vector<TRect>& screens) {
    for (const TRect& s : screens)
        if (!window.Intersect(s).IsEmpty()) return window.TopLeft();
    const TRect* nearest = ScreenMostlyHolding(window, screens);
    return nearest ? ClampOnto(window, *nearest) : window.TopLeft();
}

TPoint PlaceWhollyOnScreens(const TRect& window, const std::vector<TRect>& screens) {
    auto onAScreen = [&](TPoint p) {
        return std::any_of(screens.begin(), screens.end(),
                           [&](const TRect& s) { return !s.IsEmpty() && s.Contains(p); });
    };
    if (window.IsEmpty() ||
        (onAScreen({window.Left, window.Top}) && onAScreen({window.Right - 1, window.Top}) &&
         onAScreen({window.Left, window.Bottom - 1}) &&
         onAScreen({window.Right - 1, window.Bottom - 1})))
        return window.TopLeft();
    const TRect* most = ScreenMostlyHolding(window, screens);
    return most ? ClampOnto(window, *most) : window.TopLeft();
}

}  // namespace fw
