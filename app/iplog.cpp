#include "app/iplog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "framework/core/exceptions.h"
#include "platform/atomicfile.h"
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

LogContents ReadLog(const std::string& path, std::size_t capacity) {
    LogContents r;
    platform::RegularFileRead file = platform::ReadRegularFile(path, capacity);
    switch (file.status) {
        case platform::RegularFileRead::Loaded:
            r.status = LogContents::Loaded;
            r.bytes = NormaliseLineBreaks(file.bytes);
            return r;
        case platform::RegularFileRead::Missing:
            return r;
        case platform::RegularFileRead::CannotOpen:
        case platform::RegularFileRead::ReadFailed:
            r.reason = std::strerror(file.error);
            break;
        case platform::RegularFileRead::Directory:
        case platform::RegularFileRead::NotRegular:
            r.reason = "not a regular file";
            break;
        case platform::RegularFileRead::TooLarge:
            r.reason = "larger than the log window can hold (at most " + std::to_string(capacity) +
                       " bytes)";
            break;
    }
    r.status = LogContents::Unreadable;
    return r;
}

bool CreateLogIfMissing(const std::string& path) {
    // Follows links like ReadLog: a dangling link counts as missing there too.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 || errno != ENOENT) return false;
    WriteLog(path, {});
    return true;
}

void WriteLog(const std::string& path, std::string_view bytes) {
    // A linked log is written where the link points, so the link and later records stay
    // together; a dangling link gets its target made.
    const std::string target = platform::FollowLinks(path);
    auto cannot = [&](const std::string& why) {
        return fw::EFCreateError(fw::Fmt(fw::strings::kCannotCreateFile, path) + ": " + why);
    };
    auto slash = target.rfind('/');
    if (slash != std::string::npos && slash > 0) platform::MakeDirectories(target.substr(0, slash));
    // A rename would replace a file the user made read-only; refuse as the system would.
    struct stat st;
    if (::stat(target.c_str(), &st) == 0 &&
        ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        throw cannot(std::strerror(EACCES));
    try {
        platform::WriteFileAtomically(target, bytes);
    } catch (const platform::FileWriteError& e) {
        throw cannot(e.error() ? std::strerror(e.error()) : e.what());
    }
}

std::string AppendedRecord(std::string_view log, std::string_view record) {
    // A log whose last line has no break would glue the record onto that line.
    if (!log.empty() && log.back() != '\n') return "\r\n" + std::string(record);
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

std::string ShownLog(std::string_view log) {
    if (log.size() <= kShownLogTail) return LogDisplayText(log);
    std::size_t start = log.size() - kShownLogTail;
    // From the start of a line: the first whole one in the tail, else the one the tail is in.
    const std::size_t next = log.find('\n', start - 1);
    if (next != std::string_view::npos && next + 1 < log.size()) {
        start = next + 1;
    } else {
        const std::size_t prev = log.rfind('\n', start);
        start = prev == std::string_view::npos ? 0 : prev + 1;
    }
    if (start == 0) return LogDisplayText(log);
    return "\xE2\x80\xA6 " + std::to_string(start) + " earlier bytes are in the file only\r\n" +
           LogDisplayText(log.substr(start));
}

}  // namespace app
