// Rezazo '98: the machine's IPv4 address and host name, always at hand.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/app/application.h"
#include "framework/app/socketwatch.h"
#include "framework/controls/controls.h"
#include "framework/text/componenttext.h"
#include "framework/x11/display.h"
#include "framework/x11/firstpaint.h"
#include "platform/paths.h"
#include "platform/singleinstance.h"
#include "program/commandline.h"
#include "program/iplog.h"
#include "program/mainwindow.h"
#include "program/registerallclasses.h"

namespace {
// A server that hangs up during the handshake is refused like any other, with the refusal's
// line, not ended by SIGPIPE; once connected, the default comes back.
void ConnectToDisplay(fw::TAppController& application, int& argc, char** argv) {
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    application.Initialize(argc, argv);
    sigaction(SIGPIPE, &previous, nullptr);
}
}  // namespace

int main(int argc, char** argv) {
    // Asking for help or the version needs no display; an argument we do not know stops
    // the start rather than being passed on to the toolkit unseen.
    switch (const app::StartRequest request = app::ReadArguments(argc, argv); request.action) {
        case app::StartAction::Help:
            std::fputs(app::UsageText().c_str(), stdout);
            return 0;
        case app::StartAction::Version:
            std::fputs(app::VersionText().c_str(), stdout);
            return 0;
        case app::StartAction::Refuse:
            std::fprintf(stderr, "rezazo: unrecognised argument '%s'\n%s", request.refused.c_str(),
                         app::UsageText().c_str());
            return 2;
        case app::StartAction::Run:
            break;
    }
    // The program places its windows itself, which Wayland does not allow: on a Wayland
    // session it runs on XWayland, unless a platform is asked for explicitly.
    auto empty = [](const char* name) {
        const char* v = std::getenv(name);
        return !v || !*v;
    };
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (empty("QT_QPA_PLATFORM") &&
        (!empty("WAYLAND_DISPLAY") || (session && std::string_view(session) == "wayland")))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    // Without a display the toolkit would abort; say what is wrong and leave.
    if (std::string display; !fw::DisplayNamed(display)) {
        std::fprintf(stderr, "rezazo: cannot open display %s\n", display.c_str());
        return 1;
    }
    fw::ExitQuietlyWhenDisplayRefused();

    // One widget per user and display: two would each rewrite IP.LOG and rezazo.ini.
    platform::SingleInstance instance(platform::LockDir(), platform::DisplayKey());
    if (instance.role() == platform::SingleInstance::Role::Second) {
        if (!instance.AskFirstToComeForward())
            std::fprintf(stderr, "Rezazo '98 is already running but did not answer.\n");
        return 0;
    }
    std::optional<platform::DirectoryGuard> files;
    if (instance.role() == platform::SingleInstance::Role::Unguarded) {
        std::fprintf(stderr, "rezazo: no single-instance lock (%s); guarding the files instead\n",
                     instance.Problem().c_str());
        const std::string log = app::LogFileName();
        files.emplace(
            std::vector<std::string>{log.substr(0, log.rfind('/')), platform::SettingsDir()});
        if (files->Busy()) {
            std::fprintf(stderr, "Rezazo '98 is already running with the same files.\n");
            return 0;
        }
    }

    fw::TAppController application(nullptr);
    ConnectToDisplay(application, argc, argv);
    RegisterAllClasses();
    application.InstallTerminationHandlers();
    application.SetTitle("Rezazo '98");
    // What the first frame does not draw is done once the window is on the screen.
    fw::HoldUntilFirstPaint();
    TForm1* Form1 = nullptr;
    application.CreateForm(Form1);
    // The log and About windows are made when first shown; the log file is there from the
    // start all the same, and a failure to make it is shown once the loop runs.
    {
        fw::TWindowLoading loading;
        fw::Guarded(Form1, [] { app::CreateLogIfMissing(app::LogFileName()); });
    }
    fw::TSocketWatch requests(instance.RequestFd(), [&] {
        if (instance.TakeRequests() > 0 && Form1 && !application.Terminated())
            Form1->RestoreAndBringForward();
    });
    application.Run();
    return application.ExitCode();
}
