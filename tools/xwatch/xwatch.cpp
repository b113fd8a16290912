// xwatch damage WINDOW SECONDS: prints every damaged rectangle of the window for that long,
//   one "MILLISECONDS X Y WIDTH HEIGHT" line each (time from the start).
// xwatch clipboard-manager SECONDS: owns CLIPBOARD_MANAGER; when a client leaving asks it
//   to save the clipboard (SAVE_TARGETS), it takes the text over, serves it as the clipboard
//   owner and prints "saved TEXT".
// xwatch startup TITLE SECONDS [--stop] [--icon] -- COMMAND...: time from starting a program
//   to its window's first paint, and to its tray icon (startwatch.cpp).
#include "xwatch.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

using xwatch::After;
using xwatch::Atom;
using xwatch::Clock;
using xwatch::NextEvent;
using xwatch::XcbReply;

int Damage(xcb_connection_t* c, xcb_window_t win, double seconds) {
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_damage_id);
    if (!ext || !ext->present) {
        fprintf(stderr, "xwatch: no DAMAGE extension\n");
        return 1;
    }
    XcbReply<xcb_xfixes_query_version_reply_t>(
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    XcbReply<xcb_damage_query_version_reply_t>(
        xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    xcb_damage_damage_t damage = xcb_generate_id(c);
    xcb_damage_create(c, damage, win, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(c);
    const auto start = Clock::now();
    const auto end = After(seconds);
    while (const XcbReply<xcb_generic_event_t> e = NextEvent(c, end)) {
        if ((e->response_type & 0x7f) == ext->first_event + XCB_DAMAGE_NOTIFY) {
            auto* d = reinterpret_cast<xcb_damage_notify_event_t*>(e.get());
            auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            printf("%lld %d %d %d %d\n", static_cast<long long>(ms), d->area.x, d->area.y,
                   d->area.width, d->area.height);
            fflush(stdout);
        }
    }
    xcb_damage_destroy(c, damage);
    xcb_flush(c);
    return 0;
}

// The clipboard manager's side of a leaving owner's SAVE_TARGETS request, and afterwards the
// clipboard owner's side for the text it took over.
class ClipboardKeeper {
  public:
    ClipboardKeeper(xcb_connection_t* c, Clock::time_point end)
        : c_(c),
          end_(end),
          manager_(Atom(c, "CLIPBOARD_MANAGER")),
          clipboard_(Atom(c, "CLIPBOARD")),
          saveTargets_(Atom(c, "SAVE_TARGETS")),
          utf8_(Atom(c, "UTF8_STRING")),
          targets_(Atom(c, "TARGETS")),
          holder_(Atom(c, "XWATCH_SAVED")) {}

    // Owns CLIPBOARD_MANAGER through a window of its own; false when another manager runs.
    bool Claim(xcb_screen_t* screen) {
        w_ = xcb_generate_id(c_);
        const uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w_, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK,
                          mask);
        xcb_set_selection_owner(c_, w_, manager_, XCB_CURRENT_TIME);
        xcb_flush(c_);
        XcbReply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, manager_), nullptr));
        return owner && owner->owner == w_;
    }

    void Serve() {
        while (const XcbReply<xcb_generic_event_t> e = NextEvent(c_, end_)) {
            if ((e->response_type & 0x7f) == XCB_SELECTION_REQUEST)
                Answer(reinterpret_cast<xcb_selection_request_event_t*>(e.get()));
        }
    }

  private:
    void Answer(const xcb_selection_request_event_t* r) {
        const xcb_atom_t property = r->property ? r->property : r->target;
        if (r->selection == manager_ && r->target == saveTargets_) {
            const bool got = TakeOver(r->time);
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, r->requestor, property, XCB_ATOM_INTEGER,
                                32, 0, nullptr);
            Notify(r, got ? property : xcb_atom_t{XCB_ATOM_NONE});
        } else if (r->selection == clipboard_ && haveText_ && r->target == targets_) {
            const xcb_atom_t list[] = {targets_, utf8_, XCB_ATOM_STRING};
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, r->requestor, property, XCB_ATOM_ATOM,
                                32, 3, list);
            Notify(r, property);
        } else if (r->selection == clipboard_ && haveText_ &&
                   (r->target == utf8_ || r->target == XCB_ATOM_STRING)) {
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, r->requestor, property, r->target, 8,
                                static_cast<uint32_t>(saved_.size()), saved_.data());
            Notify(r, property);
        } else {
            Notify(r, XCB_ATOM_NONE);
        }
    }

    // Fetches the leaving owner's text while it waits for our answer, then owns the clipboard.
    bool TakeOver(xcb_timestamp_t time) {
        xcb_convert_selection(c_, w_, clipboard_, utf8_, holder_, time);
        xcb_flush(c_);
        bool got = false;
        while (const XcbReply<xcb_generic_event_t> f = NextEvent(c_, end_)) {
            const bool notified = (f->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
            if (notified &&
                reinterpret_cast<xcb_selection_notify_event_t*>(f.get())->property != XCB_ATOM_NONE)
                got = ReadHeld();
            if (notified) break;
        }
        if (got) {
            haveText_ = true;
            xcb_set_selection_owner(c_, w_, clipboard_, XCB_CURRENT_TIME);
            printf("saved %s\n", saved_.c_str());
            fflush(stdout);
        }
        return got;
    }

    bool ReadHeld() {
        XcbReply<xcb_get_property_reply_t> p(xcb_get_property_reply(
            c_, xcb_get_property(c_, 1, w_, holder_, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
            nullptr));
        if (!p) return false;
        saved_.assign(static_cast<const char*>(xcb_get_property_value(p.get())),
                      static_cast<size_t>(xcb_get_property_value_length(p.get())));
        return true;
    }

    void Notify(const xcb_selection_request_event_t* r, xcb_atom_t property) {
        xcb_selection_notify_event_t n{};
        n.response_type = XCB_SELECTION_NOTIFY;
        n.time = r->time;
        n.requestor = r->requestor;
        n.selection = r->selection;
        n.target = r->target;
        n.property = property;
        xcb_send_event(c_, 0, r->requestor, 0, reinterpret_cast<const char*>(&n));
        xcb_flush(c_);
    }

    xcb_connection_t* c_;
    Clock::time_point end_;
    xcb_atom_t manager_, clipboard_, saveTargets_, utf8_, targets_, holder_;
    xcb_window_t w_ = XCB_WINDOW_NONE;
    std::string saved_;
    bool haveText_ = false;
};

int ClipboardManager(xcb_connection_t* c, xcb_screen_t* screen, double seconds) {
    ClipboardKeeper keeper(c, After(seconds));
    if (!keeper.Claim(screen)) {
        fprintf(stderr, "xwatch: another clipboard manager runs\n");
        return 1;
    }
    printf("ready\n");
    fflush(stdout);
    keeper.Serve();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr,
                "usage: xwatch damage WINDOW SECONDS | xwatch clipboard-manager SECONDS | "
                "xwatch startup TITLE SECONDS [--stop] [--icon] -- COMMAND...\n");
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "xwatch: cannot open display\n");
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    int rc = 2;
    if (strcmp(argv[1], "damage") == 0 && argc == 4)
        rc = Damage(c, static_cast<xcb_window_t>(strtoul(argv[2], nullptr, 0)), atof(argv[3]));
    else if (strcmp(argv[1], "startup") == 0)
        rc = xwatch::StartupWatch(c, it.data, screenNumber, argc, argv);
    else if (strcmp(argv[1], "clipboard-manager") == 0)
        rc = ClipboardManager(c, it.data, atof(argv[2]));
    else
        fprintf(stderr, "xwatch: unknown command %s\n", argv[1]);
    xcb_disconnect(c);
    return rc;
}
