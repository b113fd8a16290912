#include "platform/atomicfile.h"

#include <fcntl.h>
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
    throw FileWriteError(path, std::string(step) + ": " + std::strerror(err));
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

    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd.get(), p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(path, "write", errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0) Fail(path, "fsync", errno);
    if (!fd.Close()) Fail(path, "close", errno);
    if (::rename(name.data(), path.c_str()) != 0) Fail(path, "rename", errno);
    tmp.Commit();

    // Make the rename itself durable; a failure here no longer endangers the content.
    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY));
    if (dirFd.get() >= 0) ::fsync(dirFd.get());
}

}  // namespace platform
