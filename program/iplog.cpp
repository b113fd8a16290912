#include "program/iplog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "framework/core/exceptions.h"
#include "platform/ownedpath.h"
#include "platform/paths.h"
#include "platform/regularfile.h"

namespace app {

namespace {
std::string& ProgramDirOverride() {
    static std::string dir;
    return dir;
}

// Length of the valid UTF-8 sequence at s[i], or 0.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    std::size_t n;
    unsigned min;
    unsigned cp;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        min = 0x80;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        min = 0x800;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        min = 0x10000;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}
}  // namespace

void SetProgramDirOverride(const std::string& dir) { ProgramDirOverride() = dir; }

std::string LogFileName() {
    const std::string& o = ProgramDirOverride();
    return platform::ProgramDataFilePath(o.empty() ? platform::ExecutableDir() : o,
                                         kLogFileBaseName);
}

std::string NormaliseLineBreaks(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string LogRecord(const std::string& time, const std::string& date,
                      const std::string& ipCaption, const std::string& hostCaption) {
    return "Time : " + time + "\r\n" + "Date : " + date + "\r\n" + ipCaption + "\r\n" +
           "Hostname : " + hostCaption + "\r\n" + "\r\n";
}

LogContents ReadLog(const std::string& path, std::size_t tail) {
    LogContents r;
    const platform::OwnedPath owned = platform::ResolveOwnedPath(path);
    if (!owned.problem.empty()) {
        r.status = LogContents::Unreadable;
        r.reason = "it " + owned.problem;
        return r;
    }
    platform::RegularFileRead file = platform::ReadRegularFileEnd(owned.path, tail + 1);
    switch (file.status) {
        case platform::RegularFileRead::Loaded:
            r.status = LogContents::Loaded;
            r.bytes = std::move(file.bytes);
            r.earlier = file.skipped;
            return r;
        case platform::RegularFileRead::Missing:
            return r;
        case platform::RegularFileRead::CannotOpen:
        case platform::RegularFileRead::ReadFailed:
            r.reason = std::strerror(file.error);
            break;
        case platform::RegularFileRead::Directory:
        case platform::RegularFileRead::NotRegular:
        case platform::RegularFileRead::TooLarge:
            r.reason = "not a regular file";
            break;
    }
    r.status = LogContents::Unreadable;
    return r;
}

namespace {
class OpenLog {
  public:
    // The log opened for writing where path leads, made with its directory when missing.
    OpenLog(const std::string& path, int flags) : path_(path) {
        const platform::OwnedPath owned = platform::ResolveOwnedPath(path);
        if (!owned.problem.empty()) throw Cannot("it " + owned.problem);
        const auto slash = owned.path.rfind('/');
        if (slash != std::string::npos && slash > 0)
            platform::MakeDirectories(owned.path.substr(0, slash));
        // Never a link in the last place (it was resolved), never blocking on a pipe.
        fd_ = ::open(owned.path.c_str(),
                     O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | flags, 0666);
        if (fd_ < 0) throw Cannot(std::strerror(errno));
        if (::fstat(fd_, &st_) != 0) throw Cannot(std::strerror(errno));
        if (!S_ISREG(st_.st_mode)) throw Cannot("not a regular file");
        // A file the user made read-only stays as it is, whoever we run as.
        if ((st_.st_mode & 0222) == 0) throw Cannot(std::strerror(EACCES));
    }
    ~OpenLog() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenLog(const OpenLog&) = delete;
    OpenLog& operator=(const OpenLog&) = delete;

    int fd() const { return fd_; }
    std::uint64_t Size() const { return static_cast<std::uint64_t>(st_.st_size); }
    fw::EFCreateError Cannot(const std::string& why) const {
        return fw::EFCreateError(fw::Fmt(fw::strings::kCannotCreateFile, path_) + ": " + why);
    }
    // Flushed to the disk and closed; throws when either fails.
    void Finish() {
        const bool synced = ::fsync(fd_) == 0;
        const int err = errno;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        if (!synced || !closed) throw Cannot(std::strerror(synced ? errno : err));
    }

  private:
    std::string path_;
    int fd_ = -1;
    struct stat st_ {};
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
}  // namespace

std::string AppendLog(const std::string& path, std::string_view records) {
    OpenLog log(path, O_RDWR | O_APPEND);  // read for the last byte
    const std::uint64_t old = log.Size();
    char last = '\n';
    if (old > 0 && ::pread(log.fd(), &last, 1, static_cast<off_t>(old - 1)) != 1) last = '\n';
    const std::string bytes = AppendedRecord(std::string_view(&last, 1), records);
    errno = 0;
    if (!WriteAll(log.fd(), bytes) || ::fsync(log.fd()) != 0) {
        const int err = errno ? errno : EIO;
        // What got out is taken back: the file is as it was.
        if (::ftruncate(log.fd(), static_cast<off_t>(old)) == 0) ::fsync(log.fd());
        throw log.Cannot(std::strerror(err));
    }
    log.Finish();
    return bytes;
}

void ClearLog(const std::string& path) {
    OpenLog log(path, O_WRONLY);
    if (log.Size() > 0 && ::ftruncate(log.fd(), 0) != 0) throw log.Cannot(std::strerror(errno));
    log.Finish();
}

bool CreateLogIfMissing(const std::string& path) {
    // What another user could steer is named by the window, not made here.
    const platform::OwnedPath owned = platform::ResolveOwnedPath(path);
    if (!owned.problem.empty()) return false;
    struct stat st;
    if (::lstat(owned.path.c_str(), &st) == 0 || errno != ENOENT) return false;
    OpenLog(path, O_WRONLY | O_EXCL).Finish();
    return true;
}

std::string AppendedRecord(std::string_view log, std::string_view record) {
    // A log whose last line has no break would glue the record onto that line.
    if (!log.empty() && log.back() != '\n' && log.back() != '\r')
        return "\r\n" + std::string(record);
    return std::string(record);
}

std::string LogDisplayText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t lineStart = 0;  // in out
    for (std::size_t i = 0; i < bytes.size();) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            out += c;
            ++i;
            lineStart = out.size();
            continue;
        }
        if (out.size() - lineStart >= kShownLineLength) {
            out += "\xE2\x80\xA6";  // an ellipsis for what is left out
            i = bytes.find_first_of("\r\n", i);
            if (i == std::string_view::npos) break;
            continue;
        }
        if (std::size_t n = Utf8Length(bytes, i)) {
            out.append(bytes.substr(i, n));
            i += n;
        } else {
            auto b = static_cast<unsigned char>(bytes[i++]);
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

std::string ShownLog(std::string_view log, std::uint64_t earlier) {
    auto shown = [](std::string_view bytes) { return LogDisplayText(NormaliseLineBreaks(bytes)); };
    if (earlier == 0 && log.size() <= kShownLogTail) return shown(log);
    std::size_t start = log.size() > kShownLogTail ? log.size() - kShownLogTail : 0;
    // From the start of a line: the first whole one in the tail, else the one the tail is in.
    const std::size_t next = log.find('\n', start > 0 ? start - 1 : 0);
    if (next != std::string_view::npos && next + 1 < log.size()) {
        start = next + 1;
    } else {
        const std::size_t prev = log.rfind('\n', start);
        start = prev == std::string_view::npos ? 0 : prev + 1;
    }
    if (start == 0 && earlier == 0) return shown(log);
    return "\xE2\x80\xA6 " + std::to_string(earlier + start) +
           " earlier bytes are in the file only\r\n" + shown(log.substr(start));
}

}  // namespace app
