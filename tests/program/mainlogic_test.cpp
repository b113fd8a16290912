// The main window's rules that need no window.
#include "program/mainlogic.h"

#include <gtest/gtest.h>

#include "framework/controls/controls.h"
#include "program/textlayout.h"

using namespace app;

TEST(RefreshTimer, EveryCombinationOfTheRateCheckMarks) {
    // Running when "every second" or "every minute" is checked; 60000 ms when "every
    // minute" is, 1000 ms otherwise. The "off" mark plays no part.
    struct Case {
        bool everySecond, everyMinute, enabled;
        unsigned interval;
    };
    for (Case c : {Case{true, false, true, 1000u}, Case{false, true, true, 60000u},
                   Case{false, false, false, 1000u}, Case{true, true, true, 60000u}}) {
        RefreshTimerState s = RefreshTimerFor(c.everySecond, c.everyMinute);
        EXPECT_EQ(s.enabled, c.enabled) << c.everySecond << c.everyMinute;
        EXPECT_EQ(s.interval, c.interval) << c.everySecond << c.everyMinute;
    }
}

TEST(Drag, OnlyAPlainLeftPressStartsIt) {
    EXPECT_TRUE(StartsDrag(fw::ssLeft));
    EXPECT_FALSE(StartsDrag(fw::ssRight));
    EXPECT_FALSE(StartsDrag(fw::ssLeft | fw::ssShift));
    EXPECT_FALSE(StartsDrag(fw::ssLeft | fw::ssCtrl));
    EXPECT_FALSE(StartsDrag(fw::ssLeft | fw::ssAlt));
    EXPECT_FALSE(StartsDrag(fw::ssLeft | fw::ssDouble));
    EXPECT_FALSE(StartsDrag(fw::ssLeft | fw::ssRight));
}

namespace {
using fw::Bounds;
const std::vector<fw::TRect> kScreen = {Bounds(0, 0, 800, 600)};
// A drag that pressed at (0, 0) and moves so the window's left/top would become l, t.
DragMoveResult MoveTo(int l, int t, bool snap, const std::vector<fw::TRect>& monitors = kScreen) {
    DragState d{true, 0, 0};
    return DragMove(d, {300, 300, 164, 51}, l - 300, t - 300, snap, monitors);
}
}  // namespace

TEST(Drag, SnapsWithinFortyPixelsOfEachEdge) {
    // A 164 x 51 window on an 800 x 600 screen; every edge on both sides of its limit.
    EXPECT_EQ(MoveTo(39, 300, true).left, 0);
    EXPECT_EQ(MoveTo(40, 300, true).left, 40);
    EXPECT_EQ(MoveTo(39, 300, true).top, 300);
    EXPECT_EQ(MoveTo(300, 39, true).top, 0);
    EXPECT_EQ(MoveTo(300, 40, true).top, 40);
    EXPECT_EQ(MoveTo(300, 39, true).left, 300);
    EXPECT_EQ(MoveTo(596, 300, true).left, 596);  // 800 is not less than 596 + 164 + 40
    EXPECT_EQ(MoveTo(597, 300, true).left, 636);
    EXPECT_EQ(MoveTo(597, 300, true).top, 300);
    EXPECT_EQ(MoveTo(300, 509, true).top, 509);  // 600 is not less than 509 + 51 + 40
    EXPECT_EQ(MoveTo(300, 510, true).top, 549);
    EXPECT_EQ(MoveTo(300, 510, true).left, 300);
    // Corners: both edges snap together.
    EXPECT_EQ(MoveTo(10, 590, true).left, 0);
    EXPECT_EQ(MoveTo(10, 590, true).top, 549);
    EXPECT_EQ(MoveTo(700, 5, true).left, 636);
    EXPECT_EQ(MoveTo(700, 5, true).top, 0);
}

TEST(Drag, SnapsToTheEdgesOfTheMonitorMostOfTheWindowIsOn) {
    // Side by side, stacked, unequal, one left of and above the primary, none known.
    const std::vector<fw::TRect> side{Bounds(0, 0, 800, 600), Bounds(800, 0, 800, 600)},
        stack{Bounds(0, 0, 800, 600), Bounds(0, 600, 800, 600)},
        unequal{Bounds(0, 0, 1920, 1080), Bounds(1920, 0, 800, 600)},
        negative{Bounds(0, 0, 800, 600), Bounds(-1024, -168, 1024, 768)}, none;
    const struct {
        const std::vector<fw::TRect>& monitors;
        int left, top, wantLeft, wantTop;
    } cases[] = {{side, 1396, 300, 1396, 300},         {side, 1397, 580, 1436, 549},
                 {side, 718, 300, 636, 300},           {side, 719, 300, 800, 300},
                 {stack, 300, 570, 300, 549},          {stack, 300, 610, 300, 600},
                 {unequal, 1800, 300, 1756, 300},      {unequal, 2000, 800, 1756, 800},
                 {negative, -1010, -150, -1024, -168}, {negative, -100, 100, -164, 100},
                 {negative, -50, 100, 0, 100},         {none, 597, 300, 636, 300}};
    for (const auto& c : cases) {
        const DragMoveResult r = MoveTo(c.left, c.top, true, c.monitors);
        EXPECT_EQ(std::pair(r.left, r.top), std::pair(c.wantLeft, c.wantTop))
            << c.left << "," << c.top;
    }
}

