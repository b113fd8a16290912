#pragma once
#include <string>

namespace platform {

// Directory of the running executable (from /proc/self/exe), without a trailing slash.
std::string ExecutableDir();
// File name of the running executable, without directory.
std::string ExecutableName();

}  // namespace platform
