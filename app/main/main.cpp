// Rezazo '98: the machine's IPv4 address and host name, always at hand.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/iplog.h"
#include "app/mainwindow.h"
#include "controls/registercontrols.h"
#include "framework/app/application.h"
#include "framework/app/display.h"
#include "framework/app/socketwatch.h"
#include "framework/controls/controls.h"
#include "framework/core/classregistry.h"
#include "framework/text/componenttext.h"
#include "gif/registergif.h"
#include "platform/singleinstance.h"
#include "settings/propstore.h"

int main(int argc, char** argv) {
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
    if (std::string display; !fw::DisplayReachable(display)) {
        std::fprintf(stderr, "rezazo: cannot open display %s\n", display.c_str());
        return 1;
    }

    // One widget per session and display: two would each rewrite IP.LOG and rezazo.ini.
    platform::SingleInstance instance(platform::RuntimeDir(), platform::DisplayKey());
    if (instance.role() == platform::SingleInstance::Role::Second) {
        if (!instance.AskFirstToComeForward())
            std::fprintf(stderr, "Rezazo '98 is already running but did not answer.\n");
        return 0;
    }

    fw::TAppController application(nullptr);
    application.Initialize(argc, argv);
    fw::RegisterFrameworkClasses();
    ctl::RegisterControlClasses();
    settings::RegisterPropStoreClasses();
    gif::RegisterGifClasses();
    RegisterAppClasses();
    application.InstallTerminationHandlers();
    application.SetTitle("Rezazo '98");
    TForm1* Form1 = nullptr;
    application.CreateForm(Form1);
    // The log and About windows are made when first shown; the log file is there from the
    // start all the same, and a failure to make it is shown once the loop runs.
    {
        fw::TWindowLoading loading;
        fw::Guarded(Form1, [] { app::CreateLogIfMissing(app::LogFileName()); });
    }
    fw::TSocketWatch requests(instance.ListenFd(), [&] {
        if (instance.TakeRequests() > 0 && Form1 && !application.Terminated())
            Form1->RestoreAndBringForward();
    });
    application.Run();
    return application.ExitCode();
}
