// A window saved on a monitor that is gone comes back onto a screen; one with any part on
// a screen stays where it was put.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "framework/controls/forms.h"
#include "framework/controls/screen.h"
#include "tests/framework/framework_testapp.h"

namespace {

using namespace fw;

TEST(ScreenPlacement, OnlyAWindowOffEveryScreenMoves) {
    const std::vector<TRect> small = {Bounds(0, 0, 640, 480)};
    const std::vector<TRect> two = {Bounds(0, 0, 1024, 768), Bounds(1024, 0, 800, 600)};
    struct Case {
        const char* what;
        TRect window;
        std::vector<TRect> screens;
        TPoint want;
    } cases[] = {
        {"past the bottom right of a smaller screen", Bounds(900, 700, 164, 51), small, {476, 429}},
        {"one pixel still on the screen", Bounds(639, 479, 164, 51), small, {639, 479}},
        {"left of and above every screen", Bounds(-500, -80, 164, 51), small, {0, 0}},
        {"below the right-hand screen goes to it", Bounds(1500, 700, 164, 51), two, {1500, 549}},
        {"in the gap beside the shorter screen goes to the nearer",
         Bounds(1100, 650, 164, 51),
         two,
         {1100, 549}},
        {"larger than the screen keeps its corner on it",
         Bounds(700, 500, 900, 600),
         small,
         {0, 0}},
        {"no screen known", Bounds(900, 700, 164, 51), {}, {900, 700}},
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceOnScreens(c.window, c.screens), c.want) << c.what;
}

// Shown off every screen (the screen it was on has just shrunk), a window comes back on
// the screen's change; one partly on the screen stays put.
TEST(ScreenPlacement, AScreenChangeBringsAShownWindowBack) {
    fwtest::ScopedApplication app;
    fw::TForm* form = nullptr;
    app->CreateForm(form);
    form->SetBounds(100, 100, 164, 51);
    form->Show();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect s = screen->geometry();
    struct Case {
        int left, top, wantLeft, wantTop;
    } cases[] = {
        {s.right() + 200, s.bottom() + 200, s.right() + 1 - 164, s.bottom() + 1 - 51},
        {s.right() - 10, 40, s.right() - 10, 40},
    };
    for (const Case& c : cases) {
        form->SetBounds(c.left, c.top, 164, 51);
        emit screen->geometryChanged(s);
        QCoreApplication::processEvents();
        EXPECT_EQ(form->Left(), c.wantLeft);
        EXPECT_EQ(form->Top(), c.wantTop);
    }
}

}  // namespace
