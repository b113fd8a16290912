#include "platform/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/atomicfile.h"
#include "platform/ownedpath.h"
#include "platform/paths.h"
#include "platform/regularfile.h"
#include "platform/strings.h"

namespace platform {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

using platform::Trim;

// The section name of a header line, or nullopt for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    auto close = t.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    std::string_view t = Trim(line);
    return !t.empty() && t.front() == ';';
}

// The key of a "key=value" line, or nullopt.
std::optional<std::string_view> KeyOf(std::string_view line) {
    if (IsComment(line) || SectionOf(line)) return std::nullopt;
    auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) return std::nullopt;
    return key;
}

std::string_view ValueOf(std::string_view line) { return line.substr(line.find('=') + 1); }

using Lines = std::vector<std::string>;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

struct FileText {
    Lines lines;
    bool bom = false;  // the file began with a UTF-8 byte-order mark; it is written back
};

FileText SplitText(std::string_view text) {
    FileText out;
    if (text.substr(0, kBom.size()) == kBom) {
        out.bom = true;
        text.remove_prefix(kBom.size());
    }
    std::size_t start = 0;
    while (start < text.size()) {
        auto nl = text.find('\n', start);
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.lines.push_back(std::move(line));
        start = end + 1;
    }
    return out;
}

// Why a settings file is not used, in words that follow its name; empty when it was read or
// is missing.
std::string Problem(const RegularFileRead& file) {
    switch (file.status) {
        case RegularFileRead::CannotOpen:
        case RegularFileRead::ReadFailed:
            return std::string("cannot be read: ") + std::strerror(file.error);
        case RegularFileRead::Directory:
            return "is a directory";
        case RegularFileRead::NotRegular:
            return "is not a regular file";
        case RegularFileRead::TooLarge:
            return "is larger than " + std::to_string(kIniFileCapacity) + " bytes";
        default:
            return {};
    }
}

// nullopt when the file exists but cannot be used: rewriting it would lose its content.
std::optional<FileText> Load(const std::string& path, std::string* problem = nullptr) {
    RegularFileRead file = ReadRegularFile(path, kIniFileCapacity);
    if (problem) *problem = Problem(file);
    if (file.status == RegularFileRead::Missing) return FileText{};
    if (file.status != RegularFileRead::Loaded) return std::nullopt;
    return SplitText(file.bytes);
}

Lines LoadForReading(const std::string& fileName, std::string* problem = nullptr) {
    const OwnedPath file = ResolveOwnedPath(SettingsFilePath(fileName));
    if (!file.problem.empty()) {
        if (problem) *problem = file.problem;
        return {};
    }
    return Load(file.path, problem).value_or(FileText{}).lines;
}

// The value as the reading functions give it: blanks first, then one pair of quotes.
std::string ReadValue(std::string_view line) {
    std::string_view v = Trim(ValueOf(line));
    if (v.size() >= 2 && (v.front() == '\'' || v.front() == '"') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// [begin, end) of the first section with that name: begin is the header line, end the next
// header or the end of the file. nullopt when there is none.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(const Lines& lines,
                                                               std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = SectionOf(lines[i]);
        // Header names are read trimmed, so the name asked for is compared trimmed too.
        if (!name || !SameText(*name, Trim(section))) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionOf(lines[end])) ++end;
        return std::make_pair(i, end);
    }
    return std::nullopt;
}

void CheckWritable(const std::string& fileName, const std::string& section, const std::string& key,
                   const std::string& value) {
    // Anything that would break the line structure is refused rather than written.
    auto bad = [](const std::string& s, const char* chars) {
        return s.find_first_of(chars) != std::string::npos;
    };
    // A key is read trimmed: one that starts with "[" or ";" after its blanks would make a
    // header or a comment line.
    if (Trim(section).empty() || bad(section, "]\r\n") || Trim(key).empty() || bad(key, "=\r\n") ||
        Trim(key).front() == '[' || Trim(key).front() == ';' || bad(value, "\r\n")) {
        throw IniWriteError(fileName);
    }
}

// Replaces the file's content; 0 when written, else the errno saying why it must not or
// cannot be.
int WriteIniText(const std::string& path, const std::string& text, bool lockMadeIt) {
    struct stat st;
    const bool existed = !lockMadeIt && ::stat(path.c_str(), &st) == 0;
    // A file the user made read-only stays as it is, whoever we run as.
    if (existed && !S_ISREG(st.st_mode)) return EISDIR;
    if (existed && ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) return EACCES;
    RemoveStaleTemporaries(path);
    try {
        WriteFileAtomically(path, text);
        return 0;
    } catch (const FileWriteError& e) {
        // A directory that does not let us make the temporary file: the file itself may
        // still be written, in place.
        if (e.error() != EACCES && e.error() != EPERM) return e.error() ? e.error() : EIO;
    }
    try {
        WriteFileInPlace(path, text);
        return 0;
    } catch (const FileWriteError& e) {
        return e.error() ? e.error() : EIO;
    }
}

