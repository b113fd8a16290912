#include "framework/app/application.h"

#include <malloc.h>

#include <QApplication>
#include <QSessionManager>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <stdexcept>

#include "framework/app/dialogs.h"
#include "framework/controls/accessible.h"
#include "framework/controls/forms.h"
#include "framework/core/appservices.h"
#include "framework/core/classbuilder.h"
#include "framework/core/guithread.h"
#include "framework/core/savemoments.h"
#include "framework/core/setifchanged.h"
#include "framework/menus/menuaccessible.h"
#include "framework/text/componenttext.h"
#include "framework/x11/firstpaint.h"

namespace fw {

TAppController* Application = nullptr;

const TClassInfo& TAppController::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TAppController>("TAppController", &TComponent::StaticClassInfo()).Build();
    return info;
}

TAppController::TAppController(TComponent* owner) : TComponent(owner) {
    if (Application) return;
    Application = this;
    AppServices() = {
        [this](TPropertyObject* sender, const std::exception& e) { HandleException(sender, e); },
        [this]() -> TComponent* { return MainForm(); },
        [this] { Terminate(); },
        [this](const std::string& hint) { SetHint(hint); },
    };
}

TAppController::~TAppController() {
    DestroyComponents();
    if (Application != this) return;
    Application = nullptr;
    AppServices() = {};
}

void TAppController::Initialize(int& argc, char** argv) {
    if (!QCoreApplication::instance()) ownedApp_ = std::make_unique<QApplication>(argc, argv);
    InstallAccessibility();
    // Before a reader first asks for the application: its interface is made once.
    InstallMenuAccessibility();
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app) {
        app->setQuitOnLastWindowClosed(false);
        QObject::connect(app, &QGuiApplication::applicationStateChanged, app,
                         [this](Qt::ApplicationState s) {
                             Guarded(this, [&] { SetActive(s == Qt::ApplicationActive); });
                         });
    }
}

void TAppController::SetTitle(const std::string& t) {
    title_ = t;
    if (QCoreApplication::instance())
        QCoreApplication::setApplicationName(QString::fromStdString(t));
}

void TAppController::SetActive(bool active) {
    if (!SetIfChanged(active_, active)) return;
    if (active)
        OnActivate(this);
    else
        OnDeactivate(this);
}

void TAppController::Run() {
    if (terminated_) {
        DestroyComponents();
        return;
    }
    if (mainForm_ && !minimized_)
        mainForm_->Show();
    else
        ReleaseFirstPaintWork();  // no window to wait for
    // Loading the windows parsed their descriptions and decoded their pictures; what that
    // left free goes back to the system instead of staying in the idle program's heap,
    // once the window is on the screen.
    AfterFirstPaint([] { malloc_trim(0); });
    QCoreApplication::exec();
    // Not ended by Terminate: the session manager said "die", and the session is ending.
    if (!terminated_) unattended_ = true;
    terminated_ = true;
    // What could not be shown any more goes where somebody may still read it.
    for (const std::string& m : held_) WriteToStandardError(m);
    held_.clear();
    // The loop has ended: the windows go, each saving what it keeps as it is destroyed.
    DestroyComponents();
    mainForm_ = nullptr;
}

void TAppController::Terminate() {
    terminated_ = true;
    if (QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
}

namespace {
extern "C" void OnTerminationSignal(int) { WakeGuiThreadFromSignal(); }
}  // namespace

void TAppController::InstallTerminationHandlers() {
    SetSignalAction([this] {
        unattended_ = true;
        Terminate();
    });
    PrepareGuiThread();
    struct sigaction sa {};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The session may end the X server right after this answer: what is kept is saved
        // now, before the answer, and not only once the loop has ended. The program goes on
        // running: a checkpoint asks this too, and a logout can still be cancelled; at the
        // session's end the manager's "die" quits the loop. Nobody may be asked to click
        // while the session waits for the answer.
        QObject::connect(gui, &QGuiApplication::commitDataRequest, gui, [this](QSessionManager&) {
            const bool wasUnattended = unattended_;
            unattended_ = true;
            AnnounceSaveMoment(TSaveMoment::SessionSave);
            unattended_ = wasUnattended;
        });
    }
}

void TAppController::ProcessMessages() { QCoreApplication::processEvents(); }

void TAppController::Minimize() {
    if (minimized_) return;
    minimized_ = true;
    hiddenByMinimize_.clear();
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* f = dynamic_cast<TFormBase*>(Components(i)); f && f->Visible()) {
            hiddenByMinimize_.push_back(f);
            f->Hide();
        }
    OnMinimize(this);
}

void TAppController::Restore() {
    if (!minimized_) return;
    minimized_ = false;
    for (TFormBase* f : hiddenByMinimize_)
        for (int i = 0; i < ComponentCount(); ++i)
            if (Components(i) == f) f->Show();
    hiddenByMinimize_.clear();
    OnRestore(this);
}

void TAppController::BringToFront() {
    if (mainForm_ && mainForm_->Visible()) mainForm_->BringToFront();
}

void TAppController::ShowException(const std::exception& e) {
    std::string msg = e.what();
    if (!msg.empty() && msg.back() != '.') msg += '.';
    MessageDlg(msg, mtError, 1u << mbOK);
}

void TAppController::HandleException(TPropertyObject* Sender, const std::exception& e) {
    if (OnException) {
        OnException(Sender, e);
        return;
    }
    if (unattended_) {
        WriteToStandardError(e.what());
        return;
    }
    if (WindowsLoading() > 0) {
        // Timers run only in a message loop: this shows them once one runs.
        if (held_.empty())
            QTimer::singleShot(0, QCoreApplication::instance(), [this] { ShowHeldMessages(); });
        held_.push_back(e.what());
        return;
    }
    ShowException(e);
}

void TAppController::ShowHeldMessages() {
    if (held_.empty()) return;
    if (WindowsLoading() > 0 || unattended_) {
        // Called from a loop inside a loading window: wait for it to finish.
        if (!unattended_)
            QTimer::singleShot(0, QCoreApplication::instance(), [this] { ShowHeldMessages(); });
        return;
    }
    std::string all;
    for (const std::string& m : held_) all += (all.empty() ? "" : "\n\n") + m;
    held_.clear();
    ShowException(std::runtime_error(all));
}

void TAppController::WriteToStandardError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", title_.empty() ? "error" : title_.c_str(), message.c_str());
    exitCode_ = 1;
}

}  // namespace fw
