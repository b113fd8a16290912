#include "platform/regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void Reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_;
};

RegularFileRead Failed(RegularFileRead::Status status, int error = 0) {
    RegularFileRead r;
    r.status = status;
    r.error = error;
    return r;
}
}  // namespace

namespace {
// Opens without blocking and checks that a plain file is there.
RegularFileRead Open(const std::string& path, int flags, Fd& fd, struct stat& st) {
    fd.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | flags));
    if (fd.get() < 0) {
        if (errno == ENOENT) return Failed(RegularFileRead::Missing);
        return Failed(RegularFileRead::CannotOpen, errno);
    }
    if (::fstat(fd.get(), &st) != 0) return Failed(RegularFileRead::CannotOpen, errno);
    if (S_ISDIR(st.st_mode)) return Failed(RegularFileRead::Directory);
    if (!S_ISREG(st.st_mode)) return Failed(RegularFileRead::NotRegular);
    RegularFileRead r;
    r.status = RegularFileRead::Loaded;
    return r;
}
}  // namespace

RegularFileRead ReadRegularFileEnd(const std::string& path, std::size_t most) {
    Fd fd(-1);
    struct stat st;
    RegularFileRead r = Open(path, O_NOFOLLOW, fd, st);
    if (r.status != RegularFileRead::Loaded) return r;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    r.skipped = size > most ? size - most : 0;
    r.bytes.resize(static_cast<std::size_t>(size - r.skipped));
    std::size_t got = 0;
    while (got < r.bytes.size()) {
        ssize_t n = ::pread(fd.get(), r.bytes.data() + got, r.bytes.size() - got,
                            static_cast<off_t>(r.skipped + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Failed(RegularFileRead::ReadFailed, errno);
        if (n == 0) break;  // cut short meanwhile
        got += static_cast<std::size_t>(n);
    }
    r.bytes.resize(got);
    return r;
}

RegularFileRead ReadRegularFile(const std::string& path, std::size_t capacity) {
    Fd fd(-1);
    struct stat st;
    if (RegularFileRead opened = Open(path, 0, fd, st); opened.status != RegularFileRead::Loaded)
        return opened;
    if (static_cast<std::size_t>(st.st_size) > capacity) return Failed(RegularFileRead::TooLarge);
    RegularFileRead r;
    r.bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Failed(RegularFileRead::ReadFailed, errno);
        if (n == 0) break;
        r.bytes.append(buf, static_cast<std::size_t>(n));
        // A file that grows while it is read is held to the same bound.
        if (r.bytes.size() > capacity) return Failed(RegularFileRead::TooLarge);
    }
    r.status = RegularFileRead::Loaded;
    return r;
}

}  // namespace platform
