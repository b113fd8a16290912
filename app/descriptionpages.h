#pragma once

namespace app {

// Once a window is made from its compiled description, no part of the program reads the
// description again until another window of that kind is made: the pages of all three leave
// the resident memory (reading one also brings its neighbours in).
void ReleaseWindowDescriptionPages();

}  // namespace app
