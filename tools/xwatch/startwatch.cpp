// xwatch startup TITLE SECONDS [--stop] [--icon] -- COMMAND [ARGS...]: starts the command and
// waits, on events alone, for its window titled TITLE to be mapped and to hold more than one
// colour (the first real paint). Prints "pid P painted_ms T cpu_ms C stat_cpu_ms S":
// milliseconds from the start to that paint, and the program's CPU by then, to the nanosecond
// from every thread's scheduler statistics and in clock ticks from /proc/P/stat. With --icon
// it also waits for a window to be mapped inside the tray host and adds "icon_ms I". With
// --stop it then ends the program; otherwise it waits for the program to end. A start-up
// timer that polls competes for the cores with what it times; this one sleeps until the
// server tells it.
#include <dirent.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xfixes.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "xwatch.h"

namespace xwatch {
namespace {

std::string Title(xcb_connection_t* c, xcb_window_t w, xcb_atom_t netName, xcb_atom_t utf8) {
    for (auto [name, type] : {std::pair{netName, utf8}, std::pair{xcb_atom_t{XCB_ATOM_WM_NAME},
                                                                  xcb_atom_t{XCB_ATOM_STRING}}}) {
        XcbReply<xcb_get_property_reply_t> p(
            xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, type, 0, 1024), nullptr));
        if (p && p->type != XCB_ATOM_NONE)
            return std::string(static_cast<const char*>(xcb_get_property_value(p.get())),
                               static_cast<size_t>(xcb_get_property_value_length(p.get())));
    }
    return {};
}

// True when the window's pixels are not all one colour (a cleared background is one).
bool Painted(xcb_connection_t* c, xcb_window_t w) {
    XcbReply<xcb_get_geometry_reply_t> g(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
    if (!g || g->width == 0 || g->height == 0) return false;
    XcbReply<xcb_get_image_reply_t> img(xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, g->width, g->height, ~0u),
        nullptr));
    if (!img) return false;
    const auto* data = xcb_get_image_data(img.get());
    const int length = xcb_get_image_data_length(img.get());
    const int pixels = g->width * g->height;
    if (pixels <= 0 || length < pixels * 4) return false;
    // 32 bits a pixel; the byte above a 24-bit depth is padding.
    const uint32_t mask = img->depth >= 32 ? 0xFFFFFFFFu : 0x00FFFFFFu;
    auto pixel = [&](int i) {
        uint32_t v;
        memcpy(&v, data + 4 * i, 4);
        return v & mask;
    };
    const uint32_t first = pixel(0);
    for (int i = 1; i < pixels; ++i)
        if (pixel(i) != first) return true;
    return false;
}

// Nanoseconds on a CPU, summed over the living threads of the process.
long long ThreadNanoseconds(pid_t pid) {
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    long long sum = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] == '.') continue;
            std::ifstream in(dir + "/" + e->d_name + "/schedstat");
            long long ns = 0;
            if (in >> ns) sum += ns;
        }
        closedir(d);
    }
    return sum;
}

// utime + stime of /proc/PID/stat (fields 14 and 15), in milliseconds.
long long StatMilliseconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = all.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(all.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n == 14) utime = std::stoll(field);
        if (n == 15) stime = std::stoll(field);
    }
    return (utime + stime) * 1000 / sysconf(_SC_CLK_TCK);
}

struct Watch {
    Watch(xcb_connection_t* connection, std::string titled, uint8_t damageNotify)
        : c(connection),
          title(std::move(titled)),
          netName(Atom(c, "_NET_WM_NAME")),
          utf8(Atom(c, "UTF8_STRING")),
          damageEvent(damageNotify) {}

    xcb_connection_t* c;
    std::string title;
    xcb_atom_t netName, utf8;
    uint8_t damageEvent;
    // The X client of the tray host (its manager window's resource base), when icons count.
    uint32_t trayClient = 0, idMask = 0;
    std::set<xcb_window_t> mapped;
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_damage_damage_t damage = 0;
    std::optional<Clock::time_point> painted, docked;
    pid_t pid = 0;
    long long cpuNs = 0, cpuStatMs = 0;  // the program's CPU when the painted look began