TEST(Drag, TheWindowMovesByThePointersWayFromThePress) {
    // Pressed at (30, 12) in the control; the pointer now at (50, 20): 20 right, 8 down.
    DragState d{true, 30, 12};
    DragMoveResult r = DragMove(d, {300, 300, 164, 51}, 50, 20, true, kScreen);
    EXPECT_TRUE(r.move);
    EXPECT_EQ(r.left, 320);
    EXPECT_EQ(r.top, 308);
    // Back where it was pressed: no move.
    EXPECT_FALSE(DragMove(d, {300, 300, 164, 51}, 30, 12, true, kScreen).move);
}

TEST(Drag, RightAndBottomWinForAWindowTooLargeForTheScreen) {
    DragState d{true, 0, 0};
    DragMoveResult r = DragMove(d, {100, 100, 790, 590}, -90, -90, true, kScreen);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
}

TEST(Drag, WithoutSnappingTheWindowFollowsThePointer) {
    for (int l : {-30, 0, 39, 597, 700}) EXPECT_EQ(MoveTo(l, 300, false).left, l);
    // A purely vertical motion moves at once.
    DragMoveResult r = MoveTo(300, 20, false);
    EXPECT_TRUE(r.move);
    EXPECT_EQ(r.top, 20);
    EXPECT_FALSE(MoveTo(300, 300, false).move);
}

TEST(Drag, NothingMovesWhileNotDragging) {
    DragState idle;
    EXPECT_FALSE(DragMove(idle, {300, 300, 164, 51}, 50, 50, true, kScreen).move);
}

TEST(CompactLayout, FullAndCompactForms) {
    CompactLayout c = CompactLayoutFor(true);
    EXPECT_EQ(c.skinIndex, 1);
    EXPECT_EQ(c.height, 24);
    EXPECT_FALSE(c.titleVisible);
    EXPECT_FALSE(c.indicatorVisible);
    EXPECT_EQ(c.ipLeft, 22);
    EXPECT_EQ(c.ipTop, 7);
    CompactLayout f = CompactLayoutFor(false);
    EXPECT_EQ(f.skinIndex, 0);
    EXPECT_EQ(f.height, 51);
    EXPECT_TRUE(f.titleVisible && f.indicatorVisible);
    EXPECT_EQ(f.ipLeft, 27);
    EXPECT_EQ(f.ipTop, 23);
}

TEST(Clipboard, KeepsAtMostTheFirst255Characters) {
    EXPECT_EQ(ClipboardText(std::string(300, 'a')).size(), 255u);
    EXPECT_EQ(ClipboardText("10.0.0.7"), "10.0.0.7");
    EXPECT_EQ(ClipboardText(""), "");
}

TEST(TextPlaces, DesignedWhileTheTextsFitClippedAtTheirNeighboursOtherwise) {
    // Sizes: address w, h; caption w, h; marquee text height. Marquee right edge 145.
    struct Case {
        const char* what;
        bool compact;
        TextSizes sizes;
        TextBox ip, caption, marquee;
    };
    const Case cases[] = {
        {"design fonts",
         false,
         {100, 10, 49, 12, 12},
         {27, 23, 100, 10},
         {27, 32, 49, 12},
         {78, 31, 67, 13}},
        {"address past the indicator",
         false,
         {130, 10, 49, 12, 12},
         {27, 23, 115, 10},
         {27, 32, 49, 12},
         {78, 31, 67, 13}},
        {"tall address moves up to the title, then is cut",
         false,
         {100, 20, 49, 12, 12},
         {27, 17, 100, 16},
         {27, 32, 49, 12},
         {78, 31, 67, 13}},
        {"wide caption pushes the marquee, whose end stays",
         false,
         {100, 10, 65, 15, 15},
         {27, 23, 100, 10},
         {27, 32, 65, 15},
         {94, 31, 51, 15}},
        {"huge caption leaves the marquee room",
         false,
         {100, 10, 200, 30, 30},
         {27, 23, 100, 10},
         {27, 32, 92, 19},
         {121, 31, 24, 20}},
        {"compact: a tall address rises to stay whole",
         true,
         {100, 20, 49, 12, 12},
         {22, 4, 100, 20},
         {27, 32, 49, 12},
         {78, 31, 67, 13}},
        {"compact: taller than the window, cut; stops at the glyphs",
         true,
         {200, 30, 49, 12, 12},
         {22, 0, 125, 24},
         {27, 32, 49, 12},
         {78, 31, 67, 13}},
    };
    for (const Case& c : cases) {
        const TextPlaces p = PlaceTexts(c.compact, c.sizes, 145);
        EXPECT_EQ(p.ip, c.ip) << c.what;
        EXPECT_EQ(p.caption, c.caption) << c.what;
        EXPECT_EQ(p.marquee, c.marquee) << c.what;
    }
}
