#include "platform/singleinstance.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/instancerequests.h"
#include "platform/paths.h"

namespace platform {

namespace {
constexpr size_t kRequestSize = sizeof kFrontRequest - 1;

bool FillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void SleepMs(long ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000};
    nanosleep(&ts, nullptr);
}

// Whether path still names the file open as fd.
bool StillNamed(int fd, const std::string& path) {
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The lock and socket files of runs that ended without removing them (killed, or on other
// displays): each lock nobody holds is taken, and removed with its socket while held.
void RemoveUnheldInstanceFiles(const std::string& dir, const std::string& ownLock) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    const std::string prefix = "rezazo-", suffix = ".lock";
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string lock = dir + "/" + name;
        if (lock == ownLock) continue;
        const int fd = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, lock)) {
            const std::string stem = lock.substr(0, lock.size() - suffix.size());
            ::unlink((stem + ".sock").c_str());
            ::unlink(lock.c_str());
        }
        ::close(fd);
    }
    ::closedir(d);
}
}  // namespace

namespace {
// Only its owner can have made, replaced or looked at what lies in such a directory: a real
// directory (not a link), theirs, closed to group and others alike.
bool PrivateDirOf(const std::string& dir, uid_t uid) {
    struct stat st;
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid &&
           (st.st_mode & 077) == 0;
}
}  // namespace

std::string LockDir(uid_t uid, const std::string& runUser, const std::string& home) {
    if (!runUser.empty() && PrivateDirOf(runUser, uid)) return runUser;
    if (home.empty() || home[0] != '/') return {};
    const std::string cache = home + "/.cache";
    const std::string dir = cache + "/rezazo";
    ::mkdir(cache.c_str(), 0700);
    ::mkdir(dir.c_str(), 0700);
    return PrivateDirOf(dir, uid) ? dir : std::string();
}

std::string LockDir() {
    const uid_t uid = ::getuid();
    const std::string runUser = "/run/user/" + std::to_string(uid);
    // The home folder is only looked up when the runtime folder will not do: the look-up
    // reads the user database.
    if (PrivateDirOf(runUser, uid)) return runUser;
    std::string home;
    std::vector<char> buf(16384);
    passwd pw;
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &pw, buf.data(), buf.size(), &found) == 0 && found && pw.pw_dir)
        home = pw.pw_dir;
    return LockDir(uid, runUser, home);
}

DirectoryGuard::DirectoryGuard(const std::vector<std::string>& dirs) {
    for (const std::string& d : dirs) {
        // Made first: two first starts at once, before either has written anything, would
        // otherwise both find nothing to lock and both run.
        MakeDirectories(d);
        int fd = ::open(d.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        fds_.push_back(fd);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) busy_ = true;
    }
}

DirectoryGuard::~DirectoryGuard() {
    for (int fd : fds_) ::close(fd);
}

namespace {
// The display number of "N" or "N.S" with leading zeros dropped; empty when it is not one.
std::string DisplayNumber(std::string_view s) {
    const size_t dot = s.find('.');
    const std::string_view number = s.substr(0, dot);
    const auto digits = [](std::string_view d) {
        return !d.empty() && std::all_of(d.begin(), d.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
    };
    if (!digits(number) || (dot != std::string_view::npos && !digits(s.substr(dot + 1)))) return {};
    const size_t first = std::min(number.find_first_not_of('0'), number.size() - 1);
    return std::string(number.substr(first));
}

std::string FileNameSafe(std::string_view s) {
    std::string out;
    for (char c : s) out += (std::isalnum(static_cast<unsigned char>(c)) || c == '.') ? c : '_';
    return out;
}
}  // namespace

std::string DisplayKey(std::string_view display) {
    // The local server's socket by its path; the server of ":N" listens there too.
    constexpr std::string_view socketPrefix = "/tmp/.X11-unix/X";
    if (display.starts_with(socketPrefix)) {
        const std::string n = DisplayNumber(display.substr(socketPrefix.size()));
        if (!n.empty()) return "_" + n;
    }
    const size_t colon = display.rfind(':');
    if (colon != std::string_view::npos) {
        std::string_view host = display.substr(0, colon);
        // "protocol/host": the unix protocol is the local server's socket; the others
        // reach the host by the network, as a bare host does.
        const size_t slash = host.find('/');
        const bool unixProtocol =
            slash != std::string_view::npos && host.substr(0, slash) == "unix";
        if (slash != std::string_view::npos) host.remove_prefix(slash + 1);
        const std::string n = DisplayNumber(display.substr(colon + 1));
        // "unix" names the local server's socket, as no host does.
        if (!n.empty()) return (unixProtocol || host == "unix" ? "" : FileNameSafe(host)) + "_" + n;
    }
    const std::string key = FileNameSafe(display);
    return key.empty() ? "none" : key;
}

std::string DisplayKey() {
    const char* d = std::getenv("DISPLAY");
    return DisplayKey(d ? d : "");
}

SingleInstance::SingleInstance(std::string dir, const std::string& key) {
    if (dir.empty()) {
        problem_ = "no private directory for the lock";
        return;
    }
    lockPath_ = dir + "/rezazo-" + key + ".lock";
    socketPath_ = dir + "/rezazo-" + key + ".sock";
    // Lock files are removed by whoever holds them: a lock taken on a file that was removed
    // meanwhile guards nothing, and is taken again on the file now there.
    for (int attempt = 0;; ++attempt) {
        lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (lockFd_ < 0) {
            problem_ = lockPath_ + ": " + std::strerror(errno);
            return;
        }
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
            role_ = errno == EWOULDBLOCK ? Role::Second : Role::Unguarded;
            if (role_ == Role::Unguarded) problem_ = lockPath_ + ": " + std::strerror(errno);
            ::close(lockFd_);
            lockFd_ = -1;
            return;
        }
        if (StillNamed(lockFd_, lockPath_) || attempt == 100) break;
        ::close(lockFd_);
    }
    role_ = Role::First;
    RemoveUnheldInstanceFiles(dir, lockPath_);
    // We hold the lock, so a socket file left by a crashed run is stale.
    ::unlink(socketPath_.c_str());
    sockaddr_un addr;
    if (!FillAddress(socketPath_, addr)) return;
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 8) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return;
    }
    requests_ = std::make_unique<InstanceRequests>(listenFd_);
}

SingleInstance::~SingleInstance() {
    requests_.reset();  // it watches the socket closed below
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(socketPath_.c_str());
    }
    if (lockFd_ < 0) return;
    // Removed while still held, so that no start locks the file on its way out.
    ::unlink(lockPath_.c_str());
    ::close(lockFd_);  // drops the lock
}

bool SingleInstance::AskFirstToComeForward() const {
    sockaddr_un addr;
    if (role_ != Role::Second || !FillAddress(socketPath_, addr)) return false;
    // The first start may hold the lock but not listen yet: try for a few seconds.
    for (int attempt = 0; attempt < 50; ++attempt) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        // A send can fail when the first let the connection go unread (under a flood of
        // other connections): that is tried again too.
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            ::send(fd, kFrontRequest, kRequestSize, MSG_NOSIGNAL) ==
                static_cast<ssize_t>(kRequestSize)) {
            ::close(fd);
            return true;
        }
        ::close(fd);
        SleepMs(100);
    }
    return false;
}

int SingleInstance::RequestFd() const { return requests_ ? requests_->ReadyFd() : -1; }

int SingleInstance::TakeRequests() { return requests_ ? requests_->Take() : 0; }

}  // namespace platform
