// menubench: program CPU (user + system, every thread) per open and close of the main
// window's banner popup menu with our engine, against a plain QMenu of the same items kept
// between opens (as a program keeps its context menu) and one built for each open. Each open
// is a press on the system glyph: the menu's modal loop runs until its first paint has been
// drawn, then the menu closes, the release follows and the window system settles, all inside
// the measured span. Rounds rotate which contender goes first.
//
// Runs on the X display in DISPLAY when there is one (the figures that matter: mapping,
// grabbing and flushing are part of the cost), else on the offscreen platform. Prints the
// median, minimum and maximum per open, paints per open, and the ratios of the medians to
// ours; below 1 means ours costs less.
#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/app/application.h"
#include "framework/controls/imagepanel.h"
#include "framework/menus/menuengine.h"
#include "program/mainwindow.h"
#include "program/registerallclasses.h"
#include "widgets/scrolllabel.h"

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

// Counts paints of popup windows and of the rest (the main window: an opening should not
// make it paint), and closes the open menu once its first paint is done.
class PaintWatch : public QObject {
  public:
    std::function<void()> close;
    int paints = 0;
    int others = 0;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Paint || !o->isWidgetType()) return false;
        if (static_cast<QWidget*>(o)->window()->windowType() != Qt::Popup) {
            ++others;
            return false;
        }
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
    int others = 0;
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
    watch.others = 0;
    const double start = ProcessCpuMs();
    c.open();
    Wait(settleMs);
    c.samples.cpu.push_back(ProcessCpuMs() - start);
    c.samples.paints += watch.paints;
    c.samples.others += watch.others;
}

// Interleaved rounds, each starting with the next contender so that none is always first.
void Run(std::vector<Contender>& all, PaintWatch& watch, int rounds) {
    const int settleMs = 20;
    for (Contender& c : all)
        for (int i = 0; i < 3; ++i) Measure(watch, c, settleMs);  // warm up
    for (Contender& c : all) c.samples = {};
    for (int round = 0; round < rounds; ++round)
        for (size_t k = 0; k < all.size(); ++k)
            Measure(watch, all[(round + k) % all.size()], settleMs);
}

void Report(const std::vector<Contender>& all, bool onX, int rounds) {
    std::printf("platform %s, %d rounds, CPU ms per open and close (median min max)\n",
                onX ? "xcb" : "offscreen", rounds);
    for (const Contender& c : all)
        std::printf("%-10s %.3f %.3f %.3f  paints per open %.2f, of other windows %.2f\n", c.name,
                    c.samples.Median(), c.samples.Min(), c.samples.Max(),
                    static_cast<double>(c.samples.paints) / rounds,
                    static_cast<double>(c.samples.others) / rounds);
    for (size_t k = 1; k < all.size(); ++k)
        std::printf("ratio %s / %s %.3f\n", all[0].name, all[k].name,
                    all[0].samples.Median() / all[k].samples.Median());
}

// Every menu opens as a person opens it: a press on the system glyph, whose handler pops the
// menu up through the engine each contender puts in; the release follows once the menu has
// closed. The peers: a QMenu kept between opens, and one built for each open (as a context
// menu handler often does).
std::vector<Contender> Contenders(TForm1& form, QMenu& kept, PaintWatch& watch,
                                  const fw::TPopupMenu::PopupEngine& own) {
    QWindow* window = form.Handle()->windowHandle();
    const QPoint glyph(form.Image5->Left() + 2, form.Image5->Top() + 2);
    auto pressGlyph = [window, glyph](const fw::TPopupMenu::PopupEngine& engine) {
        fw::TPopupMenu::SetPopupEngine(engine);
        QTest::mousePress(window, Qt::LeftButton, {}, glyph);
        QTest::mouseRelease(window, Qt::LeftButton, {}, glyph);
    };
    return {
        {"ours",
         [&watch, &own, pressGlyph] {
             watch.close = [] {
                 if (fw::TMenuTracker* t = fw::TMenuTracker::Current()) t->Cancel();
             };
             pressGlyph(own);
         }},
        {"qmenu",
         [&watch, &kept, pressGlyph] {
             watch.close = [&kept] { kept.hide(); };
             pressGlyph([&kept](fw::TPopupMenu&, int x, int y) { kept.exec(QPoint(x, y)); });
         }},
        {"qmenu-new",
         [&watch, pressGlyph] {
             pressGlyph([&watch](fw::TPopupMenu& m, int x, int y) {
                 QMenu fresh;
                 Fill(fresh, *m.Items());
                 watch.close = [&fresh] { fresh.hide(); };
                 fresh.exec(QPoint(x, y));
             });
         }},
    };
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
        // The marquee's steps and the address refresh are no part of a menu's cost.
        form.label2->SetActive(false);
        form.Timer1->SetEnabled(false);
        Wait(300);
        QMenu kept;
        Fill(kept, *form.PopupMenu1->Items());
        PaintWatch watch;
        qApp->installEventFilter(&watch);
        const fw::TPopupMenu::PopupEngine own = fw::TPopupMenu::CurrentPopupEngine();
        std::vector<Contender> all = Contenders(form, kept, watch, own);
        if (!only.empty()) std::erase_if(all, [&](const Contender& c) { return c.name != only; });
        Run(all, watch, rounds);
        qApp->removeEventFilter(&watch);
        fw::TPopupMenu::SetPopupEngine(own);
        Report(all, onX, rounds);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
