#pragma once
// Whether the program has a display to go to before the toolkit tries, and a plain line
// instead of the toolkit's abort when the display refuses it.
#include <string>

namespace fw {

// False when X11 is the platform and no display is named (DISPLAY unset or empty); name is
// then what the user is told. A platform asked for in QT_QPA_PLATFORM other than xcb is left
// to the toolkit. Whether the named display answers is found by the toolkit's own connection:
// one made and closed here just before can make the server refuse that one for a moment.
bool DisplayNamed(std::string& name);

// A display that refuses the toolkit's connection (none listening there, a server at its
// client limit or going down): from then on, such a refusal ends the program with the same
// "cannot open display" line and status 1 instead of an abort.
void ExitQuietlyWhenDisplayRefused();

}  // namespace fw
