// Rezazo '98: the machine's IPv4 address and host name, always at hand.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/form1.h"
#include "app/form3.h"
#include "controls/registercontrols.h"
#include "gif/registergif.h"
#include "settings/propstore.h"
#include "framework/app/display.h"
#include "framework/application.h"
#include "framework/classregistry.h"

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

    fw::TApplication application(nullptr);
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
    application.CreateForm(Form3);
    application.Run();
    return application.ExitCode();
}
