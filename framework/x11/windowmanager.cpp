#include "framework/x11/windowmanager.h"

#include "framework/x11/xcbdisplay.h"
#include "framework/x11/xcbreply.h"

namespace fw {

bool WindowManagerRunning() {
    xcb_connection_t* c = XcbConnection();
    if (!c) return false;
    xcb_atom_t check = XcbAtom(c, "_NET_SUPPORTING_WM_CHECK");
    if (check == XCB_ATOM_NONE) return false;
    xcb_window_t root = XcbRoot(c);
    // The manager names a window of its own on the root; a stale value names none.
    auto owned = [&](xcb_window_t on) -> xcb_window_t {
        xcb_get_property_cookie_t pc = xcb_get_property(c, 0, on, check, XCB_ATOM_WINDOW, 0, 1);
        const XcbReply<xcb_get_property_reply_t> r(xcb_get_property_reply(c, pc, nullptr));
        if (!r || xcb_get_property_value_length(r.get()) < 4) return XCB_WINDOW_NONE;
        return *static_cast<xcb_window_t*>(xcb_get_property_value(r.get()));
    };
    xcb_window_t wm = owned(root);
    return wm != XCB_WINDOW_NONE && owned(wm) == wm;
}

}  // namespace fw
