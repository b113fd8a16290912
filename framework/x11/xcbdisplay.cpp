#include "framework/x11/xcbdisplay.h"

#include <QGuiApplication>
#include <cstring>

#include "framework/x11/xcbreply.h"

namespace fw {

xcb_connection_t* XcbConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    return x11->connection();
}

xcb_atom_t XcbAtom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name);
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t XcbRoot(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

}  // namespace fw
