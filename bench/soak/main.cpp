// soakbench: the main window's 10,000 refreshes and 10,000 marquee steps on the offscreen
// platform, printing resident size, open descriptors and live components before and after.
#include <unistd.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/app/application.h"
#include "program/mainwindow.h"
#include "program/registerallclasses.h"
#include "widgets/scrolllabel.h"

namespace {

long StatusKb(const char* field) {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

int OpenDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

void Report(const char* when) {
    std::printf("%-7s rss_kb %ld  fds %d  components %ld\n", when, StatusKb("VmRSS:"),
                OpenDescriptors(), fw::TComponent::LiveCount());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto dir =
        std::filesystem::temp_directory_path() / ("rezazo-soakbench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    fw::TAppController application(nullptr);
    application.Initialize(argc, argv);
    RegisterAllClasses();
    {
        fw::ComponentPtr<TForm1> form(new TForm1(nullptr));
        form->Show();
        ctl::TScrollLabel& marquee = *form->label2;
        auto step = [&] {
            marquee.Timer()->OnTimer(marquee.Timer());
            QCoreApplication::processEvents();
        };
        for (int i = 0; i < 20; ++i) {
            form->RefreshDisplay();
            step();
        }
        Report("before");
        for (int i = 0; i < 10000; ++i) form->RefreshDisplay();
        Report("refresh");
        for (int i = 0; i < 10000; ++i) step();
        Report("after");
    }
    std::filesystem::remove_all(dir);
    return 0;
}
