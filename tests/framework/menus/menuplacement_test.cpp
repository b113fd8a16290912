// Where submenu levels open: beside the parent, on the side it opened to, never over an
// open level while the screen has room.
#include "framework/menus/menuplacement.h"

#include <gtest/gtest.h>

namespace {

using namespace fw;

TEST(SubmenuPlacement, OpensClearOfEveryOpenLevel) {
    const TRect screen = Bounds(0, 0, 800, 600);
    struct Case {
        const char* what;
        std::vector<TRect> open;
        TRect entry;
        int width, height;
        bool leftward;
        TSubmenuPlace want;
    } cases[] = {
        {"room on the right",
         {Rect(100, 100, 250, 300)},
         Rect(103, 120, 247, 140),
         120,
         100,
         false,
         {247, 117, false}},
        {"a level that opened left keeps left, off the root at the right edge",
         {Rect(650, 400, 800, 600), Rect(533, 450, 653, 560)},
         Rect(536, 470, 650, 490),
         120,
         80,
         true,
         {416, 467, true}},
        {"no room beside the parent: past every open level",
         {Rect(300, 0, 450, 300), Rect(183, 0, 303, 200)},
         Rect(186, 20, 300, 40),
         200,
         50,
         true,
         {447, 17, false}},
        {"near the bottom it rises from the entry's foot",
         {Rect(100, 400, 250, 600)},
         Rect(103, 580, 247, 597),
         120,
         100,
         false,
         {247, 500, false}},
    };
    for (const Case& c : cases) {
        TSubmenuPlace p = PlaceSubmenu(c.open, c.entry, c.width, c.height, c.leftward, screen, 3);
        EXPECT_EQ(p.x, c.want.x) << c.what;
        EXPECT_EQ(p.y, c.want.y) << c.what;
        EXPECT_EQ(p.leftward, c.want.leftward) << c.what;
    }
}

}  // namespace
