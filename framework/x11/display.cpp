#include "framework/x11/display.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "framework/x11/xcbreply.h"

namespace fw {

namespace {
// Whether a server listens on a local display's socket, tried as the X library tries it: the
// abstract name first, then the file. Connecting is enough to tell: the toolkit's own
// connection makes the whole handshake right after, and a refusal there is handled as well
// (ExitQuietlyWhenDisplayRefused).
bool LocalServerListens(int display) {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(display);
    for (const bool abstract : {true, false}) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const size_t at = abstract ? 1 : 0;  // an abstract name starts with a NUL
        if (at + path.size() >= sizeof address.sun_path) return false;
        std::memcpy(address.sun_path + at, path.data(), path.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + at + path.size());
        const bool listens = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
        ::close(fd);
        if (listens) return true;
    }
    return false;
}
}  // namespace

bool DisplayReachable(std::string& name) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string_view(platform).substr(0, 3) != "xcb") return true;
    const char* display = std::getenv("DISPLAY");
    name = display && *display ? display : "(DISPLAY is not set)";
    if (!display || !*display) return false;
    // A local display is checked at its socket; any other gets a whole connection.
    char* host = nullptr;
    int number = 0;
    if (!xcb_parse_display(display, &host, &number, nullptr)) return false;
    const XcbReply<char> ownedHost(host);  // xcb's allocation, freed as its replies are
    const bool local = !*host || std::string_view(host) == "unix";
    if (local) return LocalServerListens(number);
    xcb_connection_t* c = xcb_connect(display, nullptr);
    const bool ok = c && !xcb_connection_has_error(c);
    if (c) xcb_disconnect(c);
    return ok;
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
