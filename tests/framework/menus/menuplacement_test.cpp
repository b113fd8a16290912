// Submenu levels open beside their parent and clear of every open level while there is room.
#include "framework/menus/menuplacement.h"

#include <gtest/gtest.h>

namespace {

using namespace fw;

TEST(SubmenuPlacement, OpensClearOfEveryOpenLevel) {
    struct Case {
        std::vector<TRect> open;
        TRect entry;
        int width, height;
        TSubmenuPlace want;
    } cases[] = {
        // No room beside a leftward parent: past every open level.
        {{Rect(300, 0, 450, 300), Rect(183, 0, 303, 200)},
         Rect(186, 20, 300, 40),
         200,
         50,
         {447, 17, false}},
        // Near the bottom it rises from the entry's foot.
        {{Rect(100, 400, 250, 600)}, Rect(103, 580, 247, 597), 120, 100, {247, 500, false}},
    };
    for (const Case& c : cases) {
        TSubmenuPlace p = PlaceSubmenu(c.open, c.entry, c.width, c.height, c.open.size() > 1,
                                       Bounds(0, 0, 800, 600), 3);
        EXPECT_EQ(p.x, c.want.x);
        EXPECT_EQ(p.y, c.want.y);
        EXPECT_EQ(p.leftward, c.want.leftward);
    }
}

}  // namespace
