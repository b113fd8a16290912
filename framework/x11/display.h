#pragma once
// Whether the program can reach its display before the toolkit tries (the toolkit aborts
// when it cannot).
#include <string>

namespace fw {

// True when the windowing platform that will be used is reachable, or when it is not X11
// (a platform asked for in QT_QPA_PLATFORM other than xcb is left to the toolkit). When
// false, name is the display that could not be opened, as the user would write it.
bool DisplayReachable(std::string& name);

// The display can still refuse the toolkit's own connection after DisplayReachable said
// yes (a server at its client limit, one going down): from then on, such a refusal ends the
// program with the same "cannot open display" line and status 1 instead of an abort.
void ExitQuietlyWhenDisplayRefused();

}  // namespace fw
