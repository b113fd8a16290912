// A window saved on a monitor that is gone comes back onto the nearest screen, at start and
// when a screen changes; one with any part on a screen stays where it was put.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "framework/controls/forms.h"
#include "framework/controls/screen.h"
#include "tests/framework/framework_testapp.h"

namespace {

using namespace fw;

TEST(ScreenPlacement, OnlyAWindowOffEveryScreenMoves) {
    const std::vector<TRect> two = {Bounds(0, 0, 1024, 768), Bounds(1024, 0, 800, 600)};
    EXPECT_EQ(PlaceOnScreens(Bounds(1100, 650, 164, 51), two), (TPoint{1100, 549}));  // nearer
    EXPECT_EQ(PlaceOnScreens(Bounds(1823, 599, 164, 51), two), (TPoint{1823, 599}));  // 1 px on
    EXPECT_EQ(PlaceOnScreens(Bounds(-2000, 900, 1900, 51), two), (TPoint{0, 717}));   // too wide
}

TEST(ScreenPlacement, AfterAScreenChangeOnlyAWindowWhollyOnScreensStays) {
    const std::vector<TRect> two = {Bounds(0, 0, 1024, 768), Bounds(1024, 0, 800, 600)};
    const struct {
        TRect window;
        TPoint want;
    } cases[] = {
        {Bounds(100, 100, 164, 51), {100, 100}},     // on the first
        {Bounds(950, 100, 164, 51), {950, 100}},     // across the seam
        {Bounds(950, 580, 164, 51), {860, 580}},     // across, one corner below the second
        {Bounds(624, 478, 164, 51), {624, 478}},     // still whole on the larger one
        {Bounds(1810, 590, 164, 51), {1660, 549}},   // a corner left showing by the manager
        {Bounds(3000, 2000, 164, 51), {1660, 549}},  // off every screen: the nearest
        {Bounds(-100, -100, 164, 51), {0, 0}},       // cut at the top left
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceWhollyOnScreens(c.window, two), c.want)
            << c.window.Left << "," << c.window.Top;
}

TEST(ScreenPlacement, AScreenChangeBringsAShownWindowBack) {
    fwtest::ScopedApplication app;
    TForm* form = nullptr;
    app->CreateForm(form);
    form->Show();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect s = screen->geometry();
    form->SetBounds(s.right() + 200, s.bottom() + 200, 164, 51);
    emit screen->geometryChanged(s);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Left(), s.right() + 1 - 164);
    EXPECT_EQ(form->Top(), s.bottom() + 1 - 51);
}

}  // namespace
