#include "framework/x11/display.h"

#include <unistd.h>

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fw {

bool DisplayNamed(std::string& name) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string_view(platform).substr(0, 3) != "xcb") return true;
    const char* display = std::getenv("DISPLAY");
    name = display && *display ? display : "(DISPLAY is not set)";
    return display && *display;  // no connection tried here (display.h says why)
}

namespace {
std::atomic<bool> refused{false};
// Never null: installing returns the toolkit's default handler when none was set.
QtMessageHandler previousHandler = nullptr;

void WatchForRefusal(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The toolkit first warns that it could not connect, then gives up for want of a platform.
    if (text.contains(QLatin1String("could not connect to display"))) {
        refused = true;  // said once, in our words, when the toolkit gives up
        return;
    }
    if (refused && type != QtFatalMsg) return;  // the toolkit's account of giving up
    if (type == QtFatalMsg && refused) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "rezazo: cannot open display %s\n", display ? display : "");
        std::fflush(stderr);
        ::_exit(1);
    }
    previousHandler(type, context, text);
}
}  // namespace

void ExitQuietlyWhenDisplayRefused() { previousHandler = qInstallMessageHandler(WatchForRefusal); }

}  // namespace fw
