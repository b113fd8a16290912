#pragma once
// The window-manager states a form asks for on X11: out of the taskbar, out of the pager,
// above other windows. Elsewhere they do nothing.
class QWidget;

namespace fw {

struct TWindowStates {
    bool skipTaskbar = false;
    bool skipPager = false;
    bool above = false;
    friend bool operator==(const TWindowStates&, const TWindowStates&) = default;
};

// True where PutWindowStates has an effect (X11). There "above" is one of these states
// rather than a style of the toolkit's window, which would make a new native window.
bool WindowStatesSupported();

// Puts the states on the widget's current native window (made now if there is none yet):
// written into its _NET_WM_STATE, where the window manager reads them when the window is
// mapped, and, while it is mapped, asked of the window manager by its client message.
// States that the window carries apart from these three are kept.
void PutWindowStates(QWidget* window, const TWindowStates& states);
// Only asks the window manager for the states of a mapped window, by its client messages
// (nothing waits for the server); the property is left as it is.
void AskWindowManagerForStates(QWidget* window, const TWindowStates& states);

// Names `owner` as the window that `window` belongs to (its WM_TRANSIENT_FOR), so that the
// window manager keeps it above the owner. The toolkit clears the hint on every show of a
// plain window: put it again after each.
void PutTransientFor(QWidget* window, QWidget* owner);

// Asks for the window to be mapped normally, not iconified, the next time it is shown. An
// iconify leaves that request in the window's WM_HINTS, and the toolkit does not take it
// back when the window manager restores the window: a later hide and show would map it
// iconified again.
void PutNormalInitialState(QWidget* window);

// Whether a window the toolkit has shown is on the screen. A window manager still withdrawing
// the window after a quick hide can drop the request to map it again (clients are meant to
// wait for the withdrawal, which the toolkit does not). Shown when the window is mapped,
// iconified by the manager, or not an X11 window; Waiting while the manager still holds it
// unmapped; Dropped when the manager has let go of it and it is still not mapped: then the
// states go on it again (the manager removed them as it let go) and MapAgain maps it.
enum class TMapCheck { Shown, Waiting, Dropped };
TMapCheck CheckMapped(QWidget* window);
void MapAgain(QWidget* window);

}  // namespace fw