// Loads under the file's lock, lets edit change the lines, and writes them back when they
// changed.
template <typename Edit>
void Modify(const std::string& fileName, Edit edit) {
    for (int pass = 0;; ++pass) {
        // Resolved again after the settings directory was made.
        const OwnedPath owned = ResolveOwnedPath(SettingsFilePath(fileName));
        if (!owned.problem.empty()) throw IniWriteError(fileName, "it " + owned.problem);
        const std::string& path = owned.path;
        FileLock lock(path);
        if (lock.Busy()) throw IniWriteError(fileName, "another program keeps it locked");
        std::string problem;
        std::optional<FileText> file = Load(path, &problem);
        if (lock.NotRegular() || !file)
            throw IniWriteError(fileName,
                                "it " + (problem.empty() ? "is not a regular file" : problem));
        Lines before = file->lines;
        edit(file->lines);
        if (file->lines == before) return;
        if (!lock.Locked() && pass == 0 && IsBareFileName(fileName)) {
            // The settings directory is made on the first write; then lock and read again.
            if (!MakeDirectories(SettingsDir()))
                throw IniWriteError(fileName, SettingsDir() + ": " + std::strerror(errno));
            continue;
        }
        std::string text = file->bom ? std::string(kBom) : std::string();
        for (const std::string& l : file->lines) {
            text += l;
            text += '\n';
        }
        if (int error = WriteIniText(path, text, lock.Created()))
            throw IniWriteError(fileName, std::strerror(error));
        lock.Keep();
        return;
    }
}

void EraseAll(Lines& lines, const std::string& section) {
    while (auto range = FindSection(lines, section)) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->first),
                    lines.begin() + static_cast<std::ptrdiff_t>(range->second));
    }
}

void SetValue(Lines& lines, const std::string& section, const std::string& key,
              const std::string& value) {
    const std::string line = key + "=" + value;
    auto range = FindSection(lines, section);
    if (!range) {
        lines.push_back("[" + section + "]");
        lines.push_back(line);
        return;
    }
    std::size_t lastContent = range->first;
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        auto k = KeyOf(lines[i]);
        if (k && SameText(*k, Trim(key))) {
            lines[i] = line;
            return;
        }
        if (!Trim(lines[i]).empty()) lastContent = i;
    }
    // After the section's last line, before the blank lines that separate it from the next.
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), line);
}

}  // namespace

namespace {
std::vector<IniLine> SectionLines(const Lines& lines, const std::string& section) {
    std::vector<IniLine> out;
    auto range = FindSection(lines, section);
    if (!range) return out;
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        auto k = KeyOf(lines[i]);
        if (k) out.push_back({std::string(*k), ReadValue(lines[i]), static_cast<int>(i) + 1});
    }
    return out;
}
}  // namespace

std::vector<IniLine> ParseIniSection(std::string_view text, const std::string& section) {
    return SectionLines(SplitText(text).lines, section);
}

std::vector<IniLine> ReadIniSection(const std::string& fileName, const std::string& section,
                                    std::string* problem) {
    return SectionLines(LoadForReading(fileName, problem), section);
}

std::vector<std::string> ReadIniKeys(const std::string& fileName, const std::string& section) {
    std::vector<std::string> keys;
    for (IniLine& l : ReadIniSection(fileName, section)) keys.push_back(std::move(l.key));
    return keys;
}

std::string ReadIniString(const std::string& fileName, const std::string& section,
                          const std::string& key, const std::string& defaultValue) {
    Lines lines = LoadForReading(fileName);
    auto range = FindSection(lines, section);
    if (!range) return defaultValue;
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        auto k = KeyOf(lines[i]);
        if (k && SameText(*k, Trim(key))) return ReadValue(lines[i]);
    }
    return defaultValue;
}

void WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value) {
    CheckWritable(fileName, section, key, value);
    Modify(fileName, [&](Lines& lines) { SetValue(lines, section, key, value); });
}

void RemoveStaleIniTemporaries(const std::string& fileName) {
    const OwnedPath owned = ResolveOwnedPath(SettingsFilePath(fileName));
    const std::string& path = owned.path;
    if (!owned.problem.empty() || !HasTemporaries(path)) return;
    // Under the file's lock no save is under way, so what is left is stale.
    FileLock lock(path);
    if (lock.Locked()) RemoveStaleTemporaries(path);
}

void EraseIniSection(const std::string& fileName, const std::string& section) {
    Modify(fileName, [&](Lines& lines) { EraseAll(lines, section); });
}

void ReplaceIniSection(const std::string& fileName, const std::string& section,
                       const IniEntries& entries) {
    for (const auto& [key, value] : entries) CheckWritable(fileName, section, key, value);
    Modify(fileName, [&](Lines& lines) {
        EraseAll(lines, section);
        for (const auto& [key, value] : entries) SetValue(lines, section, key, value);
    });
}

}  // namespace platform
