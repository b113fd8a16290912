#pragma once
// The X connection the toolkit already holds, and the atom and root-window look-ups every
// X11 hint needs. Framework sources only: it brings in the xcb headers.
#include <xcb/xcb.h>

namespace fw {

// The toolkit's own connection; null off X11 (offscreen, Wayland) or before the
// application exists.
xcb_connection_t* XcbConnection();
// The atom of that name, interned if need be; XCB_ATOM_NONE when the server does not answer.
xcb_atom_t XcbAtom(xcb_connection_t* c, const char* name);
// The root window of the connection's first screen.
xcb_window_t XcbRoot(xcb_connection_t* c);

}  // namespace fw
