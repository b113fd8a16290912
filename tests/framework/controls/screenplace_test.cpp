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