    // Starts watching a mapped window that carries the title: damage first, then one look,
    // so that a paint is either in that look or reported afterwards.
    void Consider(xcb_window_t w) {
        if (window != XCB_WINDOW_NONE || !mapped.count(w) || Title(c, w, netName, utf8) != title)
            return;
        window = w;
        damage = xcb_generate_id(c);
        xcb_damage_create(c, damage, w, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        Look();
    }
    // The time and the program's CPU are read before the look: the look is a round trip to
    // the server, while which the program goes on with what it does after its first paint.
    void Look() {
        if (painted) return;
        const auto now = Clock::now();
        const long long ns = ThreadNanoseconds(pid), statMs = StatMilliseconds(pid);
        if (!Painted(c, window)) return;
        painted = now;
        cpuNs = ns;
        cpuStatMs = statMs;
    }

    // A window mapped inside one of the tray host's windows is an icon it took in.
    void CheckDocked(xcb_window_t w) {
        if (!trayClient || docked) return;
        XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
        if (tree && tree->parent != tree->root && (tree->parent & ~idMask) == trayClient)
            docked = Clock::now();
    }

    void Handle(const xcb_generic_event_t* e) {
        const int type = e->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // Its own map (a window manager or a tray host may take it in first) and its
            // title, which may come after the map.
            const uint32_t mask[] = {XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                     XCB_EVENT_MASK_PROPERTY_CHANGE};
            xcb_change_window_attributes(
                c, reinterpret_cast<const xcb_create_notify_event_t*>(e)->window, XCB_CW_EVENT_MASK,
                mask);
        } else if (type == XCB_MAP_NOTIFY) {
            const auto w = reinterpret_cast<const xcb_map_notify_event_t*>(e)->window;
            if (!mapped.insert(w).second) return;  // told both by the root and by the window
            Consider(w);
            CheckDocked(w);
        } else if (type == XCB_UNMAP_NOTIFY) {
            mapped.erase(reinterpret_cast<const xcb_unmap_notify_event_t*>(e)->window);
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(e);
            if (p->atom == netName || p->atom == XCB_ATOM_WM_NAME) Consider(p->window);
        } else if (type == damageEvent && window != XCB_WINDOW_NONE) {
            xcb_damage_subtract(c, damage, XCB_NONE, XCB_NONE);
            Look();
        }
    }
    bool Done() const { return painted && (!trayClient || docked); }
};

// The resource base of the client that owns the screen's tray manager selection; 0 without one.
uint32_t TrayClient(xcb_connection_t* c, int screenNumber, uint32_t idMask) {
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber);
    XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, Atom(c, name.c_str())), nullptr));
    return owner && owner->owner ? owner->owner & ~idMask : 0;
}

// The event number of damage reports, once the extensions are set up; -1 without them.
int DamageNotifyEvent(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_damage_id);
    if (!ext || !ext->present) return -1;
    XcbReply<xcb_xfixes_query_version_reply_t>(
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    XcbReply<xcb_damage_query_version_reply_t>(
        xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    return ext->first_event + XCB_DAMAGE_NOTIFY;
}

pid_t Launch(char** command) {
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(command[0], command);
        _exit(127);
    }
    return pid;
}

}  // namespace

int StartupWatch(xcb_connection_t* c, xcb_screen_t* screen, int screenNumber, int argc,
                 char** argv) {
    // argv: startup TITLE SECONDS [--stop] [--icon] -- COMMAND...
    int i = 4;
    bool stop = false, icon = false;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        stop = stop || strcmp(argv[i], "--stop") == 0;
        icon = icon || strcmp(argv[i], "--icon") == 0;
    }
    if (argc < 6 || i + 1 >= argc) {
        fprintf(stderr,
                "usage: xwatch startup TITLE SECONDS [--stop] [--icon] -- COMMAND [ARGS...]\n");
        return 2;
    }
    const int damageNotify = DamageNotifyEvent(c);
    if (damageNotify < 0) {
        fprintf(stderr, "xwatch: no DAMAGE extension\n");
        return 1;
    }
    Watch watch(c, argv[2], static_cast<uint8_t>(damageNotify));
    if (icon) {
        watch.idMask = xcb_get_setup(c)->resource_id_mask;
        watch.trayClient = TrayClient(c, screenNumber, watch.idMask);
        if (!watch.trayClient) {
            fprintf(stderr, "xwatch: no tray host on the screen\n");
            return 1;
        }
    }
    const uint32_t mask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    // Checked, so the selection is in force before the program can make a window.
    if (XcbReply<xcb_generic_error_t> err(xcb_request_check(
            c, xcb_change_window_attributes_checked(c, screen->root, XCB_CW_EVENT_MASK, mask)));
        err) {
        fprintf(stderr, "xwatch: cannot follow the root window's children\n");
        return 1;
    }
    const auto start = Clock::now();
    const pid_t pid = Launch(argv + i + 1);
    if (pid < 0) {
        perror("xwatch: fork");
        return 1;
    }
    // A program that dies before it paints ends the wait at once, through its process
    // descriptor.
    const int died = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    const auto end = After(atof(argv[3]));
    watch.pid = pid;
    while (!watch.Done()) {
        const XcbReply<xcb_generic_event_t> e = NextEvent(c, end, died);
        if (!e) break;
        watch.Handle(e.get());
        xcb_flush(c);
    }
    auto ms = [&](Clock::time_point t) {
        return std::chrono::duration<double, std::milli>(t - start).count();
    };
    int rc = 0;
    if (watch.Done()) {
        printf("pid %d painted_ms %.1f cpu_ms %.1f stat_cpu_ms %lld", static_cast<int>(pid),
               ms(*watch.painted), watch.cpuNs / 1e6, watch.cpuStatMs);
        if (icon) printf(" icon_ms %.1f", ms(*watch.docked));
        printf("\n");
        fflush(stdout);
    } else {
        fprintf(stderr, "xwatch: %s\n",
                watch.painted ? "no icon docked in the tray"
                              : ("no painted window titled \"" + watch.title + "\"").c_str());
        rc = 1;
    }
    if (stop || rc) kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (died >= 0) close(died);
    return rc;
}

}  // namespace xwatch
