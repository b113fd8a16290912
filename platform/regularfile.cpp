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

RegularFileRead ReadRegularFile(const std::string& path, std::size_t capacity) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        if (errno == ENOENT) return Failed(RegularFileRead::Missing);
        return Failed(RegularFileRead::CannotOpen, errno);
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) return Failed(RegularFileRead::CannotOpen, errno);
    if (S_ISDIR(st.st_mode)) return Failed(RegularFileRead::Directory);
    if (!S_ISREG(st.st_mode)) return Failed(RegularFileRead::NotRegular);
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
