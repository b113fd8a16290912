// menubench: program CPU (user + system, every thread) per open and close of the main
// window's banner popup menu with our engine, against a plain QMenu of the same items (built
// once, as a program keeps its context menu) opened the same way. Each open runs the menu's
// modal loop until its first paint has been drawn, then closes it and lets the window system
// settle, all inside the measured span. Pairs alternate which of the two goes first.
//
// Runs on the X display in DISPLAY when there is one (the figures that matter: window
// creation, mapping and flushing are part of the cost), else on the offscreen platform.
// Prints the median, minimum and maximum per open for both, paints per open, and the ratio
// of the medians; below 1 means ours costs less.
#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QPaintEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/mainwindow.h"
#include "app/registerclasses.h"
#include "framework/app/application.h"
#include "framework/menus/menuengine.h"

namespace {

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
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

// Counts paints of popup windows and closes the open menu once its first paint is done.
class PaintWatch : public QObject {
  public:
    std::function<void()> close;
    int paints = 0;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Paint || !o->isWidgetType()) return false;
        if (static_cast<QWidget*>(o)->windowType() != Qt::Popup) return false;
        if (++paints == 1) QTimer::singleShot(0, this, [this] { close(); });
        return false;
    }
};

void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Samples {
    std::vector<double> cpu;
    int paints = 0;
    double Median() const {
        std::vector<double> s = cpu;
        std::sort(s.begin(), s.end());
        size_t n = s.size();
        return n == 0 ? 0 : (n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2);
    }
    double Min() const { return cpu.empty() ? 0 : *std::min_element(cpu.begin(), cpu.end()); }
    double Max() const { return cpu.empty() ? 0 : *std::max_element(cpu.begin(), cpu.end()); }
};

struct Contender {
    const char* name;
    std::function<void()> open;  // opens the menu and returns once it has closed
    Samples samples{};
};

// One open and close, with the settling after it, measured.
void Measure(PaintWatch& watch, Contender& c, int settleMs) {
    watch.paints = 0;
    const double start = ProcessCpuMs();
    c.open();
    Wait(settleMs);
    c.samples.cpu.push_back(ProcessCpuMs() - start);
    c.samples.paints += watch.paints;
}

// The offscreen platform reports every popup's raise and keyboard grab it cannot do.
void Quiet(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (type != QtWarningMsg && type != QtInfoMsg && type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

}  // namespace

int main(int argc, char** argv) {
    // --rounds N; --only NAME opens just that contender, for a profiler.
    int rounds = 30;
    std::string only;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--only") == 0) only = argv[i + 1];
    }
    const char* display = std::getenv("DISPLAY");
    const bool onX = display && *display;
    if (!onX) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Quiet);
    // Settings go to a scratch directory.
    auto dir =
        std::filesystem::temp_directory_path() / ("rezazo-menubench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    auto* app = new fw::TAppController(nullptr);
    app->Initialize(argc, argv);
    RegisterAllClasses();
    {
        TForm1 form(nullptr);
        form.Show();
        Wait(300);
        fw::TPopupMenu& menu = *form.PopupMenu1;
        const QPoint at(form.Left() + 2, form.Top() + 2);
        QMenu kept;
        Fill(kept, *menu.Items());

        PaintWatch watch;
        qApp->installEventFilter(&watch);
        // The peers: a QMenu kept between opens, and one built for each open (as a context
        // menu handler often does).
        std::vector<Contender> all{
            {"ours",
             [&] {
                 watch.close = [] {
                     if (fw::TMenuTracker* t = fw::TMenuTracker::Current()) t->Cancel();
                 };
                 menu.Popup(at.x(), at.y());
             }},
            {"qmenu",
             [&] {
                 watch.close = [&kept] { kept.hide(); };
                 kept.exec(at);
             }},
            {"qmenu-new",
             [&] {
                 QMenu fresh;
                 Fill(fresh, *menu.Items());
                 watch.close = [&fresh] { fresh.hide(); };
                 fresh.exec(at);
             }},
        };
        if (!only.empty())
            std::erase_if(all, [&](const Contender& c) { return c.name != only; });
        const int settleMs = 20;
        for (Contender& c : all)
            for (int i = 0; i < 3; ++i) Measure(watch, c, settleMs);  // warm up
        for (Contender& c : all) c.samples = {};
        // Each round starts with the next contender, so none is always first.
        for (int round = 0; round < rounds; ++round)
            for (size_t k = 0; k < all.size(); ++k)
                Measure(watch, all[(round + k) % all.size()], settleMs);
        qApp->removeEventFilter(&watch);
        std::printf("platform %s, %d rounds, CPU ms per open and close (median min max)\n",
                    onX ? "xcb" : "offscreen", rounds);
        for (const Contender& c : all)
            std::printf("%-10s %.3f %.3f %.3f  paints per open %.2f\n", c.name, c.samples.Median(),
                        c.samples.Min(), c.samples.Max(),
                        static_cast<double>(c.samples.paints) / rounds);
        for (size_t k = 1; all.size() > 1 && k < all.size(); ++k)
            std::printf("ratio %s / %s %.3f\n", all[0].name, all[k].name,
                        all[0].samples.Median() / all[k].samples.Median());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
