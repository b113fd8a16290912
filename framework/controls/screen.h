#pragma once
// The screens as the windows see them, in logical pixels.
#include <vector>

#include "framework/core/types.h"

namespace fw {

struct TScreenSize {
    int Width;
    int Height;
};

// The full primary screen (panels and docks included); 800 x 600 when no screen is known.
TScreenSize PrimaryScreenSize();

// Every screen's full rectangle on the desktop; empty when no screen is known.
std::vector<TRect> ScreenRects();

// The screen that shows the most of the window; the nearest when none shows any of it (the
// first of equals). Null when no screen is known.
const TRect* ScreenMostlyHolding(const TRect& window, const std::vector<TRect>& screens);

// The screen that shows the point, else the nearest; 800 x 600 at the origin when no screen
// is known.
TRect ScreenAt(TPoint point);

// Where a window with these bounds belongs: where it is while any part of it is on a
// screen; otherwise fully on the nearest screen (its top-left corner kept on that screen
// when it is the larger). With no screens known it stays where it is.
TPoint PlaceOnScreens(const TRect& window, const std::vector<TRect>& screens);

// Where a shown window belongs once the screens changed under it: where it is while each of
// its corners is on a screen (across two side by side too); otherwise wholly on the screen
// that holds most of it, or on the nearest. A window manager may already have moved a window
// that the change left off every screen, just far enough in to leave a corner showing.
TPoint PlaceWhollyOnScreens(const TRect& window, const std::vector<TRect>& screens);

}  // namespace fw
