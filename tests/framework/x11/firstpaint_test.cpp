// Work deferred to the first paint: without a hold it runs at once; under one it waits for a
// window's paint and runs, in order, once the event loop turns after it.
#include "framework/x11/firstpaint.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

#include "framework/controls/forms.h"
#include "tests/framework/framework_testapp.h"

using namespace fw;

namespace {

TEST(FirstPaint, HeldWorkWaitsForAPaintedWindowAndRunsInOrderAfterIt) {
    fwtest::EnsureQtApp();
    std::vector<int> ran;
    AfterFirstPaint([&] { ran.push_back(0); });
    EXPECT_EQ(ran, std::vector<int>{0}) << "nothing is held before a hold";

    HoldUntilFirstPaint();
    AfterFirstPaint([&] { ran.push_back(1); });
    AfterFirstPaint([&] {
        ran.push_back(2);
        // Queued while the waiting work runs: nothing is held any more.
        AfterFirstPaint([&] { ran.push_back(3); });
    });
    ComponentPtr<TForm> form(new TForm(nullptr));
    form->SetBounds(0, 0, 40, 30);
    // What had run when the window painted.
    std::vector<size_t> atPaint;
    form->OnPaint.Set([&](TPropertyObject*) { atPaint.push_back(ran.size()); });
    form->Show();
    EXPECT_EQ(ran.size(), 1u) << "shown is not painted";
    for (int i = 0; i < 500 && ran.size() < 4; ++i) QCoreApplication::processEvents();
    ASSERT_FALSE(atPaint.empty());
    EXPECT_EQ(atPaint.front(), 1u) << "the work waits until the window has painted";
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(AwaitingFirstPaint());
    AfterFirstPaint([&] { ran.push_back(4); });
    EXPECT_EQ(ran.back(), 4);
}

TEST(FirstPaint, AStartWithoutAWindowLetsTheWorkGo) {
    fwtest::EnsureQtApp();
    HoldUntilFirstPaint();
    bool ran = false;
    AfterFirstPaint([&] { ran = true; });
    ReleaseFirstPaintWork();
    EXPECT_FALSE(ran);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

}  // namespace
