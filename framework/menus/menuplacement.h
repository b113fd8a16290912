#pragma once
// Where a submenu level opens: beside its parent, never over a level it came from when the
// screen has room elsewhere. Plain geometry, so that it is tested without windows.
#include <vector>

#include "framework/core/types.h"

namespace fw {

struct TSubmenuPlace {
    int x, y;
    bool leftward;  // opened to the left of its parent; its own submenus try that side first
};

// A level of size width x height for the entry (screen coordinates) of the last of the open
// levels `ancestors` (root first, each a window rectangle). `leftward` is the way the parent
// opened. Levels overlap their parent by `frame` pixels, its border.
TSubmenuPlace PlaceSubmenu(const std::vector<TRect>& ancestors, const TRect& entry, int width,
                           int height, bool leftward, const TRect& screen, int frame);

}  // namespace fw
