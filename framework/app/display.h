#pragma once
// Whether the program can reach its display before the toolkit tries (the toolkit aborts
// when it cannot).
#include <string>

namespace fw {

// True when the windowing platform that will be used is reachable, or when it is not X11
// (a platform asked for in QT_QPA_PLATFORM other than xcb is left to the toolkit). When
// false, name is the display that could not be opened, as the user would write it.
bool DisplayReachable(std::string& name);

}  // namespace fw
