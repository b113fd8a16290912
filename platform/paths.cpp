#include "platform/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {
std::string ExecutablePath() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

std::string HomeDir() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    std::vector<char> buf(16384);
    passwd pw;
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &result) == 0 && result &&
        result->pw_dir) {
        return result->pw_dir;
    }
    return ".";
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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

std::string SettingsDir() {
    // Relative values are to be ignored, as the base-directory rules say.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base = (xdg && xdg[0] == '/') ? std::string(xdg) : HomeDir() + "/.config";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/rezazo";
}

std::string DataDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base = (xdg && xdg[0] == '/') ? std::string(xdg) : HomeDir() + "/.local/share";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/rezazo";
}

std::string ProgramDataFilePath(const std::string& programDir, const std::string& name) {
    // Writes go through a temporary file and a rename, so the directory itself must be
    // writable; the file's own permission does not decide.
    if (::access(programDir.c_str(), W_OK | X_OK) == 0) return programDir + "/" + name;
    return DataDir() + "/" + name;
}

bool IsBareFileName(const std::string& name) { return name.find('/') == std::string::npos; }

std::string SettingsFilePath(const std::string& name) {
    return IsBareFileName(name) ? SettingsDir() + "/" + name : name;
}

bool MakeDirectories(const std::string& dir) {
    if (dir.empty() || IsDirectory(dir)) return !dir.empty();
    auto slash = dir.find_last_not_of('/');
    slash = slash == std::string::npos ? std::string::npos : dir.rfind('/', slash);
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(dir.substr(0, slash))) {
        return false;
    }
    if (::mkdir(dir.c_str(), 0777) == 0) return true;
    if (errno != EEXIST) return false;
    if (IsDirectory(dir)) return true;
    errno = ENOTDIR;  // a file has the directory's name
    return false;
}

}  // namespace platform
