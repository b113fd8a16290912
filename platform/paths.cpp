#include "platform/paths.h"

#include <unistd.h>

#include <climits>

namespace platform {

namespace {
std::string ExecutablePath() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}
}  // namespace

std::string ExecutableDir() {
    std::string p = ExecutablePath();
    auto slash = p.rfind('/');
    return slash == std::string::npos ? std::string(".") : p.substr(0, slash);
}

std::string ExecutableName() {
    std::string p = ExecutablePath();
    auto slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

}  // namespace platform
