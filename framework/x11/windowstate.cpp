#include "framework/x11/windowstate.h"

#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/x11/xcbdisplay.h"
#include "framework/x11/xcbreply.h"

namespace fw {

namespace {
struct Atoms {
    xcb_atom_t state = XCB_ATOM_NONE, skipTaskbar = XCB_ATOM_NONE, skipPager = XCB_ATOM_NONE,
               above = XCB_ATOM_NONE;
    bool Valid() const {
        return state != XCB_ATOM_NONE && skipTaskbar != XCB_ATOM_NONE &&
               skipPager != XCB_ATOM_NONE && above != XCB_ATOM_NONE;
    }
};

// Interned once for the connection, all four asked before any answer is awaited: the states
// are put at every show, and each wait for the server is a round trip before the window can
// be painted.
const Atoms& StateAtoms(xcb_connection_t* c) {
    static xcb_connection_t* internedFor = nullptr;
    static Atoms atoms;
    if (c == internedFor && atoms.Valid()) return atoms;
    const char* names[] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                           "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE"};
    xcb_atom_t* into[] = {&atoms.state, &atoms.skipTaskbar, &atoms.skipPager, &atoms.above};
    xcb_intern_atom_cookie_t cookies[4];
    for (int i = 0; i < 4; ++i)
        cookies[i] = xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(names[i])), names[i]);
    for (int i = 0; i < 4; ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(c, cookies[i], nullptr));
        *into[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    internedFor = c;
    return atoms;
}

// A property of 32-bit items of the given type (at most max of them); empty when the window
// has none.
std::vector<uint32_t> ReadProperty32(xcb_connection_t* c, xcb_window_t win, xcb_atom_t property,
                                     xcb_atom_t type, uint32_t max) {
    std::vector<uint32_t> items;
    xcb_get_property_cookie_t pc = xcb_get_property(c, 0, win, property, type, 0, max);
    const XcbReply<xcb_get_property_reply_t> r(xcb_get_property_reply(c, pc, nullptr));
    if (r && r->format == 32) {
        auto* data = static_cast<uint32_t*>(xcb_get_property_value(r.get()));
        const int n = xcb_get_property_value_length(r.get()) / 4;
        items.assign(data, data + std::min<uint32_t>(static_cast<uint32_t>(n), max));
    }
    return items;
}

void AskWindowManager(xcb_connection_t* c, xcb_window_t win, xcb_atom_t state, bool on,
                      xcb_atom_t first, xcb_atom_t second) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = win;
    ev.type = state;
    ev.data.data32[0] = on ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
    ev.data.data32[1] = first;
    ev.data.data32[2] = second;
    ev.data.data32[3] = 1;  // from an application
    xcb_send_event(c, 0, XcbRoot(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&ev));
}
// The client messages that ask the manager for the states, sent while the window is mapped.
void AskForStates(xcb_connection_t* c, QWidget* window, xcb_window_t win, const Atoms& a,
                  const TWindowStates& s) {
    if (!window->windowHandle() || !window->windowHandle()->isVisible()) return;
    AskWindowManager(c, win, a.state, s.skipTaskbar, a.skipTaskbar,
                     s.skipPager == s.skipTaskbar ? a.skipPager : 0);
    if (s.skipPager != s.skipTaskbar)
        AskWindowManager(c, win, a.state, s.skipPager, a.skipPager, 0);
    AskWindowManager(c, win, a.state, s.above, a.above, 0);
}

// The current native window: the widget's own id can name one that Qt has since made anew.
xcb_window_t NativeWindow(QWidget* window) {
    window->winId();
    return static_cast<xcb_window_t>(window->windowHandle() ? window->windowHandle()->winId()
                                                            : window->winId());
}
}  // namespace

bool WindowStatesSupported() { return XcbConnection() != nullptr; }

void PutWindowStates(QWidget* window, const TWindowStates& s) {
    if (!window) return;
    xcb_connection_t* c = XcbConnection();
    if (!c) return;
    const Atoms& a = StateAtoms(c);
    if (!a.Valid()) return;
    xcb_window_t win = NativeWindow(window);

    // The property: our three atoms as asked, every other state kept.
    std::vector<xcb_atom_t> atoms = ReadProperty32(c, win, a.state, XCB_ATOM_ATOM, 1024);
    std::erase_if(atoms, [&](xcb_atom_t x) {
        return x == a.skipTaskbar || x == a.skipPager || x == a.above;
    });
    if (s.skipTaskbar) atoms.push_back(a.skipTaskbar);
    if (s.skipPager) atoms.push_back(a.skipPager);
    if (s.above) atoms.push_back(a.above);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, a.state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());

    // A mapped window's state belongs to the window manager: ask it too (with none
    // running, the property above is what stays).
    AskForStates(c, window, win, a, s);
    xcb_flush(c);
}

void AskWindowManagerForStates(QWidget* window, const TWindowStates& s) {
    xcb_connection_t* c = window ? XcbConnection() : nullptr;
    if (!c) return;
    const Atoms& a = StateAtoms(c);
    if (!a.Valid()) return;
    AskForStates(c, window, NativeWindow(window), a, s);
    xcb_flush(c);
}

void PutTransientFor(QWidget* window, QWidget* owner) {
    xcb_connection_t* c = XcbConnection();
    if (!c || !window || !owner || !owner->internalWinId()) return;
    xcb_window_t of = NativeWindow(owner);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, NativeWindow(window), XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &of);
    xcb_flush(c);
}

void PutNormalInitialState(QWidget* window) {
    xcb_connection_t* c = XcbConnection();
    if (!c || !window) return;
    xcb_window_t win = NativeWindow(window);
    // flags, input, initial state, icon pixmap, window, x, y, mask, group (ICCCM 4.1.2.4)
    uint32_t hints[9] = {};
    const std::vector<uint32_t> read =
        ReadProperty32(c, win, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 9);
    std::copy(read.begin(), read.end(), hints);
    constexpr uint32_t kStateHint = 1u << 1, kNormalState = 1;
    if ((hints[0] & kStateHint) && hints[2] == kNormalState) return;
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9,
                        hints);
    xcb_flush(c);
}

TMapCheck CheckMapped(QWidget* window) {
    xcb_connection_t* c = XcbConnection();
    if (!c || !window || !window->windowHandle()) return TMapCheck::Shown;
    const xcb_window_t win = NativeWindow(window);
    const XcbReply<xcb_get_window_attributes_reply_t> a(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, win), nullptr));
    if (!a || a->map_state != XCB_MAP_STATE_UNMAPPED) return TMapCheck::Shown;
    // ICCCM's WM_STATE: Normal (1) while the manager holds the window (still withdrawing it,
    // or about to map it), Iconic (3) when it iconified it; gone or Withdrawn (0) when the
    // manager has let go of the window.
    enum : uint32_t { kWithdrawn = 0, kNormal = 1, kIconic = 3 };
    uint32_t state = kWithdrawn;
    if (const xcb_atom_t wmState = XcbAtom(c, "WM_STATE"); wmState != XCB_ATOM_NONE) {
        const std::vector<uint32_t> read = ReadProperty32(c, win, wmState, wmState, 1);
        if (!read.empty()) state = read[0];
    }
    if (state == kIconic) return TMapCheck::Shown;
    return state == kWithdrawn ? TMapCheck::Dropped : TMapCheck::Waiting;
}

void MapAgain(QWidget* window) {
    xcb_connection_t* c = XcbConnection();
    if (!c || !window) return;
    xcb_map_window(c, NativeWindow(window));
    xcb_flush(c);
}

}  // namespace fw
