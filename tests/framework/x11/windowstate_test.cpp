// A form's window states on a real X display, through hides, shows and style changes.
// Needs X11: the end-to-end script windowstates.sh runs it there, with and without a
// window manager; on any other platform it reports itself skipped.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>
#include <set>
#include <string>

#include "framework/controls/forms.h"
#include "framework/x11/xcbdisplay.h"
#include "framework/x11/xcbreply.h"

namespace {

using namespace fw;

xcb_connection_t* X() { return XcbConnection(); }

std::string AtomName(xcb_atom_t a) {
    const XcbReply<xcb_get_atom_name_reply_t> r(
        xcb_get_atom_name_reply(X(), xcb_get_atom_name(X(), a), nullptr));
    if (!r) return {};
    return std::string(xcb_get_atom_name_name(r.get()),
                       static_cast<size_t>(xcb_get_atom_name_name_length(r.get())));
}

// The three states of ours that the window's _NET_WM_STATE holds now.
std::set<std::string> States(QWidget* w) {
    std::set<std::string> out;
    xcb_atom_t state = XcbAtom(X(), "_NET_WM_STATE");
    if (state == XCB_ATOM_NONE) return out;
    auto win = static_cast<xcb_window_t>(w->windowHandle()->winId());
    const XcbReply<xcb_get_property_reply_t> r(xcb_get_property_reply(
        X(), xcb_get_property(X(), 0, win, state, XCB_ATOM_ATOM, 0, 64), nullptr));
    if (!r) return out;
    auto* atoms = static_cast<xcb_atom_t*>(xcb_get_property_value(r.get()));
    for (int i = 0; i < xcb_get_property_value_length(r.get()) / 4; ++i) {
        std::string s = AtomName(atoms[i]);
        if (s == "_NET_WM_STATE_SKIP_TASKBAR" || s == "_NET_WM_STATE_SKIP_PAGER" ||
            s == "_NET_WM_STATE_ABOVE")
            out.insert(s);
    }
    return out;
}

// The window manager answers in its own time: wait for the states, with a generous limit.
bool StatesBecome(QWidget* w, const std::set<std::string>& want) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (w->windowHandle() && States(w) == want) return true;
    }
    // What there was instead, and whether the window is on the screen at all.
    std::string found;
    for (const std::string& s : States(w)) found += " " + s;
    auto win = static_cast<xcb_window_t>(w->windowHandle()->winId());
    const XcbReply<xcb_get_window_attributes_reply_t> a(
        xcb_get_window_attributes_reply(X(), xcb_get_window_attributes(X(), win), nullptr));
    ADD_FAILURE() << "states:" << found << "; map state " << (a ? int(a->map_state) : -1)
                  << "; visible " << w->isVisible() << ", exposed "
                  << w->windowHandle()->isExposed();
    return false;
}

TEST(WindowStatesOnX11, SurviveHidingShowingAndEveryChangeOfStayingOnTop) {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_framework";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X11 display";
    const std::set<std::string> skip{"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};
    std::set<std::string> skipAbove = skip;
    skipAbove.insert("_NET_WM_STATE_ABOVE");

    ComponentPtr<TForm> form(new TForm(nullptr));
    form->SetBorderStyle(bsNone);
    form->SetBounds(50, 50, 120, 40);
    form->SetSkipTaskbar(true);
    form->Show();
    QWidget* w = form->Handle();
    EXPECT_TRUE(StatesBecome(w, skip)) << "first show";
    form->SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(StatesBecome(w, skipAbove)) << "stay on top while shown";
    form->Hide();
    QApplication::processEvents();
    form->Show();
    EXPECT_TRUE(StatesBecome(w, skipAbove)) << "hidden and shown on top";
    // Quick hides and shows: a window manager may still be withdrawing the window when it
    // is mapped again.
    for (int i = 0; i < 5; ++i) {
        form->Hide();
        form->Show();
        QApplication::processEvents();
    }
    EXPECT_TRUE(StatesBecome(w, skipAbove)) << "quick hides and shows";
    form->SetFormStyle(fsNormal);
    EXPECT_TRUE(StatesBecome(w, skip)) << "normal again";
    form->Hide();
    form->SetFormStyle(fsStayOnTop);  // changed while hidden
    form->Show();
    EXPECT_TRUE(StatesBecome(w, skipAbove)) << "on top, set while hidden";
    form->SetSkipTaskbar(false);
    EXPECT_TRUE(StatesBecome(w, {"_NET_WM_STATE_ABOVE"})) << "back in the taskbar";
}

}  // namespace
