// What the watcher's commands share: atoms by name, and waiting for the next event without
// spinning. Replies and events are owned by the program's own XcbReply.
#pragma once

#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstring>

#include "framework/x11/xcbreply.h"

namespace xwatch {

using Clock = std::chrono::steady_clock;

using fw::XcbReply;

inline xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const XcbReply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

inline Clock::time_point After(double seconds) {
    return Clock::now() +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// Waits on the connection for the next event for at most the time left; null when the time
// is up, the connection broke or `also` (when given) became readable. Sleeps in poll(), so a
// watcher costs nothing while it waits.
inline XcbReply<xcb_generic_event_t> NextEvent(xcb_connection_t* c, Clock::time_point end,
                                               int also = -1) {
    for (;;) {
        if (xcb_generic_event_t* e = xcb_poll_for_event(c)) return XcbReply<xcb_generic_event_t>(e);
        if (xcb_connection_has_error(c)) return nullptr;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) return nullptr;
        pollfd p[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {also, POLLIN, 0}};
        poll(p, also >= 0 ? 2 : 1, static_cast<int>(left) + 1);
        if (also >= 0 && (p[1].revents & POLLIN)) return nullptr;
    }
}

// xwatch startup: see startwatch.cpp.
int StartupWatch(xcb_connection_t* c, xcb_screen_t* screen, int screenNumber, int argc,
                 char** argv);

}  // namespace xwatch
