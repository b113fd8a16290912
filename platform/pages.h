#pragma once
// Memory the program only read from a file it maps, given back once it has served.
#include <string_view>

namespace platform {

// Drops the pages wholly inside data from the program's resident memory; they are read from
// the file again if data is read again. Only for data that lies in a read-only mapping of a
// file, such as constant data compiled into the program: on a page that was written to, the
// changes would be lost.
void ReleaseReadOnlyPages(std::string_view data);

}  // namespace platform
