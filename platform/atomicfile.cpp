#include "platform/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool Close() {
        if (fd_ < 0) return true;
        int r = ::close(fd_);
        fd_ = -1;
        return r == 0;
    }

  private:
    int fd_;
};

// Removes the temporary file unless it was renamed into place.
class TempFile {
  public:
    explicit TempFile(std::string path) : path_(std::move(path)) {}
    ~TempFile() {
        if (!committed_) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    void Commit() { committed_ = true; }

  private:
    std::string path_;
    bool committed_ = false;
};

[[noreturn]] void Fail(const std::string& path, const char* step, int err) {
    throw FileWriteError(path, std::string(step) + ": " + std::strerror(err), err);
}

void WriteAll(int fd, const std::string& path, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(path, "write", errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

// ".rezazo.ini.Ab12Cd": what mkstemp makes of the template WriteFileAtomically uses.
bool IsTemporaryOf(const std::string& name, const std::string& base) {
    const std::string prefix = "." + base + ".";
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Read without umask(), which would briefly change it for every thread.
mode_t CurrentUmask() {
    Fd fd(::open("/proc/self/status", O_RDONLY));
    if (fd.get() >= 0) {
        char buf[4096];
        ssize_t n = ::read(fd.get(), buf, sizeof buf - 1);
        if (n > 0) {
            buf[n] = '\0';
            if (const char* u = std::strstr(buf, "Umask:")) {
                return static_cast<mode_t>(std::strtoul(u + 6, nullptr, 8)) & 0777;
            }
        }
    }
    return 022;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string dir = DirectoryOf(path);
    const auto slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmpl = dir + "/." + base + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');

    Fd fd(::mkstemp(name.data()));
    if (fd.get() < 0) Fail(path, "create", errno);
    TempFile tmp(name.data());

    // mkstemp makes the file private; keep what the old file had, else the usual default.
    struct stat st;
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode = 0666 & ~CurrentUmask();
    }
    if (::fchmod(fd.get(), mode) != 0) Fail(path, "chmod", errno);

    WriteAll(fd.get(), path, bytes);
    if (::fsync(fd.get()) != 0) Fail(path, "fsync", errno);
    if (!fd.Close()) Fail(path, "close", errno);
    if (::rename(name.data(), path.c_str()) != 0) Fail(path, "rename", errno);
    tmp.Commit();

    // Make the rename itself durable; a failure here no longer endangers the content.
    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY));
    if (dirFd.get() >= 0) ::fsync(dirFd.get());
}

void WriteFileInPlace(const std::string& path, std::string_view bytes) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0) Fail(path, "open", errno);
    // Written first and cut after, so the file is never shorter than its new content.
    WriteAll(fd.get(), path, bytes);
    if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) Fail(path, "truncate", errno);
    if (::fsync(fd.get()) != 0) Fail(path, "fsync", errno);
    if (!fd.Close()) Fail(path, "close", errno);
}

namespace {
// Calls found(full path) for each name beside path that WriteFileAtomically's pattern makes.
template <typename Found>
void ForEachTemporary(const std::string& path, Found found) {
    const std::string dir = DirectoryOf(path);
    const auto slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (dirent* e = ::readdir(d))
        if (IsTemporaryOf(e->d_name, base)) found(dir + "/" + e->d_name);
    ::closedir(d);
}
}  // namespace

void RemoveStaleTemporaries(const std::string& path) {
    ForEachTemporary(path, [](const std::string& name) {
        // Only what we made: a plain file of our own, never another user's or a link.
        struct stat st;
        if (::lstat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(name.c_str());
    });
}

bool HasTemporaries(const std::string& path) {
    bool any = false;
    ForEachTemporary(path, [&](const std::string&) { any = true; });
    return any;
}

FileLock::FileLock(const std::string& path) : path_(path) {
    // Polled rather than blocking: a writer that hangs must not hold our exit forever.
    for (int attempt = 0; attempt < 500; ++attempt) {
        // Without blocking: a named pipe in the file's place must not hang the caller.
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        bool made = false;
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            made = fd >= 0;
            if (fd < 0 && errno == EEXIST) continue;
        }
        if (fd < 0) return;
        struct stat opened;
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            notRegular_ = true;
            ::close(fd);
            return;
        }
        int r;
        while ((r = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EWOULDBLOCK && attempt++ < 500)
            ::usleep(10000);
        struct stat held, now;
        if (r == 0 && ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 &&
            held.st_ino == now.st_ino && held.st_dev == now.st_dev) {
            fd_ = fd;
            created_ = made;
            return;
        }
        ::close(fd);
        if (r != 0) {
            busy_ = errno == EWOULDBLOCK;
            return;
        }
        // The file was replaced or removed while we waited: lock what is there now.
    }
}

FileLock::~FileLock() {
    if (fd_ < 0) return;
    struct stat st;
    if (created_ && !kept_ && ::fstat(fd_, &st) == 0 && st.st_size == 0) ::unlink(path_.c_str());
    ::close(fd_);
}

}  // namespace platform
