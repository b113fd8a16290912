#include "framework/x11window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace fw {

namespace {
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply) return XCB_ATOM_NONE;
    xcb_atom_t a = reply->atom;
    free(reply);
    return a;
}
}  // namespace

void SetSkipTaskbar(QWidget* window, bool skip) {
    if (!window) return;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    xcb_connection_t* c = x11->connection();
    if (!c) return;
    // The native window's own id: a change of window flags makes a new native window, which
    // the widget's cached id does not always follow.
    window->winId();
    auto win = static_cast<xcb_window_t>(window->windowHandle() ? window->windowHandle()->winId()
                                                                : window->winId());
    xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    xcb_atom_t skipTaskbar = Atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE) return;

    // The property itself: read, add or drop our atom, write back (keeps Qt's own states).
    std::vector<xcb_atom_t> atoms;
    xcb_get_property_cookie_t pc = xcb_get_property(c, 0, win, state, XCB_ATOM_ATOM, 0, 1024);
    if (xcb_get_property_reply_t* r = xcb_get_property_reply(c, pc, nullptr)) {
        auto* data = static_cast<xcb_atom_t*>(xcb_get_property_value(r));
        int n = xcb_get_property_value_length(r) / static_cast<int>(sizeof(xcb_atom_t));
        for (int i = 0; i < n; ++i)
            if (data[i] != skipTaskbar) atoms.push_back(data[i]);
        free(r);
    }
    if (skip) atoms.push_back(skipTaskbar);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());

    // A mapped window's state belongs to the window manager: ask it as well.
    if (window->isVisible()) {
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = win;
        ev.type = state;
        ev.data.data32[0] = skip ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
        ev.data.data32[1] = skipTaskbar;
        ev.data.data32[3] = 1;
        const xcb_setup_t* setup = xcb_get_setup(c);
        xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
        xcb_send_event(c, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&ev));
    }
    xcb_flush(c);
}

bool WindowManagerRunning() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    xcb_connection_t* c = x11->connection();
    if (!c) return false;
    xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
    if (check == XCB_ATOM_NONE) return false;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    // The manager names a window of its own on the root; a stale value names none.
    auto owned = [&](xcb_window_t on) -> xcb_window_t {
        xcb_get_property_cookie_t pc = xcb_get_property(c, 0, on, check, XCB_ATOM_WINDOW, 0, 1);
        xcb_get_property_reply_t* r = xcb_get_property_reply(c, pc, nullptr);
        if (!r) return XCB_WINDOW_NONE;
        xcb_window_t w = XCB_WINDOW_NONE;
        if (xcb_get_property_value_length(r) >= 4) w = *static_cast<xcb_window_t*>(xcb_get_property_value(r));
        free(r);
        return w;
    };
    xcb_window_t wm = owned(root);
    return wm != XCB_WINDOW_NONE && owned(wm) == wm;
}

}  // namespace fw
