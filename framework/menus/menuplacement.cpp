#include "framework/menus/menuplacement.h"

#include <algorithm>

namespace fw {

TSubmenuPlace PlaceSubmenu(const std::vector<TRect>& ancestors, const TRect& entry, int width,
                           int height, bool leftward, const TRect& screen, int frame) {
    if (ancestors.empty()) return {entry.Left, entry.Top, false};
    const TRect& parent = ancestors.back();
    int y = entry.Top - frame;
    if (y + height > screen.Bottom) y = entry.Bottom + frame - height;
    y = std::max(screen.Top, std::min(y, screen.Bottom - height));

    int outerLeft = parent.Left, outerRight = parent.Right;
    for (const TRect& a : ancestors) {
        outerLeft = std::min(outerLeft, a.Left);
        outerRight = std::max(outerRight, a.Right);
    }
    const int right = parent.Right - frame, left = parent.Left - width + frame;
    // Beside the parent on its own side, then on the other; failing both, clear of all the
    // open levels on either side.
    const int tries[] = {leftward ? left : right, leftward ? right : left, outerRight - frame,
                         outerLeft - width + frame};
    auto onScreen = [&](int x) { return x >= screen.Left && x + width <= screen.Right; };
    auto clear = [&](int x) {
        TRect r = Bounds(x, y, width, height);
        // The border shared with the parent is no overlap.
        return std::none_of(ancestors.begin(), ancestors.end(), [&](const TRect& a) {
            return !r.Intersect(a.Inflate(-frame, -frame)).IsEmpty();
        });
    };
    int x = tries[0];
    if (auto it = std::find_if(std::begin(tries), std::end(tries),
                               [&](int t) { return onScreen(t) && clear(t); });
        it != std::end(tries))
        x = *it;
    else if (!onScreen(tries[0]))
        x = tries[1];
    x = std::max(screen.Left, std::min(x, std::max(screen.Left, screen.Right - width)));
    return {x, y, x + width / 2 < parent.Left + parent.Width() / 2};
}

}  // namespace fw
