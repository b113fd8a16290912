// A long run of the main window's two recurring jobs on the offscreen platform: refreshes
// (the real probe and both captions) and marquee steps. Nothing may pile up: open file
// descriptors and live components are counted before and after. The resident size of the
// same run is printed by bench/soak, not checked here.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <filesystem>

#include "tests/program/app_support.h"
#include "widgets/scrolllabel.h"

namespace {

int OpenDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

TEST(Soak, TenThousandRefreshesAndMarqueeStepsLeaveNothingBehind) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("rezazo-soak-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    testapp::App();
    {
        fw::ComponentPtr<TForm1> form(new TForm1(nullptr));
        form->Handle()->show();
        ctl::TScrollLabel& marquee = *form->label2;
        auto step = [&] {
            marquee.Timer()->OnTimer(marquee.Timer());
            QCoreApplication::processEvents();
        };
        // Warm up: the first rounds may open what stays open for the program's life.
        for (int i = 0; i < 20; ++i) {
            form->RefreshDisplay();
            step();
        }
        const int fds = OpenDescriptors();
        const long components = fw::TComponent::LiveCount();

        for (int i = 0; i < 10000; ++i) form->RefreshDisplay();
        testapp::SettleProbe(*form);
        EXPECT_EQ(form->Label1->Caption().rfind("Local IP : ", 0), 0u);
        EXPECT_FALSE(marquee.Caption().empty());

        // Every step paints, and every paint moves the text.
        int unmoved = 0;
        for (int i = 0; i < 10000; ++i) {
            const auto before = marquee.Motion();
            step();
            if (marquee.Motion().x == before.x && marquee.Motion().y == before.y) ++unmoved;
        }
        EXPECT_EQ(unmoved, 0);

        EXPECT_EQ(OpenDescriptors(), fds);
        EXPECT_EQ(fw::TComponent::LiveCount(), components);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
