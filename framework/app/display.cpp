#include "framework/app/display.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace fw {

bool DisplayReachable(std::string& name) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string_view(platform).substr(0, 3) != "xcb") return true;
    const char* display = std::getenv("DISPLAY");
    name = display && *display ? display : "(DISPLAY is not set)";
    if (!display || !*display) return false;
    xcb_connection_t* c = xcb_connect(display, nullptr);
    const bool ok = c && !xcb_connection_has_error(c);
    if (c) xcb_disconnect(c);
    return ok;
}

}  // namespace fw
