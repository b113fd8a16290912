// menubench: opening the main window's system menu to its first complete paint (measuring,
// layout, every owner-drawn item and one banner built) with our engine, against opening a
// plain Qt menu of the same items to its first paint. Rounds alternate between the two.
// Prints both times per opening and ours / Qt's; below 1 means ours is faster.
#include <QApplication>
#include <QMenu>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/mainwindow.h"
#include "controls/registercontrols.h"
#include "framework/app/application.h"
#include "framework/core/classregistry.h"
#include "framework/menus/menuengine.h"
#include "gif/registergif.h"
#include "settings/propstore.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsPerRun(const std::function<void()>& run, double minimum) {
    int runs = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    do {
        run();
        ++runs;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < minimum);
    return elapsed / runs;
}

void Fill(QMenu& menu, fw::TMenuItem& parent) {
    for (int i = 0; i < parent.Count(); ++i) {
        fw::TMenuItem* item = parent.Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            menu.addSeparator();
        } else if (item->Count() > 0) {
            Fill(*menu.addMenu(QString::fromStdString(item->Caption())), *item);
        } else {
            QAction* a = menu.addAction(QString::fromStdString(item->Caption()));
            a->setCheckable(item->Checked());
            a->setChecked(item->Checked());
            a->setEnabled(item->Enabled());
        }
    }
}

// The offscreen platform reports every popup's raise and keyboard grab it cannot do.
void Quiet(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (type != QtWarningMsg && type != QtInfoMsg && type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Quiet);
    // Settings go to a scratch directory.
    auto dir =
        std::filesystem::temp_directory_path() / ("rezazo-menubench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    auto* app = new fw::TAppController(nullptr);
    app->Initialize(argc, argv);
    fw::RegisterFrameworkClasses();
    ctl::RegisterControlClasses();
    settings::RegisterPropStoreClasses();
    gif::RegisterGifClasses();
    RegisterAppClasses();
    {
        TForm1 form(nullptr);
        fw::TPopupMenu& menu = *form.PopupMenu1;

        auto ours = [&] {
            fw::TMenuTracker t(menu);
            t.Open(229, 112);
            t.Level(0)->Widget()->repaint();
            t.Cancel();
        };
        auto qt = [&] {
            QMenu m;
            Fill(m, *menu.Items());
            m.popup(QPoint(229, 112));
            m.repaint();
            m.hide();
        };
        ours();  // warm both up
        qt();
        double bestOurs = 1e30, bestQt = 1e30;
        for (int round = 0; round < 7; ++round) {
            bestOurs = std::min(bestOurs, SecondsPerRun(ours, 0.2));
            bestQt = std::min(bestQt, SecondsPerRun(qt, 0.2));
            QCoreApplication::processEvents();  // windows closed in the round go away
        }
        std::printf("open-system-menu ours_us %.1f qmenu_us %.1f ratio %.3f\n", bestOurs * 1e6,
                    bestQt * 1e6, bestOurs / bestQt);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
